// A run's story read back from the JSON the replay told it in, for the board's pages: every
// figure checked as it is read, so that a page never trusts what it draws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct StoryWeapon {
    int64_t shots = 0, hits = 0, damage = 0, kills = 0;
};

// A hit the player took: by "touch", "shot" or "own", and the enemy kind or own weapon.
struct StoryHurt {
    std::string by;
    int which = 0;
    int64_t count = 0;
};

struct StoryLife {
    double seconds = 0, x = 0, y = 0;
    int stage = 1;
    std::string by;
    int which = 0;
};

struct StoryView {
    double seconds = 0;
    int64_t score = 0, stage = 1;
    int64_t kills[8] = {}, crossfire = 0;
    StoryWeapon weapons[3];
    std::vector<StoryHurt> hurt;
    std::vector<StoryLife> lives;
    int64_t pickups[4] = {};            // coin, AUTO, SPREAD, BOMB
    std::vector<double> stages;         // when each stage began, the first at 0
    std::vector<int64_t> scoreBySecond; // the score at 0, 1, 2 ... seconds
};

// False when json is not a story (the view is then as read so far).
bool StoryView_Read(const std::string& json, StoryView* view);
// Hits over shots, 0 to 100; 0 without a shot.
double StoryView_Percent(int64_t hits, int64_t shots);
// What dealt a hit, in words: "touch: fan gunner", "shot: rapid gunner", "own BOMB".
std::string StoryView_HurtWords(const std::string& by, int which);
