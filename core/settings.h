// The player's settings, changed on the settings screen and kept in the settings file.
#pragma once

#include <cstdint>
#include <string>

// How the full-picture flashes of shots and hits are drawn.
enum { kFlashesFull = 0, kFlashesSoft = 1, kFlashesOff = 2, kFlashesChoiceCount = 3 };
// SOFT holds either flash to about a quarter of its full strength.
const float kSoftFlashMost = 0.25f;
const int kShakeStep = 25; // the screen shake's percent steps, 0 to 100

// The display the window was last on: its name and bounds, as the system gave them. An empty
// name: none chosen (the primary display).
struct DisplayChoice {
    std::string name;
    int32_t x = 0, y = 0, w = 0, h = 0;
};

struct Settings {
    float mouseSensitivity; // turning factor of the mouse's offset from the window centre
    float sfxVolume;        // master factor of every sound effect
    float musicVolume;      // the game's tracks play at musicVolume x 2
    float fieldOfView;      // horizontal, in degrees
    int32_t resolutionMode; // 0: 640 x 480 window, 1: 1280 x 720 window, 2: full screen
    int32_t debugOverlay;   // 1 draws the debug overlay in play
    int32_t frameCap;       // an index into kFrameCapChoices
    int32_t flashes;        // kFlashesFull, kFlashesSoft or kFlashesOff
    int32_t screenShake;    // percent of the camera's shake drawn, in steps of kShakeStep
    DisplayChoice display;
};

extern Settings settings;

// What the settings screen lets the player choose, and so all a run can have been played with.
const float kFieldOfViewLowest = 70.0f, kFieldOfViewHighest = 120.0f;
const float kSensitivityLowest = 0.1f, kSensitivityHighest = 1.0f;

// The frame caps the settings screen offers, in its order: 0 stands for the display's own rate.
// The first is the default, at which the game runs as fast as it can.
const int kFrameCapChoices[] = {1000, 0, 240, 144, 120, 60, 30};
const int kFrameCapChoiceCount = sizeof kFrameCapChoices / sizeof kFrameCapChoices[0];
const double kFrameCapDefault = 1000.0;
// The frames a second a choice holds the game to, given the display's rate (0 when not known:
// then 60).
double Settings_FrameCap(int choice, int displayRate);
// The lowest cap that plays at true speed: a frame's step is bounded at 0.05 s, so fewer frames
// a second would play the game in slow motion.
const int kFrameCapLowest = 20, kFrameCapHighest = 1000;
// A cap given from outside the settings screen (ZORB_FRAME_CAP): it holds while the choice it
// came with does, until the player picks another.
struct FrameCapOverride {
    int cap = 0; // 0: none
    int choice = -1;
};
extern FrameCapOverride frameCapOverride;
// The cap in force: the override's while it holds, else the choice's.
double Settings_CapInForce(int displayRate);
// A cap written as a whole number from kFrameCapLowest to kFrameCapHighest, digits alone; else 0.
int Settings_ParseFrameCap(const char* text);

void Settings_Reset();

// A display as the settings keep it, from the engine's list; and the engine's description of the
// display kept.
DisplayChoice Settings_DescribeDisplay(int index);
struct QL_Display;
void Settings_WantedDisplay(QL_Display* out);
