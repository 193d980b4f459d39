// The step's list of what it did for the run's story.
#include "game/run_events.h"

RunEvent RunEvents[kRunEventCount];
int runEventCount = 0;

static int32_t shotsFired = 0; // the player's shots this run

ShotOrigin RunEvents_Fire(int weapon) {
    ShotOrigin origin{(int8_t)weapon, shotsFired++};
    RunEvents_Note(RunEventKind::Shot, origin, -1);
    return origin;
}

void RunEvents_Note(RunEventKind kind, ShotOrigin origin, int what) {
    if (runEventCount < kRunEventCount)
        RunEvents[runEventCount++] = RunEvent{kind, origin, (int8_t)what};
}

void RunEvents_Clear() {
    runEventCount = 0;
}

void RunEvents_Reset() {
    runEventCount = 0;
    shotsFired = 0;
}
