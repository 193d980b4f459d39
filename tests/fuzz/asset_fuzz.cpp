// Fuzz target for the pictures and sounds the engine loads: the bytes are tried as a PNG (then
// drawn at several sizes, flipped, in part and smoothly) and as a WAV (then mixed at high volume
// and odd pitches). Nothing may crash, and the mix must stay within [-1, 1].
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "quillon/src/mixer.h"

namespace {

std::string Save(const uint8_t* data, size_t size, const char* suffix) {
    static const std::string base = "fuzz_asset_" + std::to_string((long)std::rand());
    std::string path = base + suffix;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    return path;
}

void TryPicture(const uint8_t* data, size_t size) {
    std::string path = Save(data, size, ".png");
    QL_Image img = QL_Image_Load(path.c_str());
    std::remove(path.c_str());
    if (!img) return;
    const float sizes[][4] = {{0, 0, 64, 48}, {-1e9f, 5, 3e9f, 20}, {60, 40, -70, -90}};
    for (int smooth = 0; smooth < 2; smooth++) {
        QL_Settings_ImageFilterMode(smooth);
        for (const auto& s : sizes) {
            QL_Image_Draw(img, s[0], s[1], s[2], s[3], 200);
            QL_Image_DrawSubImage(img, s[0], s[1], s[2], s[3], 1, 1, 7, 3, 255);
        }
    }
    int r, g, b, a;
    QLH_ReadPixel(10, 10, &r, &g, &b, &a); // paints what was drawn
    QL_Image_Free(&img);
}

void TrySound(const uint8_t* data, size_t size) {
    std::string path = Save(data, size, ".wav");
    MixSound sound;
    bool ok = Ql_Sound_Decode(path.c_str(), &sound);
    std::remove(path.c_str());
    if (!ok) return;
    Mixer mixer;
    Mixer_Reset(&mixer, 48000);
    Mixer_Play(&mixer, &sound, 50.0f, 0.37f, true, 0);
    Mixer_Play(&mixer, &sound, 1.0f, 3.1f, false, 1);
    float out[2 * 256];
    for (int i = 0; i < 4; i++) {
        Mixer_Mix(&mixer, out, 256);
        for (float v : out)
            if (!(v >= -1.0f && v <= 1.0f)) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool started = QLH_Start(64, 48, 0.01f);
    if (!started) return 0;
    TryPicture(data, size);
    TrySound(data, size);
    return 0;
}
