// The debug overlay's lines and its counter reset.
#include <gtest/gtest.h>

#include "world/debug_overlay.h"
#include "world/renderer.h"
#include "world/sprite_pool.h"

namespace {

TEST(DebugOverlay, LinesAtTheStartOfAGame) {
    const DebugPlace place{16.0f, 15.5f, 0.0f};
    SpritePool_Reset();
    spritesRendered = 0;
    facesRendered = 812;
    renderDistance = 64;
    char line[100];
    Debug_FormatLine(2, true, place, line);
    EXPECT_STREQ(line, "X: 16.000    Y: 15.500    R: 0.00");
    Debug_FormatLine(3, true, place, line);
    EXPECT_STREQ(line, "Faces rendered: 812");
    Debug_FormatLine(4, true, place, line);
    EXPECT_STREQ(line, "Sprites rendered / in use (MAX): 0 / 0 (1024)");
    Debug_FormatLine(5, false, place, line);
    EXPECT_STREQ(line, "Render Distance (MAX): 64 (64)");
}

TEST(DebugOverlay, DrawingZeroesTheCounters) {
    facesRendered = 100;
    spritesRendered = 7;
    Debug_DrawOverlay(DebugPlace{1.0f, 2.0f, 3.0f});
    EXPECT_EQ(facesRendered, 0);
    EXPECT_EQ(spritesRendered, 0);
}

} // namespace
