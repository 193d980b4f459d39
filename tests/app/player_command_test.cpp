// The player's command as built from the devices: keys by their place on any layout, the sticks
// through their dead zone, keys and sticks at once, the mouse's offset, the trigger, the weapon
// keys' order, and the pause and the way back.
#include <cmath>

#include "app/player_command.h"
#include "quillon/quillon.h"
#include "tests/support/headless_fixture.h"
#include "ui/pause.h"

namespace {

RunCommand built;
void Build() {
    built = PlayerCommand_Build(true);
}

class PlayerCommandTest : public HeadlessTest {
  protected:
    void SetUp() override {
        StartHeadless(640, 480, 0.01f);
        QLH_MouseMove(320, 240);
        RunEachFrame(Build);
    }
};

// On AZERTY the key in W's place types Z: walking, like the guns, follows the place.
TEST_F(PlayerCommandTest, KeysCountByTheirPlaceOnAnyLayout) {
    struct Case {
        int place, letter;
        float forward, strafe;
        WeaponAsk weapon; // asked as the key comes up
        const char* what;
    } cases[] = {
        {'W', 'Z', 1.0f, 0.0f, WeaponAsk::None, "the key in W's place typing Z"},
        {'Z', 'W', 0.0f, 0.0f, WeaponAsk::None, "the letter W in Z's place"},
        {'S', 'S', -1.0f, 0.0f, WeaponAsk::None, "S"},
        {'A', 'Q', 0.0f, -1.0f, WeaponAsk::None, "the key in A's place typing Q"},
        {'D', 'D', 0.0f, 1.0f, WeaponAsk::None, "D"},
        {'1', '&', 0.0f, 0.0f, WeaponAsk::Auto, "the key in 1's place typing &"},
        {'2', 0xE9, 0.0f, 0.0f, WeaponAsk::Spread, "the key in 2's place typing e acute"},
        {'3', '"', 0.0f, 0.0f, WeaponAsk::Bomb, "the key in 3's place typing a quote"},
        {'W', '1', 1.0f, 0.0f, WeaponAsk::None, "the letter 1 in W's place"},
    };
    for (const Case& c : cases) {
        QLH_KeyDownAs(c.place, c.letter);
        QLH_Step(1);
        EXPECT_EQ(built.forward, c.forward) << c.what;
        EXPECT_EQ(built.strafe, c.strafe) << c.what;
        EXPECT_EQ(built.weapon, WeaponAsk::None) << c.what << ": chosen on the way up";
        QLH_KeyUpAs(c.place, c.letter);
        QLH_Step(1);
        EXPECT_EQ(built.weapon, c.weapon) << c.what;
        EXPECT_EQ(built.forward, 0.0f) << c.what << " let go";
    }
    QLH_KeyTap('2');
    QLH_KeyTap('1');
    QLH_Step(1);
    EXPECT_EQ(built.weapon, WeaponAsk::Auto) << "two keys up at once: the first gun";
}

// A stick gives its push past the dead zone, a key the whole way; a key and the stick the other
// way at once meet in between.
TEST_F(PlayerCommandTest, SticksGiveTheirDeadZonedPushAndMeetKeys) {
    ASSERT_TRUE(QLH_PadConnect());
    struct Case {
        int axis;
        float pushed;
        int key; // held as well, or 0
        float forward, strafe, turn;
    } cases[] = {
        {QL_PAD_LEFTY, -1.0f, 0, 1.0f, 0.0f, 0.0f},
        {QL_PAD_LEFTY, 0.15f, 0, 0.0f, 0.0f, 0.0f}, // inside the dead zone
        {QL_PAD_LEFTY, 0.6f, 0, -0.5f, 0.0f, 0.0f}, // (0.6 - 0.2) / 0.8
        {QL_PAD_LEFTY, 0.6f, 'W', 0.5f, 0.0f, 0.0f},
        {QL_PAD_LEFTX, -0.6f, 'D', 0.0f, 0.5f, 0.0f},
        {QL_PAD_LEFTX, 1.0f, 'A', 0.0f, 0.0f, 0.0f},
        {QL_PAD_RIGHTX, 0.6f, 0, 0.0f, 0.0f, 0.5f},
    };
    for (const Case& c : cases) {
        QLH_PadAxis(c.axis, c.pushed);
        if (c.key) QLH_KeyDown(c.key);
        QLH_Step(1);
        EXPECT_NEAR(built.forward, c.forward, 0.01f) << "axis " << c.axis << " at " << c.pushed;
        EXPECT_NEAR(built.strafe, c.strafe, 0.01f) << "axis " << c.axis << " at " << c.pushed;
        EXPECT_NEAR(built.stickTurn, c.turn, 0.01f) << "axis " << c.axis << " at " << c.pushed;
        QLH_PadAxis(c.axis, 0.0f);
        if (c.key) QLH_KeyUp(c.key);
    }
}

TEST_F(PlayerCommandTest, TheMouseTurnsFromTheCentreAndIsPutBack) {
    QLH_MouseMove(420, 240);
    QLH_Step(1);
    EXPECT_FLOAT_EQ(built.mouseTurn, 100.0f);
    PlayerCommand_AfterStep();
    EXPECT_FLOAT_EQ(QL_Input_GetMouseX(), 320.0f) << "the pointer is put back in the centre";
    QLH_Step(1);
    EXPECT_FLOAT_EQ(built.mouseTurn, 0.0f);
    EXPECT_FLOAT_EQ(built.dt, 0.01f);
}

TEST_F(PlayerCommandTest, TriggersPauseAndTheWayBack) {
    ASSERT_TRUE(QLH_PadConnect());
    struct Case {
        void (*press)(bool down);
        bool fire, pause, back;
        const char* what;
    } cases[] = {
        {[](bool d) { QLH_MouseButton(d); }, true, false, false, "the left button"},
        {[](bool d) { QLH_PadAxis(QL_PAD_RIGHTTRIGGER, d ? 0.6f : 0.0f); }, true, false, false,
         "the right trigger past half way"},
        {[](bool d) { QLH_PadAxis(QL_PAD_RIGHTTRIGGER, d ? 0.4f : 0.0f); }, false, false, false,
         "the right trigger short of half way"},
        {[](bool d) { d ? QLH_KeyDown(QL_KEY_ESCAPE) : QLH_KeyUp(QL_KEY_ESCAPE); }, false, true,
         false, "Escape"},
        {[](bool d) { QLH_PadButton(QL_PAD_START, d); }, false, true, false, "Start"},
        {[](bool d) { QLH_PadButton(QL_PAD_B, d); }, false, false, true, "B"},
        // The pause overlay asks whether to quit: Escape answers no there, and does not resume.
        {[](bool d) {
             pauseQuitConfirm = d;
             d ? QLH_KeyDown(QL_KEY_ESCAPE) : QLH_KeyUp(QL_KEY_ESCAPE);
         },
         false, false, false, "Escape under the quit question"},
    };
    for (const Case& c : cases) {
        c.press(true);
        QLH_Step(1);
        EXPECT_EQ(built.fire, c.fire) << c.what;
        EXPECT_EQ(built.pause, c.pause) << c.what;
        EXPECT_EQ(built.back, c.back) << c.what;
        c.press(false);
        QLH_Step(1);
    }
}

} // namespace
