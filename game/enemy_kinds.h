// The eight enemy kinds by number, and what sets each apart apart from its numbers: which guns it
// carries, whether it bursts when killed, and how its steps sound. (Its health, speed and gun
// values grow with the run's time; Enemy_KindValues works those out.)
#pragma once

#include "game/sprite_frames.h"

enum class SingleGun { None, Steady, Rapid }; // kind 1's steady shot; kinds 3 and 7 fire fast
enum class MultiGun { None, Fan, Ring };      // kind 2's narrow fan; kinds 5 and 7 a full ring
enum class Footfall { Light, Medium, Tank, Heavy };

struct EnemyKind {
    const char* role;
    SingleGun single;
    MultiGun multi;
    bool bombs;
    bool burstsWhenKilled;
    Footfall footfall;
    float stepLoudness, stepPitch;
    bool stepShakes; // its steps shake the camera
};

constexpr EnemyKind kEnemyKindTraits[kEnemyKinds] = {
    {"unarmed chaser", SingleGun::None, MultiGun::None, false, false, Footfall::Light, 1.6f, 1.25f,
     false},
    {"single-shot gunner", SingleGun::Steady, MultiGun::None, false, false, Footfall::Light, 2.0f,
     1.0f, false},
    {"fan gunner", SingleGun::None, MultiGun::Fan, false, false, Footfall::Light, 2.5f, 0.8f,
     false},
    {"rapid gunner", SingleGun::Rapid, MultiGun::None, false, false, Footfall::Medium, 8.0f, 0.5f,
     false},
    {"unarmed walker that bursts", SingleGun::None, MultiGun::None, false, true, Footfall::Medium,
     8.0f, 0.5f, false},
    {"slow ring gunner", SingleGun::None, MultiGun::Ring, false, false, Footfall::Medium, 16.0f,
     0.25f, true},
    {"rolling bomber that bursts", SingleGun::None, MultiGun::None, true, true, Footfall::Tank,
     1.0f, 1.0f, false},
    {"heavy with all three guns, bursts", SingleGun::Rapid, MultiGun::Ring, true, true,
     Footfall::Heavy, 20.0f, 1.0f, true},
};

// The kind's entry; an out-of-range number reads as the heavy, as the last kind always has.
inline const EnemyKind& Enemy_Kind(int kind) {
    return kEnemyKindTraits[kind >= 0 && kind < kEnemyKinds ? kind : kEnemyKinds - 1];
}
