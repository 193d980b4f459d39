// Colours (clamping, HSV, lerp), angle conversion and the seeded random generator.
#include <gtest/gtest.h>

#include <set>

#include "quillon/quillon.h"

namespace {

void ExpectColor(QL_Color c, int r, int g, int b, int a, const char* what) {
    EXPECT_EQ(c.r, r) << what;
    EXPECT_EQ(c.g, g) << what;
    EXPECT_EQ(c.b, b) << what;
    EXPECT_EQ(c.a, a) << what;
}

TEST(Color, CreateClampsEachChannel) {
    ExpectColor(QL_Color_Create(-5, 0, 255, 267), 0, 0, 255, 255, "outline alpha 267");
    ExpectColor(QL_Color_Create(1000, 128, -1000, -3), 255, 128, 0, 0, "fade below zero");
}

TEST(Color, HsvOnHundredScales) {
    struct Case {
        float h, s, v;
        int r, g, b;
    } cases[] = {
        {0, 100, 100, 255, 0, 0},   {120, 100, 100, 0, 255, 0},    {240, 100, 100, 0, 0, 255},
        {360, 100, 50, 128, 0, 0},  {60, 100, 50, 128, 128, 0},    {300, 100, 50, 128, 0, 128},
        {0, 0, 100, 255, 255, 255}, {180, 50, 100, 128, 255, 255}, {-60, 100, 100, 255, 0, 255}};
    for (const Case& c : cases) {
        QL_Color got = QL_Color_FromColorHSV(QL_ColorHSV_Create(c.h, c.s, c.v, 200));
        EXPECT_EQ(got.r, c.r) << "hue " << c.h << " value " << c.v;
        EXPECT_EQ(got.g, c.g) << "hue " << c.h << " value " << c.v;
        EXPECT_EQ(got.b, c.b) << "hue " << c.h << " value " << c.v;
        EXPECT_EQ(got.a, 200);
    }
}

TEST(Color, LerpClampsT) {
    QL_Color a = QL_Color_Create(0, 100, 200, 255), b = QL_Color_Create(100, 100, 0, 55);
    ExpectColor(QL_Color_Lerp(a, b, 0.5f), 50, 100, 100, 155, "halfway");
    ExpectColor(QL_Color_Lerp(a, b, -1.0f), 0, 100, 200, 255, "t below 0");
    ExpectColor(QL_Color_Lerp(a, b, 7.0f), 100, 100, 0, 55, "t above 1");
}

TEST(Maths, DegreesAndRadians) {
    EXPECT_NEAR(QL_Math_Radians(180.0f), 3.14159265f, 1e-6f);
    EXPECT_NEAR(QL_Math_Degrees(QL_Math_Radians(-90.0f)), -90.0f, 1e-4f);
}

TEST(Random, SameSeedSameSequence) {
    QL_Random_Seed(1234);
    float a[5];
    for (float& x : a)
        x = QL_Random_GetFloat();
    QL_Random_Seed(1234);
    for (float x : a)
        EXPECT_EQ(QL_Random_GetFloat(), x);
    QL_Random_Seed(1235);
    EXPECT_NE(QL_Random_GetFloat(), a[0]);
}

TEST(Random, RangesHoldTheirBounds) {
    QL_Random_Seed(7);
    std::set<int> seen;
    for (int i = 0; i < 2000; i++) {
        int n = QL_Random_RangeInt(-2, 3);
        ASSERT_GE(n, -2);
        ASSERT_LE(n, 3);
        seen.insert(n);
        float f = QL_Random_RangeFloat(0.95f, 1.05f);
        ASSERT_GE(f, 0.95f);
        ASSERT_LE(f, 1.05f);
        float u = QL_Random_GetFloat();
        ASSERT_GE(u, 0.0f);
        ASSERT_LT(u, 1.0f);
    }
    EXPECT_EQ(seen.size(), 6u) << "both bounds are included";
    EXPECT_EQ(QL_Random_RangeInt(5, 5), 5);
    int swapped = QL_Random_RangeInt(9, 4);
    EXPECT_TRUE(swapped >= 4 && swapped <= 9);
}

} // namespace
