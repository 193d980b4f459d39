// The eight-pixel blends against the blend's own rule: a channel moves from d toward s by
// |s - d| * a / 255 rounded up, where a is the coverage or texel alpha times the colour's alpha,
// (c * alpha + 127) / 255. Random rows, colours, coverages and texels (with plenty of 0 and
// 255), spans of every length from every start; the pixels they leave alone stay as they were.
#include "quillon/src/raster_wide.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

uint32_t Expected(uint32_t d, uint32_t s, int a) {
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        int dc = (int)(d >> shift & 255), sc = (int)(s >> shift & 255);
        int step = (std::abs(sc - dc) * a + 254) / 255;
        out |= (uint32_t)(sc >= dc ? dc + step : dc - step) << shift;
    }
    return out;
}

int Share(int value, int alpha) {
    return (value * alpha + 127) / 255;
}

struct Trial {
    std::vector<uint32_t> row, texels;
    std::vector<uint8_t> cover;
    uint32_t color;
    int x0, x1;
};

Trial Make(std::mt19937* random) {
    auto byte = [&] {
        int pick = (int)((*random)() % 4);
        return pick == 0 ? 0 : (pick == 1 ? 255 : (int)((*random)() % 256));
    };
    Trial t;
    int length = (int)((*random)() % 40);
    for (int x = 0; x < length + 8; x++) {
        t.row.push_back(0xFF000000u | ((*random)() & 0xFFFFFF));
        t.texels.push_back((uint32_t)byte() << 24 | ((*random)() & 0xFFFFFF));
        t.cover.push_back((uint8_t)byte());
    }
    t.color = (uint32_t)std::max(1, byte()) << 24 | ((*random)() & 0xFFFFFF);
    t.x0 = (int)((*random)() % 5);
    t.x1 = t.x0 + length;
    return t;
}

// The pixels the call took, against what each should be; the others unchanged.
void Check(const Trial& t, const std::vector<uint32_t>& row, int done,
           uint32_t (*expect)(const Trial&, int x)) {
    for (int x = 0; x < (int)row.size(); x++) {
        uint32_t want = x >= t.x0 && x < done ? expect(t, x) : t.row[(size_t)x];
        ASSERT_EQ(row[(size_t)x], want) << "pixel " << x << " of [" << t.x0 << ", " << t.x1 << ")";
    }
}

TEST(WideBlends, EveryPixelTakenFollowsTheBlendRule) {
    std::vector<uint32_t> probe(16, 0xFF000000u);
    if (Wide_Blend(probe.data(), 0, 16, 0x80FFFFFFu) == 0) GTEST_SKIP() << "no AVX2 here";
    std::mt19937 random(99);
    for (int trial = 0; trial < 2000; trial++) {
        Trial t = Make(&random);
        std::vector<uint32_t> row = t.row;
        Check(t, row, Wide_Blend(row.data(), t.x0, t.x1, t.color), [](const Trial& t, int x) {
            return Expected(t.row[(size_t)x], t.color, (int)(t.color >> 24));
        });
        row = t.row;
        Check(t, row, Wide_Glyph(row.data(), t.cover.data(), t.x0, t.x1, t.color),
              [](const Trial& t, int x) {
                  return Expected(t.row[(size_t)x], t.color,
                                  Share(t.cover[(size_t)x], (int)(t.color >> 24)));
              });
        row = t.row;
        int alpha = (int)(t.color >> 24);
        Check(t, row, Wide_Texels(row.data(), t.texels.data(), t.x0, t.x1, alpha),
              [](const Trial& t, int x) {
                  uint32_t texel = t.texels[(size_t)x];
                  return Expected(t.row[(size_t)x], texel,
                                  Share((int)(texel >> 24), (int)(t.color >> 24)));
              });
        if (HasFatalFailure()) return;
    }
}

} // namespace
