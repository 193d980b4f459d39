// The front end's music and the eight stage tracks.
#pragma once

#include <string>

bool Music_Generate(const std::string& root);
