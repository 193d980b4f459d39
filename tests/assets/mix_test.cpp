// The sound mix at default settings, measured on what the mixer puts out: two minutes of the bot
// playing, and menu blips over the title music. Nothing may lean on the limiter, and each sound
// sits at the level its use needs: the AUTO shot just above the music, the player's steps and the
// BOMB gun's reload ticks well below the shot.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "app/app.h"
#include "app/frames.h"
#include "tests/assets/wav_reader.h"
#include "tests/support/headless_fixture.h"
#include "tools/headless/autoplay.h"

namespace {

const std::string kSfx = "Assets/Music/SFX/";

double Db(double rms) {
    return 20.0 * std::log10(std::max(rms, 1e-9));
}

// The share of output samples the limiter held at full scale.
double LimitedShare(const std::vector<float>& out) {
    long held = std::count_if(out.begin(), out.end(), [](float v) { return std::fabs(v) >= 1.0f; });
    return out.empty() ? 1.0 : (double)held / (double)out.size();
}

// The RMS over the first file's length, both channels, of files played together at volumes (a
// pair of Left and Right files is one sound placed between the ears).
double MixedRms(const std::vector<std::pair<std::string, float>>& voices) {
    std::vector<double> left, right;
    for (const auto& [path, volume] : voices) {
        WavData w;
        EXPECT_TRUE(Wav_Read(path, &w)) << path;
        if (left.empty()) left.assign(w.left.size(), 0.0), right.assign(w.left.size(), 0.0);
        for (size_t i = 0; i < left.size() && i < w.left.size(); i++) {
            left[i] += volume * w.left[i];
            right[i] += volume * w.right[i];
        }
    }
    double sum = 0.0;
    for (size_t i = 0; i < left.size(); i++)
        sum += left[i] * left[i] + right[i] * right[i];
    return left.empty() ? 0.0 : std::sqrt(sum / (2.0 * (double)left.size()));
}

double FileSeconds(const std::string& path) {
    WavData w;
    return Wav_Read(path, &w) && w.rate > 0 ? (double)w.left.size() / w.rate : 0.0;
}

class MixTest : public HeadlessTest {
  protected:
    // The volume (with its group's) at which a file was last played, or -1 if it never was.
    static float PlayedVolume(const std::string& file) {
        const QLH_PlayEntry* e = LastPlay(file);
        return e ? e->volume * QLH_GroupVolume(e->group) : -1.0f;
    }
    void SetUp() override {
        StartHeadless(640, 360, 1.0f / 60.0f);
        QLH_ForceSeed(3);
        QLH_SetCountOnly(true);
        QLH_SetAudioCapture(true);
        Autoplay_Reset();
        App_Start();
    }
};

TEST_F(MixTest, TwoMinutesOfPlayKeepEverySoundInItsPlace) {
    for (int f = 0; f < 120 * 60 && !Autoplay_RunOver(); f++) {
        Autoplay_Frame();
        QLH_Step(1);
    }
    const double limited = LimitedShare(QLH_AudioCapture());
    EXPECT_LE(limited, 1e-4) << "samples at the limiter";

    const float shotVolume = PlayedVolume("PlayerAutogun.wav");
    const float musicVolume = PlayedVolume("Zorb1.wav");
    const float tickVolume = PlayedVolume("BombGunBlip.wav");
    ASSERT_GT(shotVolume, 0.0f) << "the bot fired the AUTO gun";
    ASSERT_GT(musicVolume, 0.0f) << "the first stage's track played";
    ASSERT_GT(tickVolume, 0.0f) << "the BOMB gun ticked while reloading";
    // The louder and the softer foot, as the player's steps are played.
    const float stepVolumes[2] = {PlayedVolume("LightFootstepLeft.wav"),
                                  PlayedVolume("LightFootstepRight.wav")};
    const float loud = std::max(stepVolumes[0], stepVolumes[1]);
    const float soft = std::min(stepVolumes[0], stepVolumes[1]);
    ASSERT_GT(soft, 0.0f) << "the player walked";

    const double shot = Db(MixedRms({{kSfx + "PlayerAutogun.wav", shotVolume}}));
    const double step = Db(MixedRms(
        {{kSfx + "LightFootstepLeft.wav", loud}, {kSfx + "LightFootstepRight.wav", soft}}));
    const double tick = Db(MixedRms({{kSfx + "BombGunBlip.wav", tickVolume}}));
    std::printf("mix: %.4f %% of samples at the limiter; AUTO shot %.1f dBFS, steps %.1f, "
                "reload tick %.1f (%.0f ms)\n",
                100.0 * limited, shot, step, tick, 1000.0 * FileSeconds(kSfx + "BombGunBlip.wav"));
    for (int stage = 1; stage <= 8; stage++) {
        const std::string track = "Assets/Music/BGM/Zorb" + std::to_string(stage) + ".wav";
        const double music = Db(MixedRms({{track, musicVolume}}));
        std::printf("mix: stage %d music %.1f dBFS, the shot %+.1f dB above it\n", stage, music,
                    shot - music);
        EXPECT_GE(shot - music, 0.0) << "stage " << stage;
        EXPECT_LE(shot - music, 6.0) << "stage " << stage;
    }
    EXPECT_LE(step, shot - 6.0) << "the player's steps under the shot";
    EXPECT_LE(tick, shot - 12.0) << "reload ticks under the shot";
    EXPECT_LE(FileSeconds(kSfx + "BombGunBlip.wav"), 0.030) << "a tick is a short click";
}

// The settings screen blips at every key at the effect volume; the title music plays on.
TEST_F(MixTest, MenuBlipsOverTheTitleMusicStayBelowTheLimiter) {
    QLH_Step(600); // the splashes, to the title
    QLH_KeyTap('S');
    QLH_Step(30);
    for (int i = 0; i < 40; i++) {
        QLH_KeyTap(i % 2 ? 'C' : 'V'); // the field of view, down and up
        QLH_Step(12);
    }
    ASSERT_GT(PlayedVolume("Downtime.wav"), 0.0f) << "the title music played";
    ASSERT_GE(Plays("BombGunBlip"), 20) << "the keys blipped";
    const std::vector<float>& out = QLH_AudioCapture();
    float peak = 0.0f;
    for (float v : out)
        peak = std::max(peak, std::fabs(v));
    std::printf("mix: title music with menu blips peaks at %.1f dBFS\n", Db(peak));
    EXPECT_LT(peak, 1.0f);
}

} // namespace
