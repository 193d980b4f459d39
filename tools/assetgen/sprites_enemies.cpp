// Pixel art of the eight enemy kinds. Each kind is drawn in view group 0 (facing the player),
// 1 (side view, facing right on screen), 2 (facing away) and 3 (group 1 mirrored), with walk
// frames that step. Kinds differ in silhouette, size and colour to match their roles.
#include <cmath>

#include "game/sprite_frames.h"
#include "tools/assetgen/sprites.h"

namespace {

enum View { kFront = 0, kSide = 1, kBack = 2, kMirror = 3 };

struct Look {
    Rgba body, dark, accent, eye;
};

const Rgba kOutline{20, 16, 24, 255};
const Rgba kMetal{120, 125, 135, 255};
const Rgba kGunDark{45, 45, 55, 255};

// The drawing box of one frame.
struct Cell {
    Picture* p;
    int x, y, w, h;
    void Rect(int rx, int ry, int rw, int rh, Rgba c) const {
        Picture_FillRect(p, x + rx, y + ry, rw, rh, c);
    }
    void Oval(float cx, float cy, float rx, float ry, Rgba c) const {
        Picture_FillEllipse(p, x + cx, y + cy, rx, ry, c);
    }
    void Dot(int px, int py, Rgba c) const { Picture_Set(p, x + px, y + py, c); }
    void Line(int x0, int y0, int x1, int y1, Rgba c) const {
        Picture_Line(p, x + x0, y + y0, x + x1, y + y1, c);
    }
    void Outline() const { Picture_Outline(p, x, y, w, h, kOutline); }
};

Cell CellOf(Picture* p, int kind, int entry) {
    SheetRect r = kEnemyFrames.frames[kind][entry];
    return Cell{p, (int)r.left, (int)r.top, (int)(r.right - r.left), (int)(r.bottom - r.top)};
}

// ---- Small walkers (16 x 32): kinds 0, 1, 2 and 4 -------------------------------------------

enum Weapon { kClaws, kRifle, kFan, kBloat };

struct Biped {
    Look look;
    float bodyW, bodyH, headR;
    int legLen;
    Weapon weapon;
};

// Legs: in front and back views one foot lifts in turn; in the side view they scissor.
void Legs(const Cell& c, const Biped& b, View v, int step) {
    int ground = c.h - 1, top = ground - b.legLen + 1;
    Rgba leg = b.look.dark;
    if (v == kSide) {
        int swing = step % 2 == 0 ? 2 : -2;
        c.Line(8, top, 8 + swing, ground, leg);
        c.Line(7, top, 7 - swing, ground, Shade(leg, 0.8f));
        c.Rect(8 + swing, ground, 2, 1, leg);
        c.Rect(7 - swing - 1, ground, 2, 1, Shade(leg, 0.8f));
        return;
    }
    int lift = step % 2 == 0 ? 2 : 0;
    c.Rect(5, top, 2, b.legLen - lift, leg);
    c.Rect(9, top, 2, b.legLen - (2 - lift), leg);
}

void BipedWeapon(const Cell& c, const Biped& b, View v, int chestY) {
    if (b.weapon == kRifle && v == kSide) c.Rect(8, chestY, 8, 2, kGunDark);
    if (b.weapon == kRifle && v == kFront) c.Rect(7, chestY, 3, 3, kGunDark);
    if (b.weapon == kFan && v == kSide) {
        c.Line(9, chestY, 15, chestY - 3, kMetal);
        c.Line(9, chestY, 15, chestY + 3, kMetal);
        c.Line(9, chestY, 15, chestY, kGunDark);
    }
    if (b.weapon == kFan && v == kFront) c.Rect(4, chestY - 1, 8, 3, kMetal);
    if (b.weapon == kClaws && v != kBack) {
        c.Line(1, chestY - 3, 3, chestY + 1, b.look.accent);
        c.Line(14, chestY - 3, 12, chestY + 1, b.look.accent);
    }
}

void BipedFace(const Cell& c, const Biped& b, View v, float headY, float cx) {
    if (v == kBack) return;
    Rgba eye = b.look.eye;
    if (b.weapon == kClaws) { // the chaser: big eyes and a toothy mouth in its body
        if (v == kFront) {
            c.Rect(5, (int)headY - 1, 2, 2, eye);
            c.Rect(9, (int)headY - 1, 2, 2, eye);
            c.Rect(5, (int)headY + 3, 6, 1, kOutline);
            c.Dot(6, (int)headY + 2, Rgba{255, 255, 255, 255});
            c.Dot(9, (int)headY + 2, Rgba{255, 255, 255, 255});
        } else {
            c.Rect(11, (int)headY - 1, 2, 2, eye);
            c.Rect(10, (int)headY + 3, 4, 1, kOutline);
        }
        return;
    }
    if (v == kFront) {
        c.Dot((int)cx - 2, (int)headY, eye);
        c.Dot((int)cx + 1, (int)headY, eye);
    } else {
        c.Rect((int)cx + 1, (int)headY - 1, 2, 2, eye);
    }
}

void DrawBiped(const Cell& c, const Biped& b, View v, int step) {
    Legs(c, b, v, step);
    int ground = c.h - 1;
    float bodyBottom = ground - b.legLen + 1.5f;
    float bodyCy = bodyBottom - b.bodyH * 0.5f;
    float bodyRx = (v == kSide ? b.bodyW * 0.35f : b.bodyW * 0.5f);
    Rgba body = v == kBack ? Shade(b.look.body, 0.7f) : b.look.body;
    float bob = step % 2 == 0 ? 0.0f : 1.0f; // the body dips on the second step
    c.Oval(8.0f, bodyCy + bob, bodyRx, b.bodyH * 0.5f, body);
    if (b.weapon == kBloat) { // glowing sacs that burst when it dies
        c.Oval(v == kSide ? 6.0f : 5.0f, bodyCy + bob - 1, 1.6f, 1.6f, b.look.accent);
        c.Oval(v == kSide ? 9.0f : 11.0f, bodyCy + bob + 2, 1.4f, 1.4f, b.look.accent);
        c.Oval(8.0f, bodyCy + bob + 4, 1.2f, 1.2f, b.look.accent);
    }
    if (v == kBack && b.weapon != kClaws) c.Rect(6, (int)(bodyCy + bob) - 2, 4, 4, b.look.dark);
    float headCx = v == kSide ? 9.0f : 8.0f;
    float headY = bodyCy + bob - b.bodyH * 0.5f - b.headR + 1;
    if (b.headR > 0)
        c.Oval(headCx, headY, b.headR, b.headR, v == kBack ? b.look.dark : b.look.accent);
    BipedFace(c, b, v, b.headR > 0 ? headY : bodyCy + bob - 1, headCx);
    BipedWeapon(c, b, v, (int)(bodyCy + bob));
    c.Outline();
}

const Biped kChaser{
    {{70, 190, 60, 255}, {30, 100, 30, 255}, {200, 255, 150, 255}, {255, 40, 40, 255}},
    11.0f,
    9.0f,
    0.0f,
    4,
    kClaws};
const Biped kGunner{
    {{220, 120, 40, 255}, {110, 60, 20, 255}, {240, 200, 150, 255}, {20, 20, 20, 255}},
    8.0f,
    9.0f,
    3.0f,
    8,
    kRifle};
const Biped kFanGunner{
    {{140, 60, 200, 255}, {70, 30, 110, 255}, {200, 170, 240, 255}, {255, 255, 80, 255}},
    11.0f,
    10.0f,
    3.0f,
    7,
    kFan};
const Biped kBurster{
    {{190, 200, 60, 255}, {100, 110, 30, 255}, {255, 70, 40, 255}, {30, 30, 30, 255}},
    13.0f,
    13.0f,
    2.5f,
    5,
    kBloat};

// A leg seen from the front or behind, with a boot wider than the leg. Raised, the leg is
// shorter by lift and its boot hangs above the ground.
void StompingLeg(const Cell& c, int x, int top, int w, int h, int lift, Rgba colour) {
    int bottom = top + h - lift;
    c.Rect(x, top, w, h - lift, colour);
    c.Rect(x - 1, bottom - 2, w + 2, 2, lift > 0 ? Shade(colour, 1.4f) : kGunDark);
}

// ---- The rapid gunner (32 x 32, four distinct frames) ----------------------------------------

void DrawRapidGunner(const Cell& c, View v, int step) {
    Look look{{200, 40, 40, 255}, {110, 20, 20, 255}, {255, 200, 60, 255}, {80, 255, 255, 255}};
    const int legPhase[4] = {0, 2, 0, -2};
    int ground = c.h - 1, lift = legPhase[step];
    Rgba body = v == kBack ? Shade(look.body, 0.7f) : look.body;
    if (v == kSide) {
        c.Rect(13 + lift, ground - 8, 3, 9, look.dark);
        c.Rect(17 - lift, ground - 8, 3, 9, Shade(look.dark, 0.8f));
    } else {
        // Seen from the front, the stepping leg draws up its boot while the other plants.
        StompingLeg(c, 9, ground - 8, 4, 9, lift > 0 ? 4 : 0, look.dark);
        StompingLeg(c, 19, ground - 8, 4, 9, lift < 0 ? 4 : 0, look.dark);
    }
    int bob = step % 2;
    c.Oval(16.0f, 15.0f + bob, v == kSide ? 8.0f : 11.0f, 7.0f, body);
    c.Oval(16.0f, 7.0f + bob, 5.0f, 4.0f, v == kBack ? look.dark : kMetal);
    if (v == kFront) {
        c.Rect(13, 6 + bob, 6, 2, look.eye);
        for (int side = 0; side < 2; side++) { // twin barrels pointing at the viewer
            int bx = side ? 22 : 6;
            c.Oval(bx + 2.0f, 16.0f + bob, 3.0f, 3.0f, kGunDark);
            c.Dot(bx + 1 + (step % 2), 15 + bob + (step / 2), look.accent);
        }
    } else if (v == kSide) {
        c.Rect(18, 6 + bob, 3, 2, look.eye);
        c.Rect(18, 13 + bob, 14, 2, kGunDark);
        c.Rect(18, 17 + bob, 14, 2, kGunDark);
        c.Rect(30, 13 + bob + (step % 2) * 4, 2, 2, look.accent); // muzzle glint walks
    } else {
        c.Rect(11, 11 + bob, 10, 6, look.dark); // ammunition drum on the back
        c.Rect(12 + step * 2, 12 + bob, 2, 4, look.accent);
    }
    c.Outline();
}

// ---- The ring gunner (64 x 64, slow, a ring of ports) -----------------------------------------

void DrawRingGunner(const Cell& c, View v, int step) {
    Look look{{40, 170, 160, 255}, {20, 90, 90, 255}, {255, 230, 120, 255}, {255, 60, 200, 255}};
    int foot = step % 2 ? 3 : 0;
    c.Rect(16, 52 + foot, 8, 11 - foot, look.dark);
    c.Rect(40, 52 + (3 - foot), 8, 11 - (3 - foot), look.dark);
    c.Oval(32.0f, 46.0f, v == kSide ? 22.0f : 29.0f, 8.0f, kMetal);
    Rgba dome = v == kBack ? Shade(look.body, 0.7f) : look.body;
    c.Oval(32.0f, 30.0f, v == kSide ? 16.0f : 20.0f, 18.0f, dome);
    for (int k = 0; k < 8; k++) { // ports around the ring, turning a little each step
        float a = (k * 45.0f + step * 22.5f) * 0.0174533f;
        float px = 32.0f + std::cos(a) * (v == kSide ? 20.0f : 26.0f);
        float py = 46.0f + std::sin(a) * 6.0f;
        if (std::sin(a) > -0.3f) c.Oval(px, py, 2.0f, 2.0f, look.accent);
    }
    if (v == kFront) c.Oval(32.0f, 26.0f, 6.0f, 4.0f, look.eye);
    if (v == kSide) c.Oval(44.0f, 26.0f, 3.0f, 4.0f, look.eye);
    if (v == kBack) {
        for (int k = 0; k < 3; k++)
            c.Rect(24, 20 + 5 * k, 16, 2, look.dark);
    }
    c.Outline();
}

// ---- The rolling bomber (64 x 64, treads and a mortar) ---------------------------------------

void DrawBomber(const Cell& c, View v, int step) {
    Look look{{110, 120, 70, 255}, {55, 60, 35, 255}, {250, 140, 30, 255}, {255, 240, 60, 255}};
    int treadW = v == kSide ? 58 : 44;
    int tx = 32 - treadW / 2;
    c.Rect(tx, 48, treadW, 14, look.dark);
    if (v == kSide) {
        for (int k = 0; k < treadW; k += 4) // tread links roll by two pixels a frame
            c.Rect(tx + (k + 2 * (step % 2)) % treadW, 48, 1, 14, Shade(look.dark, 0.6f));
    } else {
        // Head-on, the plates of both treads come down toward the ground, a pixel a frame.
        for (int y = 48 + step; y < 62; y += 4)
            for (int side = 0; side < 2; side++)
                c.Rect(tx + side * (treadW - 14), y, 14, 2, Shade(look.dark, 0.55f));
    }
    Rgba hull = v == kBack ? Shade(look.body, 0.7f) : look.body;
    c.Oval(32.0f, 34.0f, v == kSide ? 24.0f : 20.0f, 18.0f, hull);
    if (v == kSide) {
        c.Rect(30, 8, 8, 14, kGunDark); // mortar tube leaning forward
        c.Rect(36, 6, 8, 6, kGunDark);
        c.Oval(48.0f, 32.0f, 4.0f, 4.0f, look.eye);
        c.Oval(20.0f, 40.0f, 5.0f, 5.0f, look.accent); // bomb rack
    } else {
        c.Rect(27, 8, 10, 12, kGunDark);
        if (v == kFront) c.Oval(32.0f, 34.0f, 8.0f, 6.0f, look.eye);
        if (v == kBack) {
            c.Oval(24.0f, 36.0f, 4.0f, 4.0f, look.accent);
            c.Oval(40.0f, 36.0f, 4.0f, 4.0f, look.accent);
        }
    }
    c.Outline();
}

// ---- The heavy (64 x 64, three weapons, four distinct frames) --------------------------------

void DrawHeavy(const Cell& c, View v, int step) {
    Look look{{150, 30, 60, 255}, {70, 15, 30, 255}, {200, 200, 210, 255}, {255, 255, 120, 255}};
    const int stride[4] = {0, 4, 0, -4};
    int s = stride[step];
    if (v == kSide) {
        c.Rect(26 + s, 44, 7, 19, look.dark);
        c.Rect(31 - s, 44, 7, 19, Shade(look.dark, 0.8f));
    } else {
        StompingLeg(c, 16, 44, 9, 19, s > 0 ? 7 : 0, look.dark);
        StompingLeg(c, 39, 44, 9, 19, s < 0 ? 7 : 0, look.dark);
    }
    int bob = step % 2;
    Rgba torso = v == kBack ? Shade(look.body, 0.7f) : look.body;
    c.Rect(v == kSide ? 20 : 14, 20 + bob, v == kSide ? 24 : 36, 26, torso);
    c.Rect(27, 12 + bob, 10, 9, look.accent); // head
    if (v == kFront) {
        c.Rect(29, 15 + bob, 6, 2, look.eye);
        c.Rect(4, 24 + bob, 10, 14, kGunDark); // gatling arm
        c.Rect(50, 24 + bob, 10, 14, kMetal);  // fan launcher arm
        c.Rect(16, 10 + bob, 8, 10, kGunDark); // shoulder mortar
        c.Dot(8 + step, 30 + bob, look.eye);
    } else if (v == kSide) {
        c.Rect(34, 15 + bob, 3, 2, look.eye);
        c.Rect(36, 28 + bob, 26, 5, kGunDark);
        c.Rect(36, 35 + bob, 20, 4, kMetal);
        c.Rect(22, 8 + bob, 8, 10, kGunDark);
        c.Rect(58, 28 + bob + step % 2 * 2, 3, 2, look.eye);
    } else {
        c.Rect(20, 24 + bob, 24, 16, look.dark); // reactor pack
        c.Rect(26 + step * 3, 28 + bob, 3, 8, look.eye);
        c.Rect(4, 24 + bob, 10, 14, kGunDark);
        c.Rect(50, 24 + bob, 10, 14, kMetal);
    }
    c.Outline();
}

void DrawKind(Picture* p, int kind, int entry) {
    View v = (View)(entry / 4);
    int step = entry % 4;
    Cell c = CellOf(p, kind, entry);
    switch (kind) {
    case 0:
        DrawBiped(c, kChaser, v, step);
        break;
    case 1:
        DrawBiped(c, kGunner, v, step);
        break;
    case 2:
        DrawBiped(c, kFanGunner, v, step);
        break;
    case 3:
        DrawRapidGunner(c, v, step);
        break;
    case 4:
        DrawBiped(c, kBurster, v, step);
        break;
    case 5:
        DrawRingGunner(c, v, step);
        break;
    case 6:
        DrawBomber(c, v, step);
        break;
    default:
        DrawHeavy(c, v, step);
        break;
    }
}

// Kinds with two walk frames list each rectangle twice; each is drawn once.
bool DrawnBefore(int kind, int entry) {
    const SheetRect* f = kEnemyFrames.frames[kind];
    for (int e = 0; e < entry; e++)
        if (f[e].left == f[entry].left && f[e].top == f[entry].top) return true;
    return false;
}

} // namespace

void Sprites_DrawEnemies(Picture* sheet) {
    for (int kind = 0; kind < kEnemyKinds; kind++) {
        for (int entry = 0; entry < 12; entry++)
            if (!DrawnBefore(kind, entry)) DrawKind(sheet, kind, entry);
        for (int i = 0; i < 4; i++) { // group 3 is group 1 seen from the other side
            Cell from = CellOf(sheet, kind, 4 + i), to = CellOf(sheet, kind, 12 + i);
            Picture_Copy(sheet, to.x, to.y, *sheet, from.x, from.y, from.w, from.h, true);
        }
    }
}

Picture Sprites_MakeSheet() {
    Picture sheet = Picture_Make(kSheetWidth, kSheetHeight, Rgba{0, 0, 0, 0});
    Sprites_DrawItems(&sheet);
    Sprites_DrawEnemies(&sheet);
    return sheet;
}
