// The leaderboard and its file.
#include "scores/high_scores.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

HighScoreEntry HighScoreTable[kHighScoreCount];
const char* highScoresPath = "./Assets/HighScores.txt";

namespace {

const HighScoreEntry kDefaults[kHighScoreCount] = {
    {"ZKM", 4000}, {"FJX", 3000}, {"VBQ", 2000}, {"GXP", 890},
    {"(9)", 739},  {"-u-", 500},  {"150", 150},  {"HDZ", 102},
};

const size_t kLineBuffer = 20; // a line is read at most 19 bytes at a time

// Two programs saving at once must not share the file written beside the leaderboard.
long ProcessId() {
#ifdef _WIN32
    return (long)_getpid();
#else
    return (long)getpid();
#endif
}

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

bool ReadFile(const char* path, std::vector<char>* bytes) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes->insert(bytes->end(), buf, buf + n);
    std::fclose(f);
    return true;
}

// Writes the table beside the file and moves it into place in one step, so that the file on disk
// is always either the old table or the new one, whole.
bool WriteFile(const HighScoreEntry* table) {
    char text[512];
    size_t length = 0;
    HighScores_Format(table, text, sizeof text, &length);
    std::string temporary = std::string(highScoresPath) + ".new" + std::to_string(ProcessId());
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(text, 1, length, f) == length;
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    std::error_code ec;
    if (ok) std::filesystem::rename(temporary, highScoresPath, ec);
    if (!ok || ec) std::filesystem::remove(temporary, ec);
    return ok && !ec;
}

bool LoadFromFile() {
    std::vector<char> bytes;
    return ReadFile(highScoresPath, &bytes) &&
           HighScores_Parse(bytes.data(), bytes.size(), HighScoreTable);
}

} // namespace

bool HighScores_Parse(const char* data, size_t size, HighScoreEntry* table) {
    size_t pos = 0;
    int lines = 0;
    while (pos < size) {
        size_t length = 0;
        while (pos + length < size && length < kLineBuffer - 1) {
            if (data[pos + length++] == '\n') break;
        }
        HighScoreEntry entry;
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

void HighScores_Load() {
    if (!LoadFromFile()) HighScores_WriteDefaults();
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

void HighScores_Submit(const char tag[3], int32_t score) {
    int p = HighScores_Rank(score);
    if (p >= kHighScoreCount) return;
    for (int i = kHighScoreCount - 1; i > p; i--)
        HighScoreTable[i] = HighScoreTable[i - 1];
    HighScoreEntry entry{};
    std::memcpy(entry.tag, tag, 3);
    entry.score = score;
    HighScoreTable[p] = entry;
    WriteFile(HighScoreTable);
}
