// The settings record and its defaults.
#include "core/settings.h"

Settings settings;

void Settings_Reset() {
    settings = Settings{.mouseSensitivity = 0.4f,
                        .sfxVolume = 1.0f,
                        .musicVolume = 0.5f,
                        .fieldOfView = 90.0f,
                        .resolutionMode = 2,
                        .debugOverlay = 0,
                        .frameCap = 0};
}

double Settings_FrameCap(int choice, int displayRate) {
    if (choice < 0 || choice >= kFrameCapChoiceCount) return kFrameCapDefault;
    int cap = kFrameCapChoices[choice];
    return cap > 0 ? cap : (displayRate > 0 ? displayRate : 60);
}
