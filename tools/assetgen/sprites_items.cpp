// Pixel art of the small things: the player's and the enemies' projectiles, and the pickups.
#include <cmath>

#include "game/sprite_frames.h"
#include "tools/assetgen/sprites.h"

namespace {

const Rgba kWhite{255, 255, 255, 255};

// A soft glowing dot: a bright core in a coloured halo.
void Glow(Picture* p, float cx, float cy, float r, Rgba halo, Rgba core) {
    Picture_FillEllipse(p, cx, cy, r, r, halo);
    Picture_FillEllipse(p, cx, cy, r * 0.55f, r * 0.55f, core);
}

// Calls draw(frame, left, top) for the first count frames of a set.
template <class Draw> void EachFrame(const SheetRect* frames, int count, Draw draw) {
    for (int f = 0; f < count; f++)
        draw(f, (int)frames[f].left, (int)frames[f].top);
}

// The player's AUTO bullet: a bright magenta-white streak; the second frame flickers longer.
void AutoBullet(Picture* p) {
    EachFrame(kAutoBulletFrames, 2, [&](int f, int x, int y) {
        Rgba halo{255, 90, 255, 255};
        Picture_FillEllipse(p, x + 4.0f, y + 4.0f, f ? 3.5f : 2.8f, f ? 2.2f : 2.8f, halo);
        Picture_FillEllipse(p, x + 4.0f, y + 4.0f, 1.3f, 1.3f, kWhite);
    });
}

// The player's SPREAD pellets: small cyan shot, two sizes.
void SpreadPellet(Picture* p) {
    EachFrame(kSpreadPelletFrames, 2, [&](int f, int x, int y) {
        Glow(p, x + 4.0f, y + 4.0f, f ? 2.4f : 3.2f, Rgba{40, 230, 255, 255},
             Rgba{220, 255, 255, 255});
    });
}

// The player's fragments: white-yellow sparks in a star.
void PlayerFragment(Picture* p) {
    EachFrame(kPlayerFragmentFrames, 2, [&](int f, int x, int y) {
        Rgba spark{255, 240, 120, 255};
        if (f == 0) {
            Picture_FillRect(p, x + 3, y + 1, 2, 6, spark);
            Picture_FillRect(p, x + 1, y + 3, 6, 2, spark);
        } else {
            Picture_Line(p, x + 1, y + 1, x + 6, y + 6, spark);
            Picture_Line(p, x + 6, y + 1, x + 1, y + 6, spark);
        }
        Picture_FillRect(p, x + 3, y + 3, 2, 2, kWhite);
    });
}

// Enemy bullets and fragments: hot red orbs with an orange core.
void EnemyBullet(Picture* p) {
    EachFrame(kEnemyBulletFrames, 2, [&](int f, int x, int y) {
        Glow(p, x + 4.0f, y + 4.0f, f ? 3.6f : 2.9f, Rgba{230, 30, 20, 255},
             Rgba{255, 170, 60, 255});
    });
}

// The player's bomb: a yellow ball with a fuse spark that travels round in four frames.
void PlayerBomb(Picture* p) {
    EachFrame(kBombFrames, 4, [&](int f, int x, int y) {
        Picture_FillEllipse(p, x + 8.0f, y + 9.0f, 5.5f, 5.5f, Rgba{230, 200, 20, 255});
        Picture_FillEllipse(p, x + 6.5f, y + 7.5f, 2.0f, 2.0f, Rgba{255, 250, 170, 255});
        Picture_Outline(p, x, y, 16, 16, Rgba{90, 70, 0, 255});
        float a = f * 1.5708f;
        int sx = x + 8 + (int)std::lround(std::cos(a) * 6.0),
            sy = y + 9 - (int)std::lround(std::sin(a) * 6.0);
        Picture_FillRect(p, sx - 1, sy - 1, 3, 3, kWhite);
        Picture_Set(p, sx, sy, Rgba{255, 120, 0, 255});
    });
}

// The enemies' bomb: a dark purple spiked mine whose red light pulses.
void EnemyBomb(Picture* p) {
    EachFrame(kEnemyBombFrames, 4, [&](int f, int x, int y) {
        Rgba body{90, 30, 110, 255};
        for (int k = 0; k < 8; k++) {
            float a = k * 0.7854f + (f % 2) * 0.39f;
            Picture_Line(p, x + 8, y + 8, x + 8 + (int)std::lround(std::cos(a) * 7.0),
                         y + 8 - (int)std::lround(std::sin(a) * 7.0), Rgba{60, 20, 70, 255});
        }
        Picture_FillEllipse(p, x + 8.0f, y + 8.0f, 5.0f, 5.0f, body);
        int light = 120 + 45 * (f < 2 ? f : 4 - f);
        Picture_FillEllipse(p, x + 8.0f, y + 8.0f, 2.2f, 2.2f, Rgba{(uint8_t)light, 20, 20, 255});
    });
}

// The coin: gold, turning on its axis over four frames.
void Coin(Picture* p) {
    const float widths[4] = {6.0f, 4.0f, 1.5f, 4.0f};
    EachFrame(kPickupFrames[0], 4, [&](int f, int x, int y) {
        Picture_FillEllipse(p, x + 8.0f, y + 8.0f, widths[f], 6.5f, Rgba{240, 190, 30, 255});
        Picture_FillEllipse(p, x + 8.0f, y + 8.0f, widths[f] * 0.6f, 4.5f, Rgba{255, 225, 90, 255});
        if (f != 2) Picture_FillRect(p, x + 7, y + 5, 2, 6, Rgba{200, 140, 10, 255});
        Picture_Outline(p, x, y, 16, 16, Rgba{120, 80, 0, 255});
    });
}

// Three-by-five letters for the weapon pickups.
const char* const kLetterA = "###"
                             "#.#"
                             "###"
                             "#.#"
                             "#.#";
const char* const kLetterS = "###"
                             "#.."
                             "###"
                             "..#"
                             "###";
const char* const kLetterB = "##."
                             "#.#"
                             "##."
                             "#.#"
                             "##.";

void Letter(Picture* p, int x, int y, const char* rows, Rgba c) {
    for (int j = 0; j < 5; j++)
        for (int i = 0; i < 3; i++)
            if (rows[j * 3 + i] == '#') Picture_Set(p, x + i, y + j, c);
}

// A weapon pickup: a gem in the weapon's colour with its letter, pulsing over four frames.
void Power(Picture* p, int kind, Rgba colour, const char* letter) {
    const float pulse[4] = {6.5f, 7.0f, 7.5f, 7.0f};
    EachFrame(kPickupFrames[kind], 4, [&](int f, int x, int y) {
        float r = pulse[f];
        for (int j = 0; j < 16; j++)
            for (int i = 0; i < 16; i++)
                if (std::fabs(i + 0.5f - 8.0f) + std::fabs(j + 0.5f - 8.0f) <= r)
                    Picture_Set(p, x + i, y + j, colour);
        Picture_FillRect(p, x + 5, y + 4 + (f == 2), 1, 2, Rgba{255, 255, 255, 255});
        Letter(p, x + 7, y + 6, letter, Shade(colour, 0.3f));
        Picture_Outline(p, x, y, 16, 16, Shade(colour, 0.35f));
    });
}

} // namespace

void Sprites_DrawItems(Picture* sheet) {
    AutoBullet(sheet);
    SpreadPellet(sheet);
    PlayerFragment(sheet);
    EnemyBullet(sheet);
    PlayerBomb(sheet);
    EnemyBomb(sheet);
    Coin(sheet);
    Power(sheet, 1, Rgba{255, 0, 255, 255}, kLetterA);
    Power(sheet, 2, Rgba{0, 255, 255, 255}, kLetterS);
    Power(sheet, 3, Rgba{255, 255, 0, 255}, kLetterB);
}
