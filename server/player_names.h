// Players' names: how a name is taken in, which names are refused, and which are one name.
#pragma once

#include <string>

// The name without the spaces at its ends: "Bob " is Bob.
std::string PlayerName_Trimmed(const std::string& name);
// Whether a trimmed name can be a player's: 1 to 16 printable characters, not only dots and
// spaces (".." would make a player's link that browsers rewrite).
bool PlayerName_Good(const std::string& name);
// A name as names are told apart: without case, its ends trimmed, runs of spaces as one, and the
// characters that look alike as one (0 and O; 1, I and l), so that a name's owner holds its
// look-alikes too. The board's schema folds the names it kept before the same way.
std::string PlayerName_Key(const std::string& name);
