// Every sound effect file the game loads.
#pragma once

#include <string>

bool Effects_Generate(const std::string& root);
