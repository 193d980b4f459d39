// The mixer: volume above 1, pitch, loops, groups, pause, stops and the limiter.
#include <gtest/gtest.h>

#include <vector>

#include "quillon/src/mixer.h"

namespace {

MixSound Constant(float value, long frames, int channels = 1, int rate = 48000) {
    MixSound s;
    s.channels = channels;
    s.rate = rate;
    s.frames = frames;
    s.samples.assign((size_t)(frames * channels), value);
    return s;
}

class MixerTest : public ::testing::Test {
  protected:
    Mixer mixer;
    std::vector<float> out;
    void SetUp() override { Mixer_Reset(&mixer, 48000); }
    float MixOne(int frames = 1) {
        out.assign((size_t)frames * 2, 0.0f);
        Mixer_MixUnlimited(&mixer, out.data(), frames);
        return out[0];
    }
    // Output frames until the mixer falls silent.
    int FramesUntilSilent() {
        int n = 0;
        while (Mixer_ActiveVoices(&mixer) > 0 && n < 1000000) {
            MixOne(1);
            n++;
        }
        return n;
    }
};

TEST_F(MixerTest, VolumeTwoDoublesTheAmplitudeBeforeTheLimiter) {
    MixSound s = Constant(0.25f, 1000);
    Mixer_Play(&mixer, &s, 2.0f, 1.0f, false, 0);
    EXPECT_FLOAT_EQ(MixOne(), 0.5f);
    Mixer_StopAll(&mixer);
    Mixer_Play(&mixer, &s, 8.0f, 1.0f, false, 0);
    out.assign(2, 0.0f);
    Mixer_Mix(&mixer, out.data(), 1);
    EXPECT_FLOAT_EQ(out[0], 1.0f) << "the limiter clips, never wraps";
}

TEST_F(MixerTest, PitchHalfDoublesTheDuration) {
    MixSound s = Constant(0.1f, 4800);
    Mixer_Play(&mixer, &s, 1.0f, 1.0f, false, 0);
    int normal = FramesUntilSilent();
    Mixer_Play(&mixer, &s, 1.0f, 0.5f, false, 0);
    int slow = FramesUntilSilent();
    EXPECT_NEAR(normal, 4800, 1);
    EXPECT_NEAR(slow, 9600, 2);
}

TEST_F(MixerTest, SourceRateIsFoldedIntoTheStep) {
    MixSound s = Constant(0.1f, 2205, 1, 22050); // a tenth of a second
    Mixer_Play(&mixer, &s, 1.0f, 1.0f, false, 0);
    EXPECT_NEAR(FramesUntilSilent(), 4800, 3);
}

TEST_F(MixerTest, GroupVolumeAndStopGroupTouchOnlyTheirGroup) {
    MixSound effect = Constant(0.1f, 100000), music = Constant(0.2f, 100000);
    Mixer_Play(&mixer, &effect, 1.0f, 1.0f, false, 0);
    Mixer_Play(&mixer, &music, 1.0f, 1.0f, true, 1);
    EXPECT_NEAR(MixOne(), 0.3f, 1e-6f);
    Mixer_SetGroupVolume(&mixer, 1, 0.5f);
    EXPECT_NEAR(MixOne(), 0.2f, 1e-6f);
    Mixer_StopGroup(&mixer, 1);
    EXPECT_NEAR(MixOne(), 0.1f, 1e-6f);
    EXPECT_EQ(Mixer_ActiveVoices(&mixer), 1);
}

TEST_F(MixerTest, PauseKeepsThePosition) {
    MixSound ramp;
    ramp.frames = 1000;
    for (int i = 0; i < 1000; i++)
        ramp.samples.push_back((float)i / 1000.0f);
    Mixer_Play(&mixer, &ramp, 1.0f, 1.0f, false, 0);
    MixOne(100);
    Mixer_PauseAll(&mixer);
    EXPECT_FLOAT_EQ(MixOne(500), 0.0f);
    Mixer_ResumeAll(&mixer);
    EXPECT_NEAR(MixOne(), 0.1f, 1e-5f) << "resumes at frame 100";
    Mixer_Play(&mixer, &ramp, 1.0f, 1.0f, false, 0);
    EXPECT_EQ(Mixer_ActiveVoices(&mixer), 2);
}

TEST_F(MixerTest, LoopJoinsEndToStartAndNeverEnds) {
    MixSound s = Constant(0.1f, 100);
    Mixer_Play(&mixer, &s, 1.0f, 1.0f, true, 1);
    MixOne(10000);
    EXPECT_EQ(Mixer_ActiveVoices(&mixer), 1);
    for (int i = 0; i < 2 * 10000; i++)
        ASSERT_NEAR(out[(size_t)i], 0.1f, 1e-6f) << i;
}

TEST_F(MixerTest, StereoSoundsKeepTheirChannels) {
    MixSound s;
    s.channels = 2;
    s.frames = 10;
    for (int i = 0; i < 10; i++) {
        s.samples.push_back(0.3f);
        s.samples.push_back(0.0f);
    }
    Mixer_Play(&mixer, &s, 1.0f, 1.0f, false, 0);
    MixOne(1);
    EXPECT_FLOAT_EQ(out[0], 0.3f);
    EXPECT_FLOAT_EQ(out[1], 0.0f);
}

TEST_F(MixerTest, FullMixerAndBadInputsStartNothing) {
    MixSound s = Constant(0.0f, 10);
    MixSound empty;
    EXPECT_FALSE(Mixer_Play(&mixer, &empty, 1.0f, 1.0f, false, 0));
    EXPECT_FALSE(Mixer_Play(&mixer, &s, 1.0f, 0.0f, false, 0)) << "zero pitch";
    for (int i = 0; i < kMixVoices; i++)
        ASSERT_TRUE(Mixer_Play(&mixer, &s, 1, 1, true, 0));
    EXPECT_FALSE(Mixer_Play(&mixer, &s, 1.0f, 1.0f, false, 0));
    Mixer_StopSound(&mixer, &s);
    EXPECT_EQ(Mixer_ActiveVoices(&mixer), 0);
}

} // namespace
