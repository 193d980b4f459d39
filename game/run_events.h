// What a step of play did that a run's story counts: the player's shots fired, the hits and
// kills of every shot on the enemies, the hits the player took and the pickups taken. The step
// only notes them, in order; whoever tells the run's story reads them after the step. They
// decide nothing in the run (none of it is in the state hash).
// A fixed list, cleared as each step begins; a step that notes more than it holds loses the rest.
#pragma once

#include <cstdint>

// Who fired a projectile: one of the player's weapons (0 AUTO, 1 SPREAD, 2 BOMB: a bomb's
// fragments are the bomb's), or an enemy of kind k (kFiredByEnemy + k: its guns, its bombs and
// its burst when it dies).
const int kFiredByEnemy = 3;
const int kFiredByNobody = -1;

// A projectile's origin: who fired it and, for the player's, the number of the shot in the run
// (a SPREAD volley and a bomb with its fragments are one shot each); -1 for an enemy's.
struct ShotOrigin {
    int8_t firedBy = kFiredByNobody;
    int32_t shot = -1;
};

enum class RunEventKind : uint8_t { Shot, Hit, Kill, Hurt, Pickup };

struct RunEvent {
    RunEventKind kind;
    ShotOrigin origin; // Shot, Hit, Kill, and Hurt by a shot; firedBy -1 for a touch
    int8_t what;       // Hit, Kill: the enemy's kind; Hurt by a touch: its kind; Pickup: its kind
};

const int kRunEventCount = 4096;
extern RunEvent RunEvents[kRunEventCount];
extern int runEventCount;

// The player fires weapon: a new shot's origin, noted.
ShotOrigin RunEvents_Fire(int weapon);
void RunEvents_Note(RunEventKind kind, ShotOrigin origin, int what);
// As a step begins.
void RunEvents_Clear();
// As a run begins: no event, and the shots numbered from 0 again.
void RunEvents_Reset();
