// The pages' parts that tell runs' stories: a run's chart and tables, and a player's page. Like
// every page, without script: each chart has its text equivalent beside it.
#pragma once

#include <string>

#include "server/player_record.h"

// The part of a verified run's page that tells its story, from its JSON (told: whether the board
// holds one, told or found untellable); or why there is none yet, or will be none.
std::string Html_RunStory(const RunRow& run, Lookup told, const std::string& storyJson);
// A player's page.
std::string Html_Player(const PlayerRecord& record);
