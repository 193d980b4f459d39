// The sprite sheet preview: four times larger, on a dark checkerboard, every enemy frame labelled
// "k<kind> g<group>" and every projectile and pickup set named.
#include "tools/assetgen/preview.h"

#include <cstdio>
#include <string>

#include "game/sprite_frames.h"
#include "tools/assetgen/emblems.h"
#include "tools/assetgen/output.h"

static const int kScale = 4;

static Picture Enlarge(const Picture& sheet) {
    Picture big = Picture_Make(sheet.width * kScale, sheet.height * kScale, Rgba{0, 0, 0, 255});
    for (int y = 0; y < big.height; y++)
        for (int x = 0; x < big.width; x++) {
            bool dark = ((x / 16) + (y / 16)) % 2 == 0;
            Picture_Set(&big, x, y, dark ? Rgba{40, 40, 48, 255} : Rgba{60, 60, 70, 255});
            Picture_Blend(&big, x, y, Picture_Get(sheet, x / kScale, y / kScale));
        }
    return big;
}

static void Label(Picture* p, const std::string& font, const SheetRect& r, const char* text) {
    int cx = (int)(r.left + r.right) * kScale / 2;
    Emblem_Text(p, font, text, 11, cx + 1, (int)r.top * kScale + 3, Rgba{0, 0, 0, 255});
    Emblem_Text(p, font, text, 11, cx, (int)r.top * kScale + 2, Rgba{255, 255, 120, 255});
}

bool Preview_Write(const Picture& sheet, const std::string& path, const std::string& font) {
    Picture big = Enlarge(sheet);
    for (int k = 0; k < kEnemyKinds; k++)
        for (int e = 0; e < 16; e++) {
            char text[16];
            std::snprintf(text, sizeof text, "k%d g%d", k, e / 4);
            if (e % 4 == 0 || k == 3 || k == 7) Label(&big, font, kEnemyFrames.frames[k][e], text);
        }
    const char* items[] = {"auto", "spread", "bomb", "p.frag", "e.shot", "e.bomb"};
    const SheetRect* sets[] = {kAutoBulletFrames,     kSpreadPelletFrames, kBombFrames,
                               kPlayerFragmentFrames, kEnemyBulletFrames,  kEnemyBombFrames};
    for (int i = 0; i < 6; i++)
        Label(&big, font, sets[i][0], items[i]);
    const char* pickups[] = {"coin", "AUTO", "SPREAD", "BOMB"};
    for (int i = 0; i < 4; i++)
        Label(&big, font, kPickupFrames[i][0], pickups[i]);
    std::vector<unsigned char> png = Picture_EncodePng(big);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && ok;
}
