// A run's story: what happened in it, gathered after every step of play from what the step noted
// and from the run as it then stands. The game gathers it as a run is played (live or watched);
// the board gathers it as it verifies a recording; both from the same step, with this code.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/constants.h"
#include "game/enemy_kinds.h"
#include "game/run_events.h"

const int kStoryWeapons = 3;
const int kStoryPickups = 4; // coin, AUTO, SPREAD, BOMB
// What dealt the player a hit: an enemy's touch (by kind), an enemy's shot (by kind: its guns,
// its bombs and its burst as it dies), or one of the player's own weapons (a bomb's fragments).
const int kHurtByTouch = 0, kHurtByShot = kEnemyKinds, kHurtByOwn = 2 * kEnemyKinds;
const int kHurtSources = 2 * kEnemyKinds + kStoryWeapons;

// A weapon's figures. A shot is one pull of the trigger: one AUTO bullet, one SPREAD volley, one
// bomb with all its fragments. A shot hits when it, or any pellet or fragment of it, hurts at
// least one enemy, so that accuracy (hits over shots) is at most 100 %. damage counts every point
// of health its projectiles took; kills the enemies they finished.
struct WeaponFigures {
    int32_t shots = 0, hits = 0, damage = 0, kills = 0;
};

// Every hit on the player costs a life: when (seconds of play), where, at which stage, and by what.
struct LifeLost {
    float seconds, x, y;
    int32_t stage, source; // source: kHurtBy... + kind or weapon
};

struct RunStory {
    float seconds = 0.0f; // of play
    int32_t score = 0, stage = 0;
    int32_t kills[kEnemyKinds] = {}; // by the player's weapons
    int32_t crossfire = 0;           // enemies killed by other enemies' shots and bursts
    WeaponFigures weapons[kStoryWeapons];
    int32_t hurt[kHurtSources] = {};
    std::vector<LifeLost> livesLost;
    int32_t pickups[kStoryPickups] = {};
    float stageAt[kStageCount] = {};    // seconds of play when each stage began; -1 not reached
    std::vector<int32_t> scoreBySecond; // the score at 0, 1, 2 ... seconds of play
    std::vector<uint8_t> shotHit;       // whether the player's shot n has hit yet
};

// The run's story, gathered by the run's frame.
extern RunStory runStory;

// A run's start: nothing has happened yet.
void RunStory_Reset(RunStory* story);
// After each step of play: the step's events, the stage and the score.
void RunStory_Frame(RunStory* story);
// Totals over the weapons and the kinds.
int32_t RunStory_Kills(const RunStory& story);
WeaponFigures RunStory_AllWeapons(const RunStory& story);
// Hits over shots, 0 to 1; 0 without a shot.
double RunStory_Accuracy(const WeaponFigures& w);
// The story as a JSON object (one line).
std::string RunStory_Json(const RunStory& story);
// The words for a source of hits ("touch", "shot" or "own") and its kind or weapon number.
const char* RunStory_HurtBy(int source);
int RunStory_HurtWhich(int source);
// The names the story gives weapons and pickups.
extern const char* const kStoryWeaponNames[kStoryWeapons];
extern const char* const kStoryPickupNames[kStoryPickups];
