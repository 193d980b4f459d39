// A test fixture that runs the engine headless for the length of one test.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/bindings.h"
#include "core/settings.h"
#include "game/sim_state.h"
#include "game/step_effects.h"
#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "runs/run_recorder.h"
#include "ui/game_over.h"
#include "world/camera.h"
#include "world/renderer.h"

// The game's state as at program start, whatever earlier tests in this process left behind, so
// that tests pass in any order.
inline void ResetProgramState() {
    Settings_Reset();
    Bindings_Reset();
    SimState_ResetProgram();
    Recorder_Off(); // a test that records says where
    Render_Reset();
    StepEffects_Clear();
    nameLetters[0] = nameLetters[1] = nameLetters[2] = 'A';
}

// Starts the engine headless with the game's state as at program start.
inline void StartHeadless(int width, int height, float dt) {
    QLH_Start(width, height, dt);
    ResetProgramState();
}

// Runs update every frame (no init, no exit) from the next step on, then carries out what it
// asked of the speakers and the screen, as the run's frame does after its step.
inline QL_Callback& EachFrame() {
    static QL_Callback update = nullptr;
    return update;
}
inline void RunEachFrameAndItsEffects() {
    if (EachFrame()) EachFrame()();
    StepEffects_CarryOut();
}
inline void RunEachFrame(QL_Callback update) {
    EachFrame() = update;
    QL_Engine_SetNextGameState(nullptr, update ? RunEachFrameAndItsEffects : nullptr, nullptr);
}

// Whether the next frame draws this line of text (the text log on for that frame alone).
inline bool NextFrameDraws(const std::string& text) {
    QLH_SetTextLog(true);
    QLH_Step(1);
    bool drawn = false;
    for (const std::string& line : QLH_TextLog())
        drawn |= line == text;
    QLH_SetTextLog(false);
    return drawn;
}

class HeadlessTest : public ::testing::Test {
  protected:
    void SetUp() override { StartHeadless(320, 240, 1.0f / 100.0f); }
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

    // With a pad alone: steers the pointer with the left stick onto (x, y), as a player would,
    // then presses and releases A. False when the pointer never got there.
    static bool PadClickAt(float x, float y) {
        bool there = false;
        for (int frame = 0; frame < 1000 && !there; frame++) {
            float dx = x - QL_Input_GetMouseX(), dy = y - QL_Input_GetMouseY();
            float d = std::sqrt(dx * dx + dy * dy);
            there = d < 2.0f;
            float push = there ? 0.0f : (0.22f + 0.78f * std::fmin(1.0f, d / 60.0f)) / d;
            QLH_PadAxis(QL_PAD_LEFTX, dx * push);
            QLH_PadAxis(QL_PAD_LEFTY, dy * push);
            QLH_Step(1);
        }
        QLH_PadButton(QL_PAD_A, true);
        QLH_Step(1);
        QLH_PadButton(QL_PAD_A, false);
        QLH_Step(1);
        return there;
    }

    // How many sounds whose path holds file were played, and the last of them (null if none).
    static int Plays(const std::string& file) {
        int n = 0;
        for (const QLH_PlayEntry& e : QLH_PlayLog())
            n += e.path.find(file) != std::string::npos;
        return n;
    }
    static const QLH_PlayEntry* LastPlay(const std::string& file) {
        const QLH_PlayEntry* found = nullptr;
        for (const QLH_PlayEntry& e : QLH_PlayLog())
            if (e.path.find(file) != std::string::npos) found = &e;
        return found;
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
