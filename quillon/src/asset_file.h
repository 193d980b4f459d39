// Reading an asset file's bytes safely: from a regular file only (a folder, FIFO or device in an
// asset's place is refused, and opening never blocks), and never more than a bound.
#pragma once

#include <cstddef>
#include <vector>

// No asset the game loads comes near this; a larger file is refused unread.
const size_t kAssetMaxBytes = 64u << 20;

// The file's bytes; false, leaving bytes empty, when the file is missing, is not a regular file,
// cannot be read or holds more than maxBytes.
bool AssetFile_Read(const char* path, size_t maxBytes, std::vector<unsigned char>* bytes);
