// Positional volumes: distance, side, cap and the listener's angle.
#include <gtest/gtest.h>

#include "game/positional_sound.h"

namespace {

TEST(PositionalSound, VolumesByPlace) {
    struct Case {
        const char* what;
        float sx, sy, angle, loudness, left, right;
    } cases[] = {
        // Listener at (10, 10).
        {"straight ahead", 12.0f, 10.0f, 0.0f, 4.0f, 0.5f, 0.5f},
        {"behind", 8.0f, 10.0f, 0.0f, 4.0f, 0.5f, 0.5f},
        {"to the right (south when facing east)", 10.0f, 12.0f, 0.0f, 4.0f, 0.0f, 1.0f},
        {"to the left", 10.0f, 8.0f, 0.0f, 4.0f, 1.0f, 0.0f},
        {"on the listener: a quarter cell squared", 10.0f, 10.0f, 0.0f, 0.25f, 0.5f, 0.5f},
        {"capped at 3", 10.0f, 11.0f, 0.0f, 20.0f, 0.0f, 3.0f},
        {"within 2.58 cells still capped", 10.0f, 12.5f, 0.0f, 20.0f, 0.0f, 3.0f},
        {"beyond, not capped", 10.0f, 13.0f, 0.0f, 20.0f, 0.0f, 20.0f / 9.0f},
    };
    for (const Case& c : cases) {
        StereoVolumes v = Sound_PositionalVolumes(c.sx, c.sy, 10.0f, 10.0f, c.angle, c.loudness);
        EXPECT_NEAR(v.left, c.left, 1e-4f) << c.what;
        EXPECT_NEAR(v.right, c.right, 1e-4f) << c.what;
    }
}

TEST(PositionalSound, AnglesOf270AndMinus90AreOneDirection) {
    StereoVolumes a = Sound_PositionalVolumes(13.0f, 11.0f, 10.0f, 10.0f, 270.0f, 5.0f);
    StereoVolumes b = Sound_PositionalVolumes(13.0f, 11.0f, 10.0f, 10.0f, -90.0f, 5.0f);
    EXPECT_NEAR(a.left, b.left, 1e-5f);
    EXPECT_NEAR(a.right, b.right, 1e-5f);
}

} // namespace
