// The eight-place leaderboard, in memory and in its text file (HighScores.txt beside the game's
// data, or in the player's own folder): one line per place, a three-character tag, a space and
// the score zero-padded to ten digits.
#pragma once

#include <cstddef>
#include <cstdint>

struct HighScoreEntry {
    char tag[4]; // three characters as read, then a zero byte
    int32_t score;
};

const int kHighScoreCount = 8;
extern HighScoreEntry HighScoreTable[kHighScoreCount];

// Where the leaderboard lives; tests point it elsewhere.
extern const char* highScoresPath;
// Whether the last entry submitted could not be saved (until a save succeeds).
extern bool highScoresUnsaved;

// Reads the table from the file. A missing, short or malformed file is replaced by the defaults,
// on disk when it can be written and in memory always.
void HighScores_Load();
// Writes the default table to the file, then reads it back (or keeps the defaults in memory).
void HighScores_WriteDefaults();
// The place (0 to 7) a score would take, or 8 when it does not make the table; ties go to the
// entry already there.
int HighScores_Rank(int32_t score);
// Reads the file again (another game may have saved since), inserts the entry at its place and
// rewrites the file in one step, all under the file's lock; nothing at place 8. False when the
// entry could not be saved (it stays in memory).
bool HighScores_Submit(const char tag[3], int32_t score);

// Parses file contents into table (entries before a bad line are written first). Returns false
// when the contents are not at least eight well-formed lines. Reads lines as a 20-byte buffer
// would: a line of 19 or more bytes is split and its remainder counts as a further line.
bool HighScores_Parse(const char* data, size_t size, HighScoreEntry* table);
// The file's text for a table.
void HighScores_Format(const HighScoreEntry* table, char* out, size_t outSize, size_t* length);
