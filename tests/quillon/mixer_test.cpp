// The mixer: volume above 1, pitch, loops, groups, pause, stops and the limiter.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
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

// Writes a mono float WAV; dataLength is what its data chunk claims (by default, the truth).
std::string WriteFloatWav(const char* name, const float* samples, uint32_t count,
                          uint32_t dataLength = 0) {
    std::string path = std::string("ql_mixer_") + name + ".wav";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return path;
    auto u32 = [f](uint32_t v) { std::fwrite(&v, 4, 1, f); };
    auto u16 = [f](uint16_t v) { std::fwrite(&v, 2, 1, f); };
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + 4 * count);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(3); // IEEE float
    u16(1);
    u32(48000);
    u32(48000 * 4);
    u16(4);
    u16(32);
    std::fwrite("data", 1, 4, f);
    u32(dataLength ? dataLength : 4 * count);
    std::fwrite(samples, 4, count, f);
    std::fclose(f);
    return path;
}

// A damaged float WAV with NaN and infinities: decoded as silence there, and the mixed output
// stays finite and within [-1, 1] whatever the volume.
TEST_F(MixerTest, NonFiniteSamplesBecomeSilence) {
    const float samples[] = {0.5f, NAN, INFINITY, -INFINITY, -0.25f, NAN};
    std::string path = WriteFloatWav("non_finite", samples, 6);
    MixSound s;
    ASSERT_TRUE(Ql_Sound_Decode(path.c_str(), &s));
    std::remove(path.c_str());
    ASSERT_EQ(s.frames, 6);
    const float expected[] = {0.5f, 0.0f, 0.0f, 0.0f, -0.25f, 0.0f};
    for (int i = 0; i < 6; i++)
        EXPECT_FLOAT_EQ(s.samples[(size_t)i], expected[i]) << i;
    s.samples[1] = NAN; // and should one reach the mixer all the same
    Mixer_Play(&mixer, &s, 40.0f, 1.0f, true, 0);
    out.assign(2 * 64, 0.0f);
    Mixer_Mix(&mixer, out.data(), 64);
    for (float v : out)
        ASSERT_TRUE(v >= -1.0f && v <= 1.0f) << v;
}

// A header claiming gigabytes of samples in a file of a few bytes: decoded as what is there,
// without the decoder first allocating what the header claims.
TEST_F(MixerTest, ChunksClaimingMoreThanTheFileAreCutToIt) {
    const float samples[] = {0.25f, -0.25f};
    std::string path = WriteFloatWav("claims_gigabytes", samples, 2, 0xCAFEBABEu);
    MixSound s;
    bool decoded = Ql_Sound_Decode(path.c_str(), &s);
    std::remove(path.c_str());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(s.frames, 2);
    EXPECT_LT(s.samples.capacity(), 1000u);
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
