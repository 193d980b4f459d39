// The run's records: the player, the run's clocks and timers, and the flashes gameplay raises.
#pragma once

#include "core/state_hash.h"

struct Sprite;

#include <cstdint>

struct Player {
    float x, y;
    float angle; // degrees, kept in [0, 360)
    // Kept from run to run (they decay to rest within moments of play):
    float turnRate, forwardSpeed, strafeSpeed, pushX, pushY, stepTimer;
    int32_t stepSide;
    // Set at the start of every run:
    int32_t lives, score, bestScore, nextLifeScore, extraLifeLevel;
    int32_t weapon; // 0 AUTO, 1 SPREAD, 2 BOMB
    float weaponCooldown;
    int32_t autoLevel;
    float autoInterval;
    int32_t spreadLevel, spreadPellets, bombLevel, bombPower;
    float reloadBlipTimer, contactCooldown;
};

struct RunState {
    int32_t paused;
    float elapsed; // seconds of unpaused play
    int32_t stage; // 0 to 7
    float stageTimer, stageLength;
    float enemySpawnTimer, enemySpawnScale;
    float pickupTimer, pickupInterval;
};

extern Player player;
extern RunState runState;

// The start values of a run; the kept fields of the player are left alone. bestScore is the
// leaderboard's best when the run begins.
void Player_ResetForRun(float startX, float startY, float startAngle, int32_t bestScore);
// A hit on the player, from a shot or an enemy's touch: the hurt sound, a jolt of the camera, the
// red flash, and one life less.
void Player_Hurt();
// The player's and the run's records, and both flashes, as at program start (all zero): what a
// run carries over from the last (turning, speeds, knock-back) starts from nothing again.
void Player_ResetProgram();
void RunState_Reset();
// What a run takes over from the last: the player's turning, speeds, knock-back and stride. A
// recording keeps them, so that its run starts where the recorded one did.
struct PlayerCarry {
    float turnRate, forwardSpeed, strafeSpeed, pushX, pushY, stepTimer;
    int32_t stepSide;
};
// The carried numbers, listed once, in the order a recording keeps them: where each sits in the
// carry and in the player's record, and the most that play can leave in it, either way, with
// room to spare. Turning settles where the decay takes back what the farthest pointer (1e5
// pixels) adds at the highest sensitivity; speeds are held to the top speed of 3; knock-back is
// 20 a hit and decays; the stride's timer runs from its 0.6 down by at most a frame's step.
// stepSide, 0 or 1, is carried beside them.
struct CarriedFloat {
    float PlayerCarry::*carry;
    float Player::*player;
    float most;
    const char* name; // as a message names it
};
constexpr CarriedFloat kCarriedFloats[] = {
    {&PlayerCarry::turnRate, &Player::turnRate, 1e4f, "turning rate"},
    {&PlayerCarry::forwardSpeed, &Player::forwardSpeed, 3.01f, "forward speed"},
    {&PlayerCarry::strafeSpeed, &Player::strafeSpeed, 3.01f, "strafing speed"},
    {&PlayerCarry::pushX, &Player::pushX, 1e3f, "push across"},
    {&PlayerCarry::pushY, &Player::pushY, 1e3f, "push along"},
    {&PlayerCarry::stepTimer, &Player::stepTimer, 1.0f, "stride timer"},
};
PlayerCarry Player_GetCarry();
void Player_SetCarry(const PlayerCarry& carry);
// Mixes the player's and the run's records into a state hash (the flashes are the HUD's).
void Player_Hash(StateHash* hash);
// Whether a sprite touches the player: a pickup, an enemy's shot or an enemy itself within its
// own radius and a twentieth of a cell more of the player's place.
bool Player_Touches(const Sprite& s);
// How much harder the enemies' guns and bursts hit after elapsed seconds of a run: 1 at the
// start, 2 after four minutes.
float RunState_Growth(float elapsed);
