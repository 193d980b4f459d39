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
#include "tools/assetgen/logos.h"
#include "tools/assetgen/music.h"
#include "tools/assetgen/output.h"
#include "tools/assetgen/preview.h"
#include "tools/assetgen/sprites.h"

static const char* kSystemFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

// The icon at the sizes desktops ask for, in the layout of the hicolor theme.
static bool GenerateIcons(const std::string& root) {
    for (int size : {16, 32, 48, 64, 128, 256}) {
        std::string name = std::to_string(size) + "x" + std::to_string(size) + "/apps/zorb.png";
        if (!Output_Write(root, name, Picture_EncodePng(Logos_Icon(kSystemFont, size))))
            return false;
    }
    return true;
}

static bool Generate(const std::string& root) {
    Picture sheet = Sprites_MakeSheet();
    return Font_Generate(root) && Images_Generate(root, kSystemFont) &&
           Output_Write(root, "Art/Spritesheet.png", Picture_EncodePng(sheet)) &&
           Effects_Generate(root) && Music_Generate(root);
}

static const char* const kUsage =
    "usage: zorb-assetgen [ASSETS_DIR]          write every asset the game loads (default "
    "./Assets)\n"
    "       zorb-assetgen --preview FILE.png    the sprite sheet enlarged, each frame labelled\n"
    "       zorb-assetgen --icons DIR           the desktop icons, DIR/NxN/apps/zorb.png\n"
    "       zorb-assetgen --help                this text\n";

// Only the forms in the usage: anything else starting with '-' is a mistake, not a folder name.
static bool WellFormed(int argc, char** argv) {
    if (argc == 1) return true;
    std::string first = argv[1];
    if (first == "--preview" || first == "--icons") return argc == 3;
    return argc == 2 && (first == "--help" || first.empty() || first[0] != '-');
}

int main(int argc, char** argv) {
    SDL_SetMainReady();
    if (!WellFormed(argc, argv)) {
        std::fprintf(stderr, "zorb-assetgen: bad arguments\n%s", kUsage);
        return 2;
    }
    std::string first = argc > 1 ? argv[1] : "Assets";
    if (first == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    bool ok;
    if (first == "--icons") {
        ok = (TTF_WasInit() || TTF_Init() == 0) && GenerateIcons(argv[2]);
    } else if (first == "--preview") {
        ok = (TTF_WasInit() || TTF_Init() == 0) &&
             Preview_Write(Sprites_MakeSheet(), argv[2], kSystemFont);
    } else {
        ok = Generate(first);
    }
    if (!ok) std::fprintf(stderr, "zorb-assetgen: failed\n");
    return ok ? 0 : 1;
}
