// The debug overlay's lines and its counter reset.
#include <gtest/gtest.h>

#include "game/player.h"
#include "world/debug_overlay.h"
#include "world/renderer.h"
#include "world/sprite_pool.h"

namespace {

TEST(DebugOverlay, LinesAtTheStartOfAGame) {
    player.x = 16.0f;
    player.y = 15.5f;
    player.angle = 0.0f;
    SpritePool_Reset();
    spritesRendered = 0;
    facesRendered = 812;
    renderDistance = 64;
    char line[100];
    Debug_FormatLine(2, true, line);
    EXPECT_STREQ(line, "X: 16.000    Y: 15.500    R: 0.00");
    Debug_FormatLine(3, true, line);
    EXPECT_STREQ(line, "Faces rendered: 812");
    Debug_FormatLine(4, true, line);
    EXPECT_STREQ(line, "Sprites rendered / in use (MAX): 0 / 0 (1024)");
    Debug_FormatLine(5, false, line);
    EXPECT_STREQ(line, "Render Distance (MAX): 64 (64)");
}

TEST(DebugOverlay, DrawingZeroesTheCounters) {
    facesRendered = 100;
    spritesRendered = 7;
    Debug_DrawOverlay();
    EXPECT_EQ(facesRendered, 0);
    EXPECT_EQ(spritesRendered, 0);
}

} // namespace
