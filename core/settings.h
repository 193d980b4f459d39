// The player's settings: live only while the program runs, changed on the settings screen.
#pragma once

#include <cstdint>

struct Settings {
    float mouseSensitivity; // turning factor of the mouse's offset from the window centre
    float sfxVolume;        // master factor of every sound effect
    float musicVolume;      // the game's tracks play at musicVolume x 2
    float fieldOfView;      // horizontal, in degrees
    int32_t resolutionMode; // 0: 640 x 480 window, 1: 1280 x 720 window, 2: full screen
    int32_t debugOverlay;   // 1 draws the debug overlay in play
    int32_t frameCap;       // an index into kFrameCapChoices
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

void Settings_Reset();
