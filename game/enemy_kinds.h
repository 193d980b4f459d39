// The eight enemy kinds by number, and all that sets each apart: its body (health, score, speed,
// turning, mass, size), which guns it carries, whether it bursts when killed, and how its steps
// sound. Speeds, turning and the guns grow with the run's time; Enemy_KindValues works the
// numbers of a moment out from this table.
#pragma once

// The enemy kinds, numbered 0 to 7. A new kind needs its row below, its place in the spawn table
// by stage (game/enemies.cpp) and its frames (EnemyFrame, game/sprite_frames.h): each of those
// fails to compile until it has them.
const int kEnemyKinds = 8;

enum class SingleGun { None, Steady, Rapid }; // kind 1's steady shot; kinds 3 and 7 fire fast
enum class MultiGun { None, Fan, Ring };      // kind 2's narrow fan; kinds 5 and 7 a full ring
enum class Footfall { Light, Medium, Tank, Heavy };
// What a number grows with over a run of t seconds: nothing, t/240 + 1 (the run's growth),
// t/480 + 1 (half as fast) or t/120 + 1 (twice as fast).
enum class Growth { None, Run, Half, Double };

struct EnemyBody {
    int health, value; // hit points, and score when killed
    float speed;
    Growth speedGrowth;
    float turn; // degrees a second
    Growth turnGrowth;
    bool turnCapped; // never more than 180 degrees a second
    float mass, radius, z;
};

struct EnemyKind {
    const char* role;
    EnemyBody body;
    SingleGun single;
    MultiGun multi;
    bool bombs;
    bool burstsWhenKilled;
    Footfall footfall;
    float stepLoudness, stepPitch;
    bool stepShakes; // its steps shake the camera
};

constexpr EnemyKind kEnemyKindTraits[] = {
    {.role = "unarmed chaser",
     .body = {.health = 5,
              .value = 5,
              .speed = 1.0f,
              .speedGrowth = Growth::Double,
              .turn = 45.0f,
              .turnGrowth = Growth::Run,
              .turnCapped = true,
              .mass = 0.4f,
              .radius = 0.2f,
              .z = 0.0f},
     .single = SingleGun::None,
     .multi = MultiGun::None,
     .bombs = false,
     .burstsWhenKilled = false,
     .footfall = Footfall::Light,
     .stepLoudness = 1.6f,
     .stepPitch = 1.25f,
     .stepShakes = false},
    {.role = "single-shot gunner",
     .body = {.health = 10,
              .value = 15,
              .speed = 0.6f,
              .speedGrowth = Growth::None,
              .turn = 45.0f,
              .turnGrowth = Growth::Run,
              .turnCapped = true,
              .mass = 0.6f,
              .radius = 0.2f,
              .z = 0.0f},
     .single = SingleGun::Steady,
     .multi = MultiGun::None,
     .bombs = false,
     .burstsWhenKilled = false,
     .footfall = Footfall::Light,
     .stepLoudness = 2.0f,
     .stepPitch = 1.0f,
     .stepShakes = false},
    {.role = "fan gunner",
     .body = {.health = 15,
              .value = 40,
              .speed = 0.6f,
              .speedGrowth = Growth::Run,
              .turn = 30.0f,
              .turnGrowth = Growth::Run,
              .turnCapped = true,
              .mass = 0.8f,
              .radius = 0.2f,
              .z = 0.0f},
     .single = SingleGun::None,
     .multi = MultiGun::Fan,
     .bombs = false,
     .burstsWhenKilled = false,
     .footfall = Footfall::Light,
     .stepLoudness = 2.5f,
     .stepPitch = 0.8f,
     .stepShakes = false},
    {.role = "rapid gunner",
     .body = {.health = 30,
              .value = 90,
              .speed = 0.4f,
              .speedGrowth = Growth::None,
              .turn = 20.0f,
              .turnGrowth = Growth::Run,
              .turnCapped = true,
              .mass = 1.0f,
              .radius = 0.4f,
              .z = 0.0f},
     .single = SingleGun::Rapid,
     .multi = MultiGun::None,
     .bombs = false,
     .burstsWhenKilled = false,
     .footfall = Footfall::Medium,
     .stepLoudness = 8.0f,
     .stepPitch = 0.5f,
     .stepShakes = false},
    {.role = "unarmed walker that bursts",
     .body = {.health = 10,
              .value = 0,
              .speed = 1.0f,
              .speedGrowth = Growth::Run,
              .turn = 30.0f,
              .turnGrowth = Growth::Run,
              .turnCapped = true,
              .mass = 1.0f,
              .radius = 0.2f,
              .z = 0.0f},
     .single = SingleGun::None,
     .multi = MultiGun::None,
     .bombs = false,
     .burstsWhenKilled = true,
     .footfall = Footfall::Medium,
     .stepLoudness = 8.0f,
     .stepPitch = 0.5f,
     .stepShakes = false},
    {.role = "slow ring gunner",
     .body = {.health = 50,
              .value = 150,
              .speed = 0.2f,
              .speedGrowth = Growth::None,
              .turn = 5.0f,
              .turnGrowth = Growth::None,
              .turnCapped = false,
              .mass = 2.0f,
              .radius = 0.8f,
              .z = 0.8f},
     .single = SingleGun::None,
     .multi = MultiGun::Ring,
     .bombs = false,
     .burstsWhenKilled = false,
     .footfall = Footfall::Medium,
     .stepLoudness = 16.0f,
     .stepPitch = 0.25f,
     .stepShakes = true},
    {.role = "rolling bomber that bursts",
     .body = {.health = 200,
              .value = 600,
              .speed = 0.5f,
              .speedGrowth = Growth::Run,
              .turn = 20.0f,
              .turnGrowth = Growth::Run,
              .turnCapped = false,
              .mass = 4.0f,
              .radius = 0.8f,
              .z = 0.8f},
     .single = SingleGun::None,
     .multi = MultiGun::None,
     .bombs = true,
     .burstsWhenKilled = true,
     .footfall = Footfall::Tank,
     .stepLoudness = 1.0f,
     .stepPitch = 1.0f,
     .stepShakes = false},
    {.role = "heavy with all three guns, bursts",
     .body = {.health = 250,
              .value = 1000,
              .speed = 0.2f,
              .speedGrowth = Growth::Half,
              .turn = 10.0f,
              .turnGrowth = Growth::Run,
              .turnCapped = false,
              .mass = 5.0f,
              .radius = 0.8f,
              .z = 0.8f},
     .single = SingleGun::Rapid,
     .multi = MultiGun::Ring,
     .bombs = true,
     .burstsWhenKilled = true,
     .footfall = Footfall::Heavy,
     .stepLoudness = 20.0f,
     .stepPitch = 1.0f,
     .stepShakes = true},
};

static_assert(sizeof kEnemyKindTraits / sizeof kEnemyKindTraits[0] == kEnemyKinds,
              "every enemy kind has its row of traits");

// The kind's entry; an out-of-range number reads as the heavy, as the last kind always has.
inline const EnemyKind& Enemy_Kind(int kind) {
    return kEnemyKindTraits[kind >= 0 && kind < kEnemyKinds ? kind : kEnemyKinds - 1];
}
