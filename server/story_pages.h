// The pages' parts that tell runs' stories: a run's chart and tables, and a player's page. Like
// every page, without script: each chart has its text equivalent beside it.
#pragma once

#include <string>

#include "server/player_record.h"

// The part of a run's page that tells its story, from the story's JSON; empty when the JSON is
// not a story.
std::string Html_RunStory(const std::string& storyJson);
// A player's page.
std::string Html_Player(const PlayerRecord& record);
