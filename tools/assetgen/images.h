// The full pictures: the maker's and the audio libraries' wordmarks with their shadows, the
// headphones notice, the game logo and the mouse cursor.
#pragma once

#include <string>

#include "tools/assetgen/pixels.h"

// Writes every image under root; fontPath is the TrueType font to letter them with.
bool Images_Generate(const std::string& root, const std::string& fontPath);
