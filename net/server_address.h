// Which world board the game talks to: --server, else the ZORB_SERVER variable, else server.txt
// in the player's own folder, else the build's default (-DZORB_SERVER_URL=, empty). Empty: no
// server, and the game stays offline and opens no connection.
#pragma once

#include <string>

std::string ServerAddress_Choose(const std::string& fromArguments, const std::string& ownFolder);
