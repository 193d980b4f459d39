// Fuzz target for the leaderboard file's parser: any bytes must parse or fail cleanly, and a table
// that parses must survive a write and a second parse unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "scores/high_scores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HighScoreEntry table[kHighScoreCount] = {};
    if (!HighScores_Parse((const char*)data, size, table)) return 0;
    char text[512];
    size_t length = 0;
    HighScores_Format(table, text, sizeof text, &length);
    HighScoreEntry again[kHighScoreCount] = {};
    // Tags holding a newline or odd bytes may not read back the same; a plain tag must.
    bool plain = true;
    for (const HighScoreEntry& e : table)
        for (int i = 0; i < 3; i++)
            plain = plain && e.tag[i] >= 33 && e.tag[i] <= 126;
    if (!HighScores_Parse(text, length, again)) {
        if (plain) std::abort();
        return 0;
    }
    if (plain && std::memcmp(table, again, sizeof table) != 0) std::abort();
    return 0;
}
