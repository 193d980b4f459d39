// Fuzz target for fonts: the bytes are loaded as a TrueType file and text is measured and drawn
// at small and large sizes, clipped at the canvas's edges. Nothing may crash or run away.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "quillon/headless.h"
#include "quillon/quillon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool started = QLH_Start(64, 48, 0.01f);
    if (!started) return 0;
    static const std::string path = "fuzz_font_" + std::to_string((long)std::rand()) + ".ttf";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    QL_Font font = QL_Font_Load(path.c_str());
    std::remove(path.c_str());
    QL_Font_Set(font);
    for (float px : {3.0f, 17.0f, 90.0f}) {
        QL_Settings_TextSize(px);
        int w = 0, h = 0;
        QL_Font_MeasureText("Az09 ~\x7f\xff", &w, &h);
        QL_Font_DrawText("Az09 ~\x7f\xff", -5.0f, 40.0f);
    }
    int r, g, b, a;
    QLH_ReadPixel(1, 1, &r, &g, &b, &a);
    QL_Font_Free(&font);
    return 0;
}
