// The frame loop: state changes take effect after the frame (old exit, then new init), and the
// time step is capped.
#include <string>
#include <vector>

#include "tests/support/headless_fixture.h"

namespace {

std::vector<std::string> calls;
bool switchNow = false;
bool terminateNow = false;

void AInit() {
    calls.push_back("A.init");
}
void AExit() {
    calls.push_back("A.exit");
}
void BInit() {
    calls.push_back("B.init");
}
void BExit() {
    calls.push_back("B.exit");
}
void BUpdate() {
    calls.push_back("B.update");
}
void AUpdate() {
    calls.push_back("A.update");
    if (switchNow) {
        switchNow = false;
        QL_Engine_SetNextGameState(BInit, BUpdate, BExit);
        calls.push_back("A.update.after-request");
    }
    if (terminateNow) QL_Engine_Terminate();
}

class LoopTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        calls.clear();
        switchNow = terminateNow = false;
    }
};

TEST_F(LoopTest, StateChangeRunsAfterTheFrameOldExitThenNewInit) {
    QL_Engine_SetNextGameState(AInit, AUpdate, AExit);
    QLH_Step(2);
    switchNow = true;
    QLH_Step(2);
    std::vector<std::string> expected = {
        "A.init", "A.update", "A.update", "A.update", "A.update.after-request",
        "A.exit", "B.init",   "B.update"};
    EXPECT_EQ(calls, expected);
}

TEST_F(LoopTest, TerminateFinishesTheFrameAndStopsStepping) {
    QL_Engine_SetNextGameState(AInit, AUpdate, AExit);
    terminateNow = true;
    EXPECT_FALSE(QLH_Step(5));
    EXPECT_TRUE(QLH_Terminated());
    EXPECT_EQ(QLH_FrameCount(), 1);
}

// A hidden window (minimised) runs one whole frame, in which the game sees the focus go, then no
// update and no frame at all until it shows again.
TEST_F(LoopTest, AHiddenWindowRunsNoFrameUntilItShowsAgain) {
    QL_Engine_SetNextGameState(AInit, AUpdate, AExit);
    QLH_Step(1);
    QLH_SetHidden(true);
    QLH_Step(1);
    EXPECT_FALSE(QL_System_HasFocus());
    long frames = QLH_FrameCount();
    size_t updates = calls.size();
    QLH_Step(20);
    EXPECT_EQ(QLH_FrameCount(), frames);
    EXPECT_EQ(calls.size(), updates);
    QLH_SetHidden(false);
    QLH_Step(3);
    EXPECT_EQ(QLH_FrameCount(), frames + 3);
    EXPECT_EQ(calls.size(), updates + 3);
}

// Capped at a twentieth of a second: at a tenth the decays of turning reach exactly zero.
TEST_F(LoopTest, TimeStepIsCappedAtATwentiethOfASecond) {
    QL_Engine_SetNextGameState(AInit, AUpdate, AExit);
    struct Case {
        float dt, expected;
    } cases[] = {{0.001f, 0.001f}, {1.0f / 60.0f, 1.0f / 60.0f},
                 {0.05f, 0.05f},   {0.1f, 0.05f},
                 {0.5f, 0.05f},    {30.0f, 0.05f}};
    for (const Case& c : cases) {
        QLH_SetDt(c.dt);
        QLH_Step(1);
        EXPECT_FLOAT_EQ(QL_System_GetDt(), c.expected) << "dt " << c.dt;
    }
}

} // namespace
