// zorb-assetgen: writes every file the game loads under the given Assets folder, the same bytes
// on every run.
//   zorb-assetgen [ASSETS_DIR]           generate (default ./Assets)
//   zorb-assetgen --preview FILE.png     the sprite sheet enlarged and labelled, for people
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <string>

#include "tools/assetgen/effects.h"
#include "tools/assetgen/font.h"
#include "tools/assetgen/images.h"
#include "tools/assetgen/music.h"
#include "tools/assetgen/output.h"
#include "tools/assetgen/preview.h"
#include "tools/assetgen/sprites.h"

static const char* kSystemFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

static bool Generate(const std::string& root) {
    Picture sheet = Sprites_MakeSheet();
    return Font_Generate(root) && Images_Generate(root, kSystemFont) &&
           Output_Write(root, "Art/Spritesheet.png", Picture_EncodePng(sheet)) &&
           Effects_Generate(root) && Music_Generate(root);
}

int main(int argc, char** argv) {
    SDL_SetMainReady();
    std::string first = argc > 1 ? argv[1] : "Assets";
    bool ok;
    if (first == "--preview") {
        ok = argc > 2 && (TTF_WasInit() || TTF_Init() == 0) &&
             Preview_Write(Sprites_MakeSheet(), argv[2], kSystemFont);
    } else {
        ok = Generate(first);
    }
    if (!ok) std::fprintf(stderr, "zorb-assetgen: failed\n");
    return ok ? 0 : 1;
}
