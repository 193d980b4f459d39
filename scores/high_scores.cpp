// The leaderboard and its file.
#include "scores/high_scores.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "scores/score_file.h"

HighScoreEntry HighScoreTable[kHighScoreCount];
const char* highScoresPath = "./Assets/HighScores.txt";
bool highScoresUnsaved = false;

namespace {

const HighScoreEntry kDefaults[kHighScoreCount] = {
    {"ZKM", 4000}, {"FJX", 3000}, {"VBQ", 2000}, {"GXP", 890},
    {"(9)", 739},  {"-u-", 500},  {"150", 150},  {"HDZ", 102},
};

const size_t kLineBuffer = 20; // a line is read at most 19 bytes at a time

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A signed decimal integer after optional white space, as "%d" reads it; false when there is no
// digit or the value does not fit 32 bits.
bool ParseInt(const char* p, const char* end, int32_t* out) {
    while (p < end && IsSpace(*p))
        p++;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p >= end || *p < '0' || *p > '9') return false;
    int64_t value = 0;
    for (; p < end && *p >= '0' && *p <= '9'; p++) {
        value = value * 10 + (*p - '0');
        if (value > (int64_t)INT32_MAX + 1) return false;
    }
    if (negative) value = -value;
    if (value > INT32_MAX || value < INT32_MIN) return false;
    *out = (int32_t)value;
    return true;
}

// One line: three bytes of tag taken as they are, then "%d".
bool ParseLine(const char* line, size_t length, HighScoreEntry* entry) {
    if (length < 3) return false;
    HighScoreEntry e{};
    std::memcpy(e.tag, line, 3);
    if (!ParseInt(line + 3, line + length, &e.score)) return false;
    *entry = e;
    return true;
}

bool WriteFile(const HighScoreEntry* table, std::string* why = nullptr) {
    char text[512];
    size_t length = 0;
    HighScores_Format(table, text, sizeof text, &length);
    return ScoreFile_Write(highScoresPath, text, length, why);
}

bool LoadFromFile() {
    std::string bytes;
    return ScoreFile_Read(highScoresPath, &bytes) == ScoreFileRead::Ok &&
           HighScores_Parse(bytes.data(), bytes.size(), HighScoreTable);
}

// A line of nothing but white space (a trailing empty line, a CR LF, an editor's last line).
bool Blank(const char* line, size_t length) {
    for (size_t i = 0; i < length; i++)
        if (!IsSpace(line[i])) return false;
    return true;
}

} // namespace

bool HighScores_Parse(const char* data, size_t size, HighScoreEntry* table) {
    // A byte-order mark that an editor put in front is not part of the first tag.
    size_t pos = size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
    int lines = 0;
    while (pos < size) {
        size_t length = 0;
        while (pos + length < size && length < kLineBuffer - 1) {
            if (data[pos + length++] == '\n') break;
        }
        HighScoreEntry entry;
        if (lines >= kHighScoreCount && Blank(data + pos, length)) {
            pos += length; // blank lines after the eighth entry are harmless
            continue;
        }
        if (!ParseLine(data + pos, length, &entry)) return false;
        if (lines < kHighScoreCount) table[lines] = entry;
        lines++;
        pos += length;
    }
    return lines >= kHighScoreCount;
}

void HighScores_Format(const HighScoreEntry* table, char* out, size_t outSize, size_t* length) {
    size_t n = 0;
    for (int i = 0; i < kHighScoreCount && n + 16 <= outSize; i++) {
        std::memcpy(out + n, table[i].tag, 3); // the tag's bytes as they are, whatever they are
        n += 3;
        n += (size_t)std::snprintf(out + n, outSize - n, " %.10d\n", table[i].score);
    }
    *length = n;
}

// Reads the file into the table. A file that exists but does not hold a leaderboard is the
// player's data all the same: it is moved aside, never overwritten. False when the table was not
// read.
static bool ReadOrSetAside() {
    std::string bytes;
    ScoreFileRead read = ScoreFile_Read(highScoresPath, &bytes);
    HighScoreEntry table[kHighScoreCount];
    if (read == ScoreFileRead::Ok && HighScores_Parse(bytes.data(), bytes.size(), table)) {
        std::memcpy(HighScoreTable, table, sizeof table);
        return true;
    }
    bool damaged = read == ScoreFileRead::TooLarge || (read == ScoreFileRead::Ok && !bytes.empty());
    if (damaged && ScoreFile_Replaceable(highScoresPath)) ScoreFile_MoveAside(highScoresPath);
    return false;
}

void HighScores_Load() {
    ScoreFile_RemoveStaleTemporaries(highScoresPath);
    if (!ReadOrSetAside()) HighScores_WriteDefaults();
}

// When the file can be neither written nor read back, the defaults go into memory and the game
// carries on (loading and writing the defaults never call each other more than once).
void HighScores_WriteDefaults() {
    WriteFile(kDefaults);
    if (!LoadFromFile()) std::memcpy(HighScoreTable, kDefaults, sizeof kDefaults);
}

int HighScores_Rank(int32_t score) {
    for (int i = 0; i < kHighScoreCount; i++)
        if (HighScoreTable[i].score < score) return i;
    return kHighScoreCount;
}

// Another game may have saved since this one read the table: the file is read again under the
// lock, so that its entries stay and this one joins them.
bool HighScores_Submit(const char tag[3], int32_t score) {
    ScoreFileLock lock = ScoreFile_Lock(highScoresPath);
    ReadOrSetAside(); // where it cannot be read, the table in memory stands
    int p = HighScores_Rank(score);
    bool saved = true;
    if (p < kHighScoreCount) {
        for (int i = kHighScoreCount - 1; i > p; i--)
            HighScoreTable[i] = HighScoreTable[i - 1];
        HighScoreEntry entry{};
        std::memcpy(entry.tag, tag, 3);
        entry.score = score;
        HighScoreTable[p] = entry;
        std::string why;
        saved = WriteFile(HighScoreTable, &why);
        highScoresUnsaved = !saved;
        if (!saved)
            std::fprintf(stderr, "ZORB: the leaderboard could not be saved to %s: %s\n",
                         highScoresPath, why.c_str());
    }
    ScoreFile_Unlock(&lock);
    return saved;
}
