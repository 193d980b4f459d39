// The player on the world board: a secret key made once from 128 random bits of the system's and
// the name the board shows, kept in online.txt in the player's own folder, readable by the player
// alone.
#pragma once

#include <string>

#include "net/board_client.h"

// The player kept in folder; when none is kept yet, a new key with the name given, kept there
// (with no name given, none is made). False, with why, when the identity can be neither read nor
// made and kept.
bool Identity_Load(const std::string& folder, const std::string& name, BoardPlayer* player,
                   std::string* why);
// Keeps the player (a new name, say) in folder.
bool Identity_Save(const std::string& folder, const BoardPlayer& player, std::string* why);
// 32 hex digits from the system's random source; empty when it gave none.
std::string Identity_NewKey();
// A new player's first name on the board: their leaderboard tag (PLAYER without one) and four
// random hex digits, "ACE-3F0B", so that two new players of one tag are not refused each other's
// name. They choose another with [R].
std::string Identity_FirstName(const std::string& tag);
