// What a step asks of the speakers and the screen is carried out in the order asked, once, and a
// step that asks for more than the list holds loses the rest quietly.
#include "game/step_effects.h"

#include "game/game_assets.h"
#include "game/player.h"
#include "tests/support/run_fixture.h"
#include "world/arena.h"

namespace {

class StepEffectsTest : public RunFixture {};

TEST_F(StepEffectsTest, CarriedOutInOrderOnce) {
    QLH_ClearLogs();
    cameraShake = whiteFlash = hurtFlash = 0.0f;
    StepEffects_Sound(gameSounds.autogun, 0.5f, 1.5f);
    StepEffects_Shake(0.25f);
    StepEffects_WhiteFlash(10.0f);
    StepEffects_HurtFlash(20.0f);
    StepEffects_Sound(gameSounds.blip, 0.75f);
    StepEffects_Sky(QL_Color{1, 2, 3, 255});
    StepEffects_CarryOut();
    const auto& log = QLH_PlayLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].path.find("PlayerAutogun"), std::string::npos) << "the first asked, first";
    EXPECT_FLOAT_EQ(log[0].pitch, 1.5f);
    EXPECT_FLOAT_EQ(log[1].volume, 0.75f);
    EXPECT_FLOAT_EQ(cameraShake, 0.25f);
    EXPECT_FLOAT_EQ(whiteFlash, 10.0f);
    EXPECT_FLOAT_EQ(hurtFlash, 20.0f);
    EXPECT_EQ(skyTargetColor.b, 3);
    StepEffects_CarryOut();
    EXPECT_EQ(QLH_PlayLog().size(), 2u) << "carried out once";
    EXPECT_FLOAT_EQ(cameraShake, 0.25f);
}

TEST_F(StepEffectsTest, AFullListLosesTheRestQuietly) {
    QLH_ClearLogs();
    for (int i = 0; i < kStepEffectCount + 50; i++)
        StepEffects_Shake(0.001f);
    EXPECT_EQ(stepEffectCount, kStepEffectCount);
    cameraShake = 0.0f;
    StepEffects_CarryOut();
    EXPECT_NEAR(cameraShake, 0.001f * (float)kStepEffectCount, 1e-3f);
    EXPECT_EQ(stepEffectCount, 0);
}

} // namespace
