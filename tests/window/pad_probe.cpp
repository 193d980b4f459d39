// Play's pointer handling in a real window, with a virtual pad whose left stick is pushed full
// right and its A button held: each frame builds the player's command and puts the pointer back as
// play does, and the probe adds up the turn, the strafe and the firing the commands carried. The
// stick walks; it must not turn, and A must not click the mouse's button and so fire.
// Prints "turn T strafe S fired F frames N" and exits 0, or exits 2 without focus or a pad.
#include <cmath>
#include <cstdio>

#include "app/player_command.h"
#include "quillon/headless.h"
#include "quillon/quillon.h"

namespace {

const int kSettleFrames = 30;   // the window shown, the pointer centred, the pad opened
const int kMeasureFrames = 120; // the stick held
const int kGiveUpFrames = 3000; // no focus or no pad by then: the check cannot be made

int frames = 0, measured = 0;
double turn = 0.0, strafe = 0.0;
int fired = 0;

void Finish(int status) {
    if (status == 0)
        std::printf("turn %.2f strafe %.2f fired %d frames %d\n", turn, strafe, fired, measured);
    else
        std::printf("no focus (%d) or no pad (%d)\n", QL_System_HasFocus(), QL_Pad_Count());
    std::fflush(stdout);
    QL_Engine_Terminate();
    if (status != 0) std::_Exit(status);
}

void Update() {
    QL_Settings_Background(QL_Color_Create(20, 20, 40, 255));
    if (frames++ == 0 && !QLH_PadConnect()) Finish(2);
    bool ready = QL_System_HasFocus() && QL_Pad_Count() > 0;
    if (!ready && frames > kGiveUpFrames) Finish(2);
    if (!ready) return;
    if (frames > kSettleFrames) {
        QLH_PadAxis(QL_PAD_LEFTX, 1.0f);
        QLH_PadButton(QL_PAD_A, true);
    }
    RunCommand c = PlayerCommand_Build(true);
    if (frames > kSettleFrames + 2) {
        turn += std::fabs(c.mouseTurn) + std::fabs(c.stickTurn);
        strafe += c.strafe;
        fired += c.fire ? 1 : 0;
        if (++measured == kMeasureFrames) Finish(0);
    }
    PlayerCommand_AfterStep();
}

} // namespace

int main() {
    QL_System_SetWindowTitle("ZORB pad probe");
    QL_System_SetWindowSize(640, 480);
    QL_System_SetFrameRate(120.0);
    QL_Engine_SetNextGameState(nullptr, Update, nullptr);
    return QL_Engine_Run();
}
