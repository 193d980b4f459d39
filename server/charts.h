// The board's charts, drawn on the server as SVG in the game's colours: no script, sized by their
// view box to the page's width, each titled for screen readers (the pages print a text
// equivalent beside each).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "server/story_view.h"

// The drawing's size, in the view box's units.
const int kChartWidth = 640, kChartHeight = 260;

// A run's score over its time: each stage shaded in its sky's colour from the second it began,
// the score as a line, and a red mark where each life was lost.
std::string Chart_Score(const StoryView& story);

// A player's day: days since 1970-01-01 (UTC), their best score that day and how many runs.
struct DayPoint {
    int64_t day = 0, best = 0, runs = 0;
};
// A player's best score of each day, a bar a day, from their first day to their last.
std::string Chart_ByDay(const std::vector<DayPoint>& days);
