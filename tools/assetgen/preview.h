// A preview of the sprite sheet for people: enlarged, with each frame's kind and group labelled.
#pragma once

#include <string>

#include "tools/assetgen/pixels.h"

bool Preview_Write(const Picture& sheet, const std::string& path, const std::string& fontPath);
