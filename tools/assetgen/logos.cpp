// The logos. Each is layered: a dark outline grown around every shape (so it reads on the sky
// and on black), gradient fills, a light inner stroke, and lettering with its own outline.
#include "tools/assetgen/logos.h"

#include <cmath>
#include <vector>

namespace {

const Rgba kInk{18, 14, 36, 255};
const Rgba kWhite{255, 255, 255, 255};
const float kPi = 3.14159265f;

// A shape with its outline: the grown mask in ink, then the shape in its gradient.
void Outlined(Picture* p, const Mask& shape, const Gradient& fill, float outline) {
    Emblem_Paint(p, Mask_Grown(shape, outline), Gradient_Flat(kInk));
    Emblem_Paint(p, shape, fill);
}

// A badge: the shape outlined and filled, with a light stroke inside its edge (the shape less
// inner).
void Badge(Picture* p, const Mask& shape, const Mask& inner, const Gradient& fill, float outline) {
    Outlined(p, shape, fill, outline);
    Emblem_Paint(p, Mask_Minus(shape, inner), Gradient_Flat(kWhite), 0.85f);
}

std::vector<float> Hexagon(float cx, float cy, float r) {
    std::vector<float> points;
    for (int k = 0; k < 6; k++) {
        float a = kPi / 6.0f + (float)k * kPi / 3.0f;
        points.push_back(cx + r * std::cos(a));
        points.push_back(cy + r * std::sin(a));
    }
    return points;
}

// A thin elliptical ring, only the part above (back) or below (front) its centre line.
Mask RingHalf(int w, int h, float cx, float cy, float rx, float ry, float width, bool front) {
    Mask outer = Mask_Make(w, h), inner = Mask_Make(w, h);
    Mask_Ellipse(&outer, cx, cy, rx, ry);
    Mask_Ellipse(&inner, cx, cy, rx - width, ry - width * 0.6f);
    Mask ring = Mask_Minus(outer, inner);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            if ((y + 0.5f >= cy) != front) ring.a[(size_t)(y * w + x)] = 0.0f;
    return ring;
}

// A glowing ball: a gradient body, a ring around it, and a highlight up on the left.
void RingedOrb(Picture* p, float cx, float cy, float r, Rgba light, Rgba deep, float outline) {
    const int w = p->width, h = p->height;
    Gradient ringFill = Gradient_Vertical(Rgba{255, 250, 220, 255}, Rgba{255, 190, 90, 255},
                                          cy - 0.35f * r, cy + 0.35f * r);
    Outlined(p, RingHalf(w, h, cx, cy, 1.55f * r, 0.42f * r, 0.12f * r, false), ringFill, outline);
    Mask ball = Mask_Make(w, h);
    Mask_Ellipse(&ball, cx, cy, r, r);
    Outlined(p, ball, Gradient{light, deep, cx - 0.6f * r, cy - 0.7f * r, cx + 0.5f * r, cy + r},
             outline);
    Mask shine = Mask_Make(w, h);
    Mask_Ellipse(&shine, cx - 0.38f * r, cy - 0.42f * r, 0.3f * r, 0.18f * r);
    Emblem_Paint(p, shine, Gradient_Flat(kWhite), 0.55f);
    Outlined(p, RingHalf(w, h, cx, cy, 1.55f * r, 0.42f * r, 0.12f * r, true), ringFill, outline);
}

// A word in a vertical gradient with an ink outline, centred on cx, fitted to width.
void Lettering(Picture* p, const std::string& font, const char* text, int size, int width, int cx,
               int y, Rgba top, Rgba bottom, float outline) {
    int fitted = Emblem_FittingSize(font, text, size, width);
    Mask m = Mask_Make(p->width, p->height);
    Mask_Text(&m, font, text, fitted, cx, y);
    Outlined(p, m, Gradient_Vertical(top, bottom, (float)y + 0.2f * fitted, (float)y + fitted),
             outline);
}

// The right-hand part of a badge logo: a name, a bar in the badge's colours, and a line.
void Wordmark(Picture* p, const std::string& font, int left, const char* name, const char* line,
              Rgba barFrom, Rgba barTo) {
    const int w = p->width, h = p->height, cx = (left + w) / 2, span = w - left - h / 10;
    Lettering(p, font, name, h * 52 / 100, span, cx, h * 4 / 100, kWhite, Rgba{160, 215, 255, 255},
              (float)h / 45.0f);
    Mask bar = Mask_Make(w, h);
    Mask_Polygon(&bar, {(float)left + h / 8.0f, h * 0.66f, (float)w - h / 10.0f, h * 0.66f,
                        (float)w - h / 10.0f - h * 0.04f, h * 0.71f,
                        (float)left + h / 8.0f - h * 0.04f, h * 0.71f});
    Outlined(p, bar, Gradient{barFrom, barTo, (float)left, 0, (float)w, 0}, 2.0f);
    Lettering(p, font, line, h * 16 / 100, span, cx, h * 76 / 100, Rgba{235, 235, 245, 255},
              Rgba{200, 200, 225, 255}, (float)h / 80.0f);
}

} // namespace

