// The settings record and its defaults.
#include "core/settings.h"

#include <cstdio>

#include "quillon/quillon.h"

Settings settings;
FrameCapOverride frameCapOverride;

void Settings_Reset() {
    settings = Settings{.mouseSensitivity = 0.4f,
                        .sfxVolume = 1.0f,
                        .musicVolume = 0.5f,
                        .fieldOfView = 90.0f,
                        .resolutionMode = 2,
                        .debugOverlay = 0,
                        .frameCap = 0,
                        .flashes = kFlashesFull,
                        .screenShake = 100,
                        .display = {}};
}

double Settings_FrameCap(int choice, int displayRate) {
    if (choice < 0 || choice >= kFrameCapChoiceCount) return kFrameCapDefault;
    int cap = kFrameCapChoices[choice];
    return cap > 0 ? cap : (displayRate > 0 ? displayRate : 60);
}

double Settings_CapInForce(int displayRate) {
    if (frameCapOverride.cap > 0 && settings.frameCap == frameCapOverride.choice)
        return frameCapOverride.cap;
    return Settings_FrameCap(settings.frameCap, displayRate);
}

int Settings_ParseFrameCap(const char* text) {
    long cap = 0;
    for (const char* c = text; *c; c++) {
        if (*c < '0' || *c > '9' || cap > kFrameCapHighest) return 0;
        cap = cap * 10 + (*c - '0');
    }
    return cap >= kFrameCapLowest && cap <= kFrameCapHighest ? (int)cap : 0;
}

DisplayChoice Settings_DescribeDisplay(int index) {
    QL_Display d;
    if (!QL_System_GetDisplay(index, &d)) return DisplayChoice{};
    return DisplayChoice{d.name, d.x, d.y, d.w, d.h};
}

void Settings_WantedDisplay(QL_Display* out) {
    const DisplayChoice& c = settings.display;
    *out = QL_Display{{}, c.x, c.y, c.w, c.h};
    std::snprintf(out->name, sizeof out->name, "%s", c.name.c_str());
}
