// Player movement and turning by the frame's command, frame by frame through the headless engine.
#include <cmath>

#include "core/settings.h"
#include "game/player.h"
#include "game/player_motion.h"
#include "tests/support/headless_fixture.h"
#include "world/arena.h"

namespace {

// What the player asks: held from frame to frame, but for the mouse's turn, which lasts its frame
// (the pointer is put back at the centre after it).
RunCommand held;
void Update() {
    RunCommand command = held;
    command.dt = QL_System_GetDt();
    PlayerMotion_Update(command);
    held.mouseTurn = 0.0f;
}

class PlayerMotionTest : public HeadlessTest {
  protected:
    void SetUp() override {
        StartHeadless(640, 480, 0.01f);
        Settings_Reset();
        float x, y, a;
        Arena_Build(&x, &y, &a);
        Player_ResetForRun(x, y, a, 0);
        held = RunCommand();
        RunEachFrame(Update);
    }
    int Footsteps() {
        int n = 0;
        for (const QLH_PlayEntry& e : QLH_PlayLog())
            n += e.volume == 0.5f;
        return n;
    }
};

TEST_F(PlayerMotionTest, ReachesTopSpeedInThreeTenthsAndDecays) {
    held.forward = 1.0f;
    QLH_Step(29);
    EXPECT_LT(player.forwardSpeed, 3.0f);
    QLH_Step(1);
    EXPECT_FLOAT_EQ(player.forwardSpeed, 3.0f);
    QLH_Step(50);
    EXPECT_FLOAT_EQ(player.forwardSpeed, 3.0f) << "held at the top speed";
    held.forward = 0.0f;
    QLH_Step(10);
    EXPECT_NEAR(player.forwardSpeed, 3.0f * std::pow(0.9f, 10.0f), 1e-3f) << "about 1/e in 0.1 s";
}

TEST_F(PlayerMotionTest, DiagonalIsNoFasterThanStraight) {
    held.forward = 1.0f;
    held.strafe = 1.0f;
    QLH_Step(60);
    float s = std::hypot(player.forwardSpeed, player.strafeSpeed);
    EXPECT_NEAR(s, 3.0f, 1e-4f);
    EXPECT_NEAR(player.forwardSpeed, player.strafeSpeed, 1e-4f);
}

TEST_F(PlayerMotionTest, StopsShortOfWallsAndSlidesAlongThem) {
    // Facing east from (16.0, 15.5): floor up to cell (20, 15), liquid in (21, 15).
    held.forward = 1.0f;
    QLH_Step(400);
    float frac = player.x - std::floor(player.x);
    EXPECT_NEAR(frac, 0.95f, 1e-4f) << "0.05 short of the wall at x = " << std::ceil(player.x);
    MapCell* ahead = Arena_CellAt((int)player.x + 1, (int)player.y);
    ASSERT_NE(ahead, nullptr);
    EXPECT_TRUE(ahead->top > -2.1f && ahead->bottom < -2.1f) << "stopped by a solid cell";
    // Press diagonally into it: the x stays, the y moves.
    float x = player.x, y = player.y;
    held.strafe = 1.0f;
    QLH_Step(20);
    EXPECT_NEAR(player.x, x, 1e-4f);
    EXPECT_NE(player.y, y);
}

TEST_F(PlayerMotionTest, AxisMovesStopAtTheEdgeAndOnLiquid) {
    for (MapCell& c : Arena) {
        c.top = -1.0f;
        c.bottom = -2.0f;
    }
    Arena_CellAt(5, 5)->top = -1.5f; // liquid
    Arena_CellAt(5, 5)->bottom = -3.0f;
    struct Case {
        float p, d, o;
        bool alongX;
        float expected;
    } cases[] = {{4.5f, 0.5f, 5.5f, true, 4.95f},   // into the liquid cell
                 {6.5f, -0.5f, 5.5f, true, 6.05f},  // into it from the other side
                 {4.5f, 0.3f, 6.5f, true, 4.8f},    // next row: free
                 {31.9f, 0.2f, 3.0f, true, 31.95f}, // the arena's edge
                 {0.1f, -0.2f, 3.0f, false, 0.05f}, // and the other edge
                 {3.2f, 0.1f, 32.0f, true, 3.95f}}; // o of exactly 32 is beyond the grid
    for (const Case& c : cases) {
        float p = c.p;
        PlayerMotion_AxisMove(&p, c.d, c.o, c.alongX);
        EXPECT_NEAR(p, c.expected, 1e-5f) << c.p << " by " << c.d;
    }
}

TEST_F(PlayerMotionTest, MouseRightTurnsClockwiseAndTheAngleWrapsBothWays) {
    held.mouseTurn = 100.0f;
    QLH_Step(1);
    EXPECT_LT(player.turnRate, 0.0f);
    EXPECT_GT(player.angle, 300.0f) << "wrapped below 0 to just under 360";
    QLH_Step(100);
    float settled = player.angle;
    held.mouseTurn = -200.0f;
    QLH_Step(1);
    held.mouseTurn = -200.0f;
    QLH_Step(1);
    EXPECT_GT(player.turnRate, 0.0f);
    EXPECT_LT(player.angle, 360.0f);
    EXPECT_GE(player.angle, 0.0f);
    EXPECT_NE(player.angle, settled);
    QLH_Step(100);
    EXPECT_GE(player.angle, 0.0f);
    EXPECT_LT(player.angle, 360.0f) << "wrapped from 359.x to 0";
}

// A NaN or an absurd mouse position must not spoil the view for good, and turning must still
// work at the slowest frame the engine reports.
TEST_F(PlayerMotionTest, WildMouseInputAndSlowFramesStillTurnSoundly) {
    struct Case {
        float x;
        const char* what;
    } cases[] = {{NAN, "NaN"}, {INFINITY, "infinity"}, {1e30f, "1e30"}, {-1e30f, "-1e30"}};
    for (const Case& c : cases) {
        held.mouseTurn = c.x - 320.0f;
        QLH_Step(1);
        EXPECT_TRUE(std::isfinite(player.angle)) << c.what;
        EXPECT_GE(player.angle, 0.0f) << c.what;
        EXPECT_LT(player.angle, 360.0f) << c.what;
    }
    struct Wrap {
        float in, out;
    } wraps[] = {{-30.0f, 330.0f},
                 {725.0f, 5.0f},
                 {3.6e28f, std::fmod(3.6e28f, 360.0f)},
                 {-1e-8f, 0.0f},
                 {NAN, 0.0f}};
    for (const Wrap& w : wraps)
        EXPECT_FLOAT_EQ(PlayerMotion_WrapAngle(w.in), w.out) << w.in;
    QLH_SetDt(0.5f); // a machine drawing 2 frames a second: capped, still turning
    player.turnRate = 0.0f;
    float before = player.angle;
    held.mouseTurn = 100.0f;
    QLH_Step(1);
    EXPECT_NE(player.angle, before);
    EXPECT_NE(player.turnRate, 0.0f) << "the decay must not wipe the turn out";
}

TEST_F(PlayerMotionTest, FootstepsEverySixTenthsOfACellWalked) {
    QLH_Step(1); // a fresh timer of 0 sounds one step at once
    QLH_ClearLogs();
    QLH_Step(100);
    EXPECT_EQ(QLH_PlayLog().size(), 0u) << "a player standing still makes no sound";
    player.angle = 90.0f; // north: open floor from (16, 15.5) to row 1
    held.forward = 1.0f;
    QLH_Step(30); // up to speed
    QLH_ClearLogs();
    QLH_Step(100); // one second at 3 cells/s: five steps
    EXPECT_EQ(QLH_PlayLog().size(), 10u) << "a pair per step";
    EXPECT_EQ(Footsteps(), 5);
}

TEST_F(PlayerMotionTest, KnockBackCarriesAboutTwoCells) {
    player.x = 3.5f;
    player.y = 23.5f; // open floor from (1, 23) to (12, 23)
    player.pushX = 20.0f;
    QLH_SetDt(0.001f);
    QLH_Step(3000);
    EXPECT_NEAR(player.x - 3.5f, 2.0f, 0.05f);
}

} // namespace