// A hexagonal badge holding a ringed orb, then "ZORB TEAM" and its line.
Picture Logos_Maker(const std::string& font) {
    const int w = 1026, h = 249;
    Picture p = Picture_Make(w, h, Rgba{0, 0, 0, 0});
    const float cx = 126.0f, cy = h / 2.0f, r = 112.0f;
    Mask badge = Mask_Make(w, h), inner = Mask_Make(w, h);
    Mask_Polygon(&badge, Hexagon(cx, cy, r));
    Mask_Polygon(&inner, Hexagon(cx, cy, r - 9.0f));
    Badge(&p, badge, inner,
          Gradient{Rgba{70, 30, 150, 255}, Rgba{235, 60, 160, 255}, cx - r, cy - r, cx + r, cy + r},
          6.0f);
    RingedOrb(&p, cx, cy, 44.0f, Rgba{190, 250, 255, 255}, Rgba{40, 110, 230, 255}, 3.0f);
    Wordmark(&p, font, 250, "ZORB TEAM", "an independent arena game", Rgba{235, 60, 160, 255},
             Rgba{90, 220, 255, 255});
    return p;
}

// A round badge with a loudspeaker sending out waves, then "QUILLON" and its line.
Picture Logos_Audio(const std::string& font) {
    const int w = 728, h = 192;
    Picture p = Picture_Make(w, h, Rgba{0, 0, 0, 0});
    const float cx = 96.0f, cy = h / 2.0f, r = 84.0f;
    Mask badge = Mask_Make(w, h), inner = Mask_Make(w, h);
    Mask_Ellipse(&badge, cx, cy, r, r);
    Mask_Ellipse(&inner, cx, cy, r - 7.0f, r - 7.0f);
    Badge(&p, badge, inner,
          Gradient{Rgba{40, 200, 180, 255}, Rgba{30, 70, 190, 255}, cx, cy - r, cx, cy + r}, 5.0f);
    Mask speaker = Mask_Make(w, h);
    Mask_Polygon(&speaker, {cx - 44, cy - 14, cx - 26, cy - 14, cx - 4, cy - 34, cx - 4, cy + 34,
                            cx - 26, cy + 14, cx - 44, cy + 14});
    for (int k = 0; k < 3; k++) { // waves: rings cut to their right-hand side
        float rr = 22.0f + 15.0f * (float)k;
        Mask outer = Mask_Make(w, h), hole = Mask_Make(w, h), left = Mask_Make(w, h);
        Mask_Ellipse(&outer, cx - 4, cy, rr + 5.0f, rr + 5.0f);
        Mask_Ellipse(&hole, cx - 4, cy, rr, rr);
        Mask_Polygon(&left,
                     {0, 0, cx + 4, 0, cx + 4 + rr * 0.2f, cy, cx + 4, (float)h, 0, (float)h});
        Mask_Add(&speaker, Mask_Minus(Mask_Minus(outer, hole), left));
    }
    Outlined(&p, speaker, Gradient_Vertical(kWhite, Rgba{200, 240, 255, 255}, cy - 40, cy + 40),
             3.0f);
    Wordmark(&p, font, 196, "QUILLON", "SDL2 + software mixer", Rgba{40, 200, 180, 255},
             Rgba{255, 200, 60, 255});
    return p;
}

// The title: "ZORB" in hot colours across a ringed orb, over a soft shadow.
Picture Logos_Game(const std::string& font) {
    const int w = 570, h = 486;
    Picture p = Picture_Make(w, h, Rgba{0, 0, 0, 0});
    RingedOrb(&p, w / 2.0f, h / 2.0f, 170.0f, Rgba{255, 200, 250, 255}, Rgba{120, 30, 200, 255},
              6.0f);
    Mask word = Mask_Make(w, h);
    int size = Emblem_FittingSize(font, "ZORB", 200, w - 40);
    Mask_Text(&word, font, "ZORB", size, w / 2, h / 2 - size * 6 / 10);
    Mask shadow = Mask_Make(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++)
            shadow.a[(size_t)(y * w + x)] = word.At(x - 9, y - 10);
    Emblem_Paint(&p, Mask_Grown(shadow, 8.0f), Gradient_Flat(Rgba{0, 0, 0, 255}), 0.45f);
    Outlined(&p, word,
             Gradient_Vertical(Rgba{255, 245, 150, 255}, Rgba{255, 90, 60, 255},
                               h / 2.0f - size * 0.4f, h / 2.0f + size * 0.35f),
             8.0f);
    Mask rim = Mask_Minus(word, [&] {
        Mask lower = Mask_Make(w, h);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                lower.a[(size_t)(y * w + x)] = word.At(x, y - 4);
        return lower;
    }());
    Emblem_Paint(&p, rim, Gradient_Flat(kWhite), 0.7f); // light along the letters' top edges
    return p;
}

Picture Logos_Icon(const std::string& font, int size) {
    const int w = 256;
    Picture p = Picture_Make(w, w, Rgba{0, 0, 0, 0});
    const float r = 76.0f, c = w / 2.0f;
    RingedOrb(&p, c, c, r, Rgba{255, 200, 250, 255}, Rgba{120, 30, 200, 255}, 5.0f);
    Lettering(&p, font, "Z", (int)(1.5f * r), (int)(1.2f * r), (int)c, (int)(c - 0.85f * r),
              Rgba{255, 245, 150, 255}, Rgba{255, 90, 60, 255}, 6.0f);
    return size == w ? p : Picture_Scaled(p, size, size);
}
