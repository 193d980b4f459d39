// The full pictures: the maker's and the audio libraries' wordmarks with their shadows, the
// headphones notice, the game logo and the mouse cursor.
#pragma once

#include <string>

#include "tools/assetgen/pixels.h"

// Writes every image under root; fontPath is the TrueType font to letter them with.
bool Images_Generate(const std::string& root, const std::string& fontPath);
// Draws text in colour c, horizontally centred on cx with its top at y, at a pixel size.
void Images_Text(Picture* p, const std::string& fontPath, const char* text, int size, int cx, int y,
                 Rgba c);
// The largest pixel size up to size at which text fits within width pixels.
int Images_FittingSize(const std::string& fontPath, const char* text, int size, int width);
