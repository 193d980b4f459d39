// The settings record and its defaults.
#include "core/settings.h"

Settings settings;

void Settings_Reset() {
    settings = Settings{0.4f, 1.0f, 0.5f, 90.0f, 2, 0};
}
