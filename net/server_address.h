// Which world board the game talks to: --server, else the ZORB_SERVER variable, else server.txt
// in the player's own folder, else the build's default (-DZORB_SERVER_URL=, empty). Empty: no
// server, and the game stays offline and opens no connection.
#pragma once

#include <string>

// An address from the variable or the file that is not an http:// or https:// address of
// printable characters is not used: the game stays offline, and problem (where given) names the
// address's source. The arguments' address is the caller's to check (a bad one is a usage error).
std::string ServerAddress_Choose(const std::string& fromArguments, const std::string& ownFolder,
                                 std::string* problem = nullptr);
