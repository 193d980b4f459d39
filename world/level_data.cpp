// The arena's level: the height and colour grids of its 32 x 32 cells, decoded at compile time
// into the tables the arena build copies from.
#include "world/level_data.h"

namespace {

// Each entry is the cell's top in tenths of a unit; "." is floor (top -1.0, bottom -2.0) and "~"
// liquid (top -1.5, bottom -3.0); every numbered cell has bottom -3.0. Rows run from y = 0 down
// to y = 31, columns from x = 0 to 31. The player starts in cell (16, 15).
// clang-format off
constexpr const char* kHeightRows[32] = {
    " 37 27 16 -6  ~  ~  ~  ~  ~  ~  ~  ~  ~  ~  ~  ~  ~  ~ 20 20 20 20 20 20  .  ~  ~  ~  ~  ~  ~  ~",
    " 22 12 -1  ~  ~  ~  ~  .  .  .  .  .  .  .  .  .  .  ~ 20  .  . 20  . 20  .  .  ~  ~  ~  ~  ~  ~",
    " 18 -6  ~  .  .  .  ~  .  .  .  ~  ~  ~  ~  ~  ~  .  ~ 20 20  .  .  .  .  .  .  .  ~  ~  ~  ~  ~",
    " -5  ~  .  .  ~  .  ~  ~  ~  .  .  ~  ~  ~  ~  ~  .  ~ 20  .  . -5 -5 -5  .  .  .  .  ~  ~  ~  ~",
    "  ~  ~  .  .  .  .  .  .  ~  ~  .  .  .  .  .  .  .  .  .  .  . -5 -6 -5  . 20  .  .  ~  .  . 20",
    "  ~  ~  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  . -5 -5 -5  . 20  .  ~  ~  .  . 20",
    "  ~  ~  .  .  ~  .  ~  .  .  ~  .  .  ~  ~  ~  ~  ~  ~  .  .  .  .  .  .  . 20 20  ~  .  .  . 20",
    "  ~  ~  .  .  ~  .  .  .  .  ~  .  .  .  ~  ~  ~  ~  ~  ~  . 20  . 20  . 20  .  .  .  . 20 20 20",
    "  ~  ~  .  .  ~  .  .  .  .  .  .  .  .  ~  ~  ~  ~  ~  ~  .  .  .  .  .  .  . 20  ~  .  .  . 20",
    "  ~  ~  .  ~  ~  .  ~  ~  .  ~  ~  ~  .  ~  ~  ~  ~  ~  ~  ~  ~  ~  . 20  . 20 20  ~  . 20  . 20",
    "  ~  ~  .  ~  ~  .  ~  ~  .  ~  ~  ~  .  ~  ~  ~  ~  ~  ~  ~  ~  ~  ~  ~  .  ~  .  .  . 20  . 20",
    "  ~  ~  .  .  ~  .  ~  ~  .  ~  ~  .  .  .  .  .  .  .  .  .  . 20 20 20  . 20  . 20  . 20  . 20",
    "  ~  ~  ~  .  ~  .  .  ~  .  .  ~  .  .  .  . 50  . 50  .  .  .  .  .  .  . 20  . 20  . 20  . 20",
    "  ~  ~  ~  .  ~  ~  .  ~  .  .  ~  . 50  .  .  .  .  .  .  .  . 20 20  . 20 20  . 20  . 20  . 20",
    "  ~  ~  ~  .  .  ~  .  ~  .  .  ~  .  .  . -3  .  . -3  . 50  .  ~  ~  .  .  .  .  .  .  .  . 20",
    "  ~  ~  ~ -5  . -5  . -5  . -5  ~  . 50  .  .  .  .  .  .  .  .  ~  ~  ~  .  .  .  . 20  . 20 20",
    "  5  .  . -5  . -5  . -5  . -5  ~  .  .  .  .  .  .  .  . 50  .  ~  ~  ~  . 20  . 20 20  . 20 20",
    "  5  .  .  .  .  .  .  .  .  .  ~  . 50  . -3  .  . -3  .  .  .  ~  ~  ~  ~  .  .  .  .  .  .  5",
    "  5  .  .  .  .  .  .  .  .  .  ~  .  .  .  .  .  .  .  . 50  .  ~  ~  ~  ~  .  .  .  .  .  2 26",
    "  5  .  .  .  .  .  .  .  .  .  .  . 50  . 50  . 50  .  .  .  .  ~  ~  ~  ~  ~  .  .  . 14 32 47",
    "  5  .  . 10 10 10  .  .  .  .  ~  .  .  .  .  .  .  .  .  .  .  ~  ~  ~  ~  ~  .  . -3 28 42 54",
    "  5  .  . 10 30 10  .  .  .  ~  ~  ~  ~  ~  ~  ~  ~  ~  ~  .  ~  ~  ~  ~  ~  ~  .  .  . 45 52 65",
    "  5  .  . 10 10 10  .  .  .  .  ~  .  ~  ~  ~  ~  ~  ~  ~  .  ~  ~  ~  ~  ~  .  .  .  . 25 48 51",
    "  5  .  .  .  .  .  .  .  .  .  .  .  .  ~  ~  ~  ~  .  .  .  .  ~  ~  ~  ~  .  .  .  .  . 25 46",
    "  5  .  .  .  .  .  .  .  .  .  .  .  .  .  ~  ~  ~  .  .  .  .  .  .  ~  .  .  .  .  .  .  . 40",
    "  5  .  .  .  .  . 10 10 10  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  . 32",
    "  5  .  .  .  .  . 10 30 10  .  . 10 10 10  .  .  .  .  .  .  .  .  .  .  .  .  .  .  .  . -3 26",
    "  5  .  .  .  .  . 10 10 10  .  . 10 30 10  .  .  .  .  .  .  .  .  .  2  .  .  .  .  .  . 15 25",
    "  5  .  .  .  .  .  .  .  .  .  . 10 10 10  .  ~  ~  .  .  .  .  5 22 32  .  .  .  .  . 12 21 35",
    " 10 10 10  .  .  .  .  .  .  .  .  .  .  .  .  ~  ~  ~  .  . -3 18 35 42 15  .  .  . 15 24 39 45",
    " 10 30 10  .  .  .  .  .  .  .  .  .  .  .  ~  ~  ~  .  .  2 17 32 42 54 45 37 25 17 28 32 42 48",
    " 10 10 10  5  5  5  5  5  5  5  5  5  5  5  ~  ~  ~  6 15 26 32 48 51 58 52 48 35 24 35 43 55 60",
};

// Two letters a cell: upper case names the colour, lower case the outline colour.
constexpr const char* kColorRows[32] = {
    "Cd Cd Cd Cd Ic Ic Ic Ic Ic Ic Ic Ic Ic Ic Ab Ea Ea Ea Ba Ba Ba Ba Ba Ba Ja Ea Ea Ea Ea Ea Ea Ea",
    "Cd Cd Cd Ic Ic Ic Ic Ca Ca Ca Ca Ca Ca Ca Ca Hb Hb Ea Ba Fa Fa Ba Fa Ba Fa Ja Ea Ea Ea Ea Ea Ea",
    "Cd Cd Ic Ca Ca Ca Ic Ca Ca Ca Ic Ic Ic Ic Ab Ea Hb Ea Ba Ba Fa Fa Fa Fa Fa Fa Ja Ea Ea Ea Ea Ea",
    "Cd Ic Ca Ca Ic Ca Ic Ic Ic Ca Ca Ic Ic Ic Ab Ea Hb Ea Ba Fa Fa Kb Kb Kb Fa Fa Fa Ja Ea Ea Ea Ea",
    "Ic Ic Ca Ca Ca Ca Ca Ca Ic Ic Ca Ca Ca Hb Hb Hb Hb Hb Hb Fa Fa Kb Ea Kb Fa Ba Fa Ja Ea Ja Ja Ba",
    "Ic Ic Ca Ca Ca Ca Ca Ca Ca Ca Ca Ca Ca Hb Hb Hb Hb Hb Hb Fa Fa Kb Kb Kb Fa Ba Fa Ea Ea Fa Fa Ba",
    "Ic Ic Ca Ca Ic Ca Ic Ca Ca Ic Ca Ca Ic Ic Ab Ea Ea Ea Fa Fa Fa Fa Fa Fa Fa Ba Ba Ea Fa Fa Fa Ba",
    "Ic Ic Ca Ca Ic Ca Ca Ca Ca Ic Ca Ca Ca Ic Ab Ea Ea Ea Ea Fa Ba Fa Ba Fa Ba Fa Fa Hb Fa Ba Ba Ba",
    "Ic Ic Ca Ca Ic Ca Ca Ca Ca Ca Ca Ca Ca Ic Ab Ea Ea Ea Ea Fa Fa Fa Fa Fa Fa Fa Ba Ea Fa Fa Fa Ba",
    "Ic Ic Ca Ic Ic Ca Ic Ic Ca Ic Ic Ic Ca Ic Ab Ea Ea Ea Ea Ea Ea Ea Fa Ba Fa Ba Ba Ea Fa Ba Fa Ba",
    "Ic Ic Ca Ic Ic Ca Ic Ic Ca Ic Ic Ic Ca Ic Ab Ea Ea Ea Ea Ea Ea Ea Ea Ea Hb Ea Hb Hb Fa Ba Fa Ba",
    "Ic Ic Ca Ca Ic Ca Ic Ic Ca Ic Ic Hb Ca Hb Db Hb Db Hb Db Hb Db Ba Ba Ba Fa Ba Fa Ba Fa Ba Fa Ba",
    "Ic Ic Ic Ca Ic Ca Ca Ic Ca Ca Ic Db Hb Db Hb Kb Hb Kb Hb Db Fa Fa Fa Fa Fa Ba Fa Ba Fa Ba Fa Ba",
    "Ic Ic Ic Ca Ic Ic Ca Ic Ca Ca Ic Hb Kb Hb Db Hb Db Hb Db Hb Db Ba Ba Fa Ba Ba Fa Ba Fa Ba Fa Ba",
    "Ic Ic Ic Ca Ca Ic Ca Ic Ca Ca Ic Db Hb Db Ae Db Hb Ae Hb Kb Hb Ea Ea Fa Fa Fa Fa Fa Fa Fa Fa Ba",
    "Ab Ab Ab Hb Hb Hb Hb Hb Hb Hb Ab Hb Kb Hb Db Fa Fa Hb Db Hb Db Ea Ea Ea Fa Fa Fa Fa Ba Fa Ba Ba",
    "Ja Ja Ja Hb Hb Hb Hb Hb Hb Hb Ea Db Hb Db Hb Fa Fa Db Hb Kb Hb Ea Ea Ea Fa Ba Fa Ba Ba Fa Ba Ba",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ea Hb Kb Hb Ae Hb Db Ae Db Hb Db Ea Ea Ea Ea Ga Ga Ga Ga Ga Ga Da",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ea Db Hb Db Hb Db Hb Db Hb Kb Hb Ea Ea Ea Ea Ga Ga Ga Ga Ga Da Da",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Kb Hb Kb Hb Kb Hb Db Hb Db Ea Ea Ea Ea Ea Ga Ga Ga Da Da Da",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ea Db Hb Db Hb Db Hb Db Hb Ga Hb Ea Ea Ea Ea Ea Ga Ga Da Da Da Ka",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ea Ea Ea Ea Ea Ea Ea Ea Ea Ea Ga Ea Ea Ea Ea Ea Ea Ga Ga Ga Da Ka Ka",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ea Ja Ea Ea Ea Ea Ea Ea Ea Ga Ea Ea Ea Ea Ea Ga Ga Ga Ga Da Da Ka",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ea Ea Ea Ea Ga Ga Ga Ga Ea Ea Ea Ea Ga Ga Ga Ga Ga Da Da",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ea Ea Ea Ga Ga Ga Ga Ga Ga Ea Ga Ga Ga Ga Ga Ga Ga Da",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Hb Hb Ga Ga Ga Ga Ga Ga Ga Ga Ga Ga Ga Ga Ga Ga Da",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Hb Hb Ga Ga Ga Ga Ga Ga Ga Ga Ga Ga Ga Ga Ga Da Da",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Hb Hb Ga Ga Ga Ga Ga Ga Da Ga Ga Ga Ga Ga Ga Da Da",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ea Ea Ga Ga Ga Ga Da Da Da Ga Ga Ga Ga Ga Da Da Da",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ea Ea Ea Ga Ga Da Da Da Da Da Ga Ga Ga Da Da Da Da",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ea Ea Ea Ga Ga Da Da Da Da Ka Da Da Da Da Da Da Da Ka",
    "Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ja Ea Ea Ea Da Da Da Da Da Ka Ka Ka Da Da Da Da Da Ka Ka",
};
// clang-format on

struct Rgba4 {
    int32_t r, g, b, a;
};

constexpr Rgba4 kColorPalette[11] = {
    {50, 50, 50, 255},    {50, 100, 50, 255},   {100, 50, 50, 255},   {100, 100, 100, 255},
    {100, 100, 200, 255}, {100, 200, 100, 255}, {100, 200, 200, 255}, {150, 150, 150, 255},
    {200, 100, 100, 255}, {200, 200, 100, 255}, {200, 200, 200, 255},
};

constexpr Rgba4 kOutlinePalette[5] = {
    {0, 0, 0, 0}, {50, 50, 50, 255}, {100, 50, 50, 255}, {200, 100, 100, 255}, {200, 200, 200, 255},
};

constexpr bool IsSpace(char c) {
    return c == ' ';
}

// Reads the next whitespace-separated token of a row, from position *pos.
constexpr void NextToken(const char* row, int* pos, char* token) {
    while (IsSpace(row[*pos]))
        (*pos)++;
    int n = 0;
    while (row[*pos] && !IsSpace(row[*pos]))
        token[n++] = row[(*pos)++];
    token[n] = 0;
}

constexpr int ParseTenths(const char* token) {
    int sign = 1, i = 0, value = 0;
    if (token[0] == '-') {
        sign = -1;
        i = 1;
    }
    for (; token[i]; i++)
        value = value * 10 + (token[i] - '0');
    return sign * value;
}

constexpr void DecodeHeight(const char* token, float* top, float* bottom) {
    if (token[0] == '.') {
        *top = -1.0f;
        *bottom = -2.0f;
    } else if (token[0] == '~') {
        *top = -1.5f;
        *bottom = -3.0f;
    } else {
        *top = (float)(ParseTenths(token) / 10.0);
        *bottom = -3.0f;
    }
}

constexpr void Copy(const Rgba4& from, int32_t* to) {
    to[0] = from.r;
    to[1] = from.g;
    to[2] = from.b;
    to[3] = from.a;
}

constexpr LevelData Decode() {
    LevelData level{};
    for (int y = 0; y < 32; y++) {
        int hp = 0, cp = 0;
        for (int x = 0; x < 32; x++) {
            char token[8] = {};
            int i = y * 32 + x;
            NextToken(kHeightRows[y], &hp, token);
            DecodeHeight(token, &level.topHeights[i], &level.bottomHeights[i]);
            NextToken(kColorRows[y], &cp, token);
            Copy(kColorPalette[token[0] - 'A'], level.colors[i]);
            Copy(kOutlinePalette[token[1] - 'a'], level.outlineColors[i]);
        }
    }
    return level;
}

} // namespace

constexpr LevelData kLevel = Decode();

const float* const arenaTopHeights = kLevel.topHeights;
const float* const arenaBottomHeights = kLevel.bottomHeights;
const int32_t (*const arenaColors)[4] = kLevel.colors;
const int32_t (*const arenaOutlineColors)[4] = kLevel.outlineColors;
