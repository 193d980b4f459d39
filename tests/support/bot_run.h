// The autoplay bot playing a run from the program's start, for tests of what follows a run: the
// leaderboard, its recordings, sending them.
#pragma once

#include <string>

#include "app/app.h"
#include "quillon/headless.h"
#include "runs/run_recorder.h"
#include "scores/high_scores.h"
#include "tests/support/headless_fixture.h"
#include "tools/headless/autoplay.h"

// The leaderboard's file for one test, put back as the test ends however it ends: a path left
// pointing into a test's freed string once had a later test's leaderboard saved over an asset.
struct LeaderboardPathFor {
    explicit LeaderboardPathFor(const std::string& path) { highScoresPath = path.c_str(); }
    ~LeaderboardPathFor() { highScoresPath = "./Assets/HighScores.txt"; }
};

// The bot plays seed 2's run from the program's start, recorded into Runs/ as the game does,
// until done() (or a bound); whether done() came.
inline bool BotPlaysUntil(bool (*done)()) {
    StartHeadless(320, 240, 0.05f);
    QLH_ForceSeed(2);
    QLH_SetCountOnly(true);
    Recorder_RecordTo("");
    Autoplay_Reset();
    App_Start();
    for (int f = 0; f < 100000 && !done(); f++) {
        Autoplay_Frame();
        QLH_Step(1);
    }
    return done();
}

// The leaderboard's place the bot's tag BOT took, or kHighScoreCount.
inline int BotsPlace() {
    int place = 0;
    while (place < kHighScoreCount && std::string(HighScoreTable[place].tag) != "BOT")
        place++;
    return place;
}
