// The player's command as built from the devices: keys by their place on any layout, the sticks
// through their dead zone, keys and sticks at once, the mouse's offset, the trigger, the weapon
// keys' order, and the pause and the way back.
#include <cmath>

#include "app/player_command.h"
#include "core/bindings.h"
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

namespace {

Control Bound(Control::Kind kind, int code) {
    return Control{kind, (int16_t)code};
}

// The command follows the bindings: a key moved by place on two layouts, a mouse button, the
// wheel, a pad's button, and the key a swap moved.
TEST_F(PlayerCommandTest, TheCommandFollowsTheBindings) {
    ASSERT_TRUE(QLH_PadConnect());
    struct Case {
        Action action;
        int slot;
        Control control;
        void (*press)(bool down);
        float forward;
        bool fire;
        WeaponAsk weapon; // asked as the control comes up
        const char* what;
    } cases[] = {
        {Action::Forward, 0, Bound(Control::Key, 'E'),
         [](bool d) { d ? QLH_KeyDownAs('E', 'E') : QLH_KeyUpAs('E', 'E'); }, 1.0f, false,
         WeaponAsk::None, "forward moved to E, on QWERTY"},
        {Action::Forward, 0, Bound(Control::Key, 'E'),
         [](bool d) { d ? QLH_KeyDownAs('E', '.') : QLH_KeyUpAs('E', '.'); }, 1.0f, false,
         WeaponAsk::None, "forward moved to E, on Dvorak where it types a dot"},
        {Action::Forward, 0, Bound(Control::Key, 'E'),
         [](bool d) { d ? QLH_KeyDown('W') : QLH_KeyUp('W'); }, 0.0f, false, WeaponAsk::None,
         "W, once forward moved to E"},
        {Action::Forward, 1, Bound(Control::Mouse, QL_MOUSE_RIGHT),
         [](bool d) { QLH_MouseButtonOf(QL_MOUSE_RIGHT, d); }, 1.0f, false, WeaponAsk::None,
         "the right button bound to forward"},
        {Action::Fire, kPadSlot, Bound(Control::PadButton, QL_PAD_A),
         [](bool d) { QLH_PadButton(QL_PAD_A, d); }, 0.0f, true, WeaponAsk::None,
         "A bound to fire"},
        {Action::Fire, kPadSlot, Bound(Control::PadButton, QL_PAD_A),
         [](bool d) { QLH_PadAxis(QL_PAD_RIGHTTRIGGER, d ? 1.0f : 0.0f); }, 0.0f, false,
         WeaponAsk::None, "the right trigger, once A took fire"},
        {Action::Forward, 0, Bound(Control::Key, 'S'),
         [](bool d) { d ? QLH_KeyDown('W') : QLH_KeyUp('W'); }, -1.0f, false, WeaponAsk::None,
         "W, swapped to back as S took forward"},
        {Action::NextWeapon, 0, Bound(Control::Mouse, QL_MOUSE_WHEEL_DOWN),
         [](bool d) {
             if (d) QLH_Wheel(-1);
         },
         0.0f, false, WeaponAsk::Next, "the wheel turned down for the next weapon"},
        {Action::Spread, 0, Bound(Control::Key, QL_KEY_OTHER + 225),
         [](bool d) { d ? QLH_KeyDown(QL_KEY_OTHER + 225) : QLH_KeyUp(QL_KEY_OTHER + 225); }, 0.0f,
         false, WeaponAsk::Spread, "Left Shift for SPREAD"},
    };
    for (const Case& c : cases) {
        Bindings_Reset();
        ASSERT_TRUE(Bindings_Bind(&bindings, (int)c.action, c.slot, c.control).done) << c.what;
        c.press(true);
        QLH_Step(1);
        EXPECT_EQ(built.forward, c.forward) << c.what;
        EXPECT_EQ(built.fire, c.fire) << c.what;
        WeaponAsk asked = built.weapon;
        c.press(false);
        QLH_Step(1);
        if (asked == WeaponAsk::None) asked = built.weapon;
        EXPECT_EQ(asked, c.weapon) << c.what;
    }
}

} // namespace
