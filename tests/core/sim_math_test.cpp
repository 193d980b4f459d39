// The simulation's own sine, cosine and arc tangent: close to the C library's everywhere the game
// uses them, with the C library's quadrants, signs and special values.
#include "core/sim_math.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SimMath, SineAndCosineFollowTheLibraryOverManyTurns) {
    for (float x = -40.0f; x <= 40.0f; x += 0.0137f) {
        ASSERT_NEAR(SimMath_Sin(x), std::sin((double)x), 1e-7) << x;
        ASSERT_NEAR(SimMath_Cos(x), std::cos((double)x), 1e-7) << x;
    }
    EXPECT_EQ(SimMath_Sin(0.0f), 0.0f);
    EXPECT_EQ(SimMath_Cos(0.0f), 1.0f);
    EXPECT_TRUE(std::isnan(SimMath_Sin(INFINITY)));
    EXPECT_TRUE(std::isnan(SimMath_Cos(NAN)));
}

TEST(SimMath, ArcTangentKeepsEveryQuadrantAndEdge) {
    for (float y = -3.0f; y <= 3.0f; y += 0.093f)
        for (float x = -3.0f; x <= 3.0f; x += 0.087f)
            ASSERT_NEAR(SimMath_Atan2(y, x), std::atan2((double)y, (double)x), 2e-7)
                << y << " " << x;
    const float edges[][2] = {{0.0f, 1.0f},          {0.0f, -1.0f},    {1.0f, 0.0f},
                              {-1.0f, 0.0f},         {0.0f, 0.0f},     {-0.0f, -0.0f},
                              {1.0f, 1e-30f},        {INFINITY, 1.0f}, {-1.0f, -INFINITY},
                              {INFINITY, -INFINITY}, {1e-30f, -1.0f},  {-2.5f, 2.5f}};
    for (const auto& e : edges)
        EXPECT_FLOAT_EQ(SimMath_Atan2(e[0], e[1]), std::atan2(e[0], e[1])) << e[0] << " " << e[1];
    EXPECT_TRUE(std::isnan(SimMath_Atan2(NAN, 1.0f)));
}
