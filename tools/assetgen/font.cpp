// Copies DejaVu Sans Mono Bold to the game's font path, with the licence beside it. Its digits
// and space share one advance width, which the HUD's overlaid counters need.
#include "tools/assetgen/font.h"

#include <cstdio>

#include "tools/assetgen/output.h"

static const char* kFontSource = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";
static const char* kLicenceSource = "/usr/share/doc/fonts-dejavu-core/copyright";

bool Font_Generate(const std::string& root) {
    std::vector<unsigned char> font, licence;
    if (!Output_ReadFile(kFontSource, &font)) {
        std::fprintf(stderr, "zorb-assetgen: %s is missing (install fonts-dejavu-core)\n",
                     kFontSource);
        return false;
    }
    Output_ReadFile(kLicenceSource, &licence);
    return Output_Write(root, "Fonts/Monodeco Bold.ttf", font) &&
           Output_Write(root, "Fonts/LICENSE-DejaVu.txt", licence);
}
