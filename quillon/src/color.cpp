// Colours (clamped channels, HSV, interpolation) and angle conversion.
#include <cmath>

#include "internal.h"

QL_Color QL_Color_Create(int r, int g, int b, int a) {
    return QL_Color{Ql_ClampChannel(r), Ql_ClampChannel(g), Ql_ClampChannel(b), Ql_ClampChannel(a)};
}

QL_ColorHSV QL_ColorHSV_Create(float h, float s, float v, int a) {
    return QL_ColorHSV{h, s, v, a};
}

static float Clamp01(float x) {
    return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x);
}

// Hue wraps around the circle; saturation and value are percentages.
QL_Color QL_Color_FromColorHSV(QL_ColorHSV c) {
    float h = std::fmod(c.h, 360.0f);
    if (h < 0.0f) h += 360.0f;
    float s = Clamp01(c.s / 100.0f), v = Clamp01(c.v / 100.0f);
    float chroma = v * s;
    float x = chroma * (1.0f - std::fabs(std::fmod(h / 60.0f, 2.0f) - 1.0f));
    float m = v - chroma;
    float r = 0, g = 0, b = 0;
    switch ((int)(h / 60.0f)) {
    case 0:
        r = chroma;
        g = x;
        break;
    case 1:
        r = x;
        g = chroma;
        break;
    case 2:
        g = chroma;
        b = x;
        break;
    case 3:
        g = x;
        b = chroma;
        break;
    case 4:
        r = x;
        b = chroma;
        break;
    default:
        r = chroma;
        b = x;
        break;
    }
    return QL_Color_Create((int)std::lround((r + m) * 255.0f), (int)std::lround((g + m) * 255.0f),
                           (int)std::lround((b + m) * 255.0f), c.a);
}

QL_Color QL_Color_Lerp(QL_Color a, QL_Color b, float t) {
    t = Clamp01(t);
    auto mix = [t](int x, int y) { return (int)std::lround((float)x + (float)(y - x) * t); };
    return QL_Color_Create(mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b), mix(a.a, b.a));
}

float QL_Math_Radians(float degrees) {
    return degrees * 0.017453292519943295f;
}
float QL_Math_Degrees(float radians) {
    return radians * 57.29577951308232f;
}
