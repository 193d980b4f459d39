// The settings record and its defaults.
#include "core/settings.h"

Settings settings;

void Settings_Reset() {
    settings = Settings{.mouseSensitivity = 0.4f,
                        .sfxVolume = 1.0f,
                        .musicVolume = 0.5f,
                        .fieldOfView = 90.0f,
                        .resolutionMode = 2,
                        .debugOverlay = 0};
}
