// The game's three logos, drawn as emblems: the maker's badge and wordmark, the sound credit's
// badge and wordmark, and the title's ringed orb under "ZORB".
#pragma once

#include <string>

#include "tools/assetgen/emblems.h"

Picture Logos_Maker(const std::string& font); // 1026 x 249
Picture Logos_Audio(const std::string& font); // 728 x 192
Picture Logos_Game(const std::string& font);  // 570 x 486
// The desktop's icon: the title's ringed orb with its Z, size x size (drawn at 256, then shrunk).
Picture Logos_Icon(const std::string& font, int size);
