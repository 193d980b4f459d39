// What the board knows of one player, for their page and the API: their best run on each board,
// their verified runs a page at a time, their best score of each day, the totals of their runs'
// stories, and their place on each day's board.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "server/charts.h"
#include "server/run_store.h"

struct PlayerBest {
    std::string board; // all, today, open or bots
    RunRow run;
};

struct PlayerDayPlace {
    std::string day;
    int64_t place = 0, score = 0, runId = 0;
};

struct PlayerTotals {
    int64_t told = 0; // runs whose story the totals add up
    int64_t kills[8] = {}, shots[3] = {}, hits[3] = {};
};

const int64_t kPlayerRunsAPage = 50;

struct PlayerRecord {
    std::string name;
    std::vector<PlayerBest> best;
    std::vector<RunRow> runs; // verified and shown, the latest first, from offset
    int64_t runCount = 0, offset = 0;
    bool more = false;
    std::vector<DayPoint> days;
    PlayerTotals totals;
    std::vector<PlayerDayPlace> places; // the latest days first
};

// The record of the player who goes by name (told apart without case) on the boards of a
// simulation version; today is today's day (YYYY-MM-DD). Missing when no one goes by it.
Lookup PlayerRecord_Load(RunStore& store, const std::string& name, int64_t simVersion,
                         const std::string& today, int64_t offset, PlayerRecord* record);
