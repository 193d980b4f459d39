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
    {.role = "unarmed chaser",
     .single = SingleGun::None,
     .multi = MultiGun::None,
     .bombs = false,
     .burstsWhenKilled = false,
     .footfall = Footfall::Light,
     .stepLoudness = 1.6f,
     .stepPitch = 1.25f,
     .stepShakes = false},
    {.role = "single-shot gunner",
     .single = SingleGun::Steady,
     .multi = MultiGun::None,
     .bombs = false,
     .burstsWhenKilled = false,
     .footfall = Footfall::Light,
     .stepLoudness = 2.0f,
     .stepPitch = 1.0f,
     .stepShakes = false},
    {.role = "fan gunner",
     .single = SingleGun::None,
     .multi = MultiGun::Fan,
     .bombs = false,
     .burstsWhenKilled = false,
     .footfall = Footfall::Light,
     .stepLoudness = 2.5f,
     .stepPitch = 0.8f,
     .stepShakes = false},
    {.role = "rapid gunner",
     .single = SingleGun::Rapid,
     .multi = MultiGun::None,
     .bombs = false,
     .burstsWhenKilled = false,
     .footfall = Footfall::Medium,
     .stepLoudness = 8.0f,
     .stepPitch = 0.5f,
     .stepShakes = false},
    {.role = "unarmed walker that bursts",
     .single = SingleGun::None,
     .multi = MultiGun::None,
     .bombs = false,
     .burstsWhenKilled = true,
     .footfall = Footfall::Medium,
     .stepLoudness = 8.0f,
     .stepPitch = 0.5f,
     .stepShakes = false},
    {.role = "slow ring gunner",
     .single = SingleGun::None,
     .multi = MultiGun::Ring,
     .bombs = false,
     .burstsWhenKilled = false,
     .footfall = Footfall::Medium,
     .stepLoudness = 16.0f,
     .stepPitch = 0.25f,
     .stepShakes = true},
    {.role = "rolling bomber that bursts",
     .single = SingleGun::None,
     .multi = MultiGun::None,
     .bombs = true,
     .burstsWhenKilled = true,
     .footfall = Footfall::Tank,
     .stepLoudness = 1.0f,
     .stepPitch = 1.0f,
     .stepShakes = false},
    {.role = "heavy with all three guns, bursts",
     .single = SingleGun::Rapid,
     .multi = MultiGun::Ring,
     .bombs = true,
     .burstsWhenKilled = true,
     .footfall = Footfall::Heavy,
     .stepLoudness = 20.0f,
     .stepPitch = 1.0f,
     .stepShakes = true},
};

// The kind's entry; an out-of-range number reads as the heavy, as the last kind always has.
inline const EnemyKind& Enemy_Kind(int kind) {
    return kEnemyKindTraits[kind >= 0 && kind < kEnemyKinds ? kind : kEnemyKinds - 1];
}
