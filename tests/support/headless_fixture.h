// A test fixture that runs the engine headless for the length of one test.
#pragma once

#include <gtest/gtest.h>

#include "quillon/headless.h"
#include "quillon/quillon.h"

class HeadlessTest : public ::testing::Test {
  protected:
    void SetUp() override { QLH_Start(320, 240, 1.0f / 100.0f); }
    void TearDown() override {
        QLH_Shutdown();
        QLH_ReleaseSeed();
    }

    // A left click at (x, y): pressed for one frame, released on the next.
    static void ClickAt(float x, float y) {
        QLH_MouseMove(x, y);
        QLH_MouseButton(true);
        QLH_Step(1);
        QLH_MouseButton(false);
        QLH_Step(1);
    }

    struct Pixel {
        int r, g, b, a;
    };
    static Pixel At(int x, int y) {
        Pixel p{};
        QLH_ReadPixel(x, y, &p.r, &p.g, &p.b, &p.a);
        return p;
    }
};

// The game's font as the build generates it.
inline const char* TestFontPath() {
    return "./Assets/Fonts/Monodeco Bold.ttf";
}
