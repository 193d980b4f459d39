// The board's page icon: the game's own icon as PNG bytes, built into the program.
#pragma once

extern const unsigned char kFavicon[];
extern const unsigned long kFaviconSize;
