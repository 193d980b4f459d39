// Playback through the whole program: a run recorded by the game plays back to the same end, and
// a changed byte is caught at the frame where it first tells.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/frames.h"
#include "app/replay_state.h"
#include "core/bindings.h"
#include "game/sim_state.h"
#include "game/step_effects.h"
#include "runs/run_file.h"
#include "runs/run_library.h"
#include "runs/run_recorder.h"
#include "scores/high_scores.h"
#include "tests/support/bot_run.h"
#include "tests/support/headless_fixture.h"
#include "tools/headless/autoplay.h"
#include "ui/front_end.h"
#include "ui/score_screens.h"
#include "world/camera.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), (long)bytes.size());
}

// Where in the file the record after frame n starts (a checkpoint after every 60th).
size_t RecordAfter(const std::vector<uint8_t>& bytes, uint32_t n) {
    RunReader r;
    std::string why;
    EXPECT_TRUE(RunReader_OpenBytes(&r, bytes, &why)) << why;
    RunCommand f;
    uint64_t hash;
    RunEnd end;
    while (r.frames < n && RunReader_Next(&r, &f, &hash, &end) != RunRecord::Over) {
    }
    return r.pos;
}

class PlaybackTest : public HeadlessTest {
  protected:
    // The bot's run, recorded for 1500 frames.
    void SetUp() override {
        // Its own file: ctest runs the tests of this suite side by side.
        path = ::testing::TempDir() +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".zrun";
        recorded = Record(path, Bindings_Defaults());
    }
    static std::vector<uint8_t> Record(const std::string& file, const Bindings& with) {
        StartHeadless(320, 240, 0.01f);
        QLH_ForceSeed(5);
        QLH_SetCountOnly(true);
        Recorder_RecordTo(file);
        Autoplay_Reset();
        App_Start();
        bindings = with;
        for (int f = 0; f < 1900; f++) {
            Autoplay_Frame();
            QLH_Step(1);
        }
        QLH_Shutdown(); // leaving the run finishes its recording
        return Bytes(file);
    }
    // Plays a recording as zorb-headless --verify does.
    const RunPlayback& Verify(const std::vector<uint8_t>& bytes) {
        Write(path, bytes);
        StartHeadless(640, 480, 0.01f);
        QLH_SetCountOnly(true);
        App_Start();
        std::string why;
        ReplayOptions options;
        options.draw = false;
        options.quitAtEnd = true;
        EXPECT_TRUE(App_Watch(path, options, &why)) << why;
        for (int i = 0; i < 100 && !QLH_Terminated(); i++)
            QLH_Step(1);
        return Replay_Result();
    }
    std::string path;
    std::vector<uint8_t> recorded;
};

} // namespace

TEST_F(PlaybackTest, AChangedByteTellsAtItsFrame) {
    ASSERT_GT(recorded.size(), 1000u);
    EXPECT_TRUE(RunPlayer_Proven(Verify(recorded))) << RunPlayer_Verdict(Replay_Result());
    ASSERT_GT(RunPlayer_Frames(Replay_Result()), 1200u);
    QLH_Shutdown();

    // A checkpoint's hash changed: caught at exactly that checkpoint.
    std::vector<uint8_t> bytes = recorded;
    bytes[RecordAfter(bytes, 600) + 5] ^= 0x10;
    const RunPlayback& hashed = Verify(bytes);
    EXPECT_TRUE(hashed.strayed);
    EXPECT_EQ(hashed.strayFrame, 600u);
    QLH_Shutdown();

    // A frame's record changed: caught by the first checkpoint after it, or as damage there.
    bytes = recorded;
    size_t at = RecordAfter(bytes, 700);
    bytes[at - 1] ^= 0x01; // the last byte of frame 700's record
    const RunPlayback& input = Verify(bytes);
    if (input.damaged)
        EXPECT_EQ(RunPlayer_Frames(input), 699u);
    else
        EXPECT_EQ(input.strayFrame, 720u) << RunPlayer_Verdict(input);
}

// The game's own way: a run that places is kept in Runs/ beside the leaderboard, and the
// leaderboard's number for its place plays it back to its end, then shows the leaderboard again.
// A recording holds commands, not keys: a run played with other bindings verifies on a game with
// the defaults.
TEST_F(PlaybackTest, ARunPlayedWithOtherBindingsVerifiesOnTheDefaults) {
    Bindings swapped = Bindings_Defaults();
    ASSERT_TRUE(Bindings_Bind(&swapped, (int)Action::Back, 0, Control{Control::Key, 'W'}).done);
    ASSERT_TRUE(Bindings_Bind(&swapped, (int)Action::Auto, 0, Control{Control::Key, '2'}).done);
    std::vector<uint8_t> remapped = Record(path, swapped);
    ASSERT_NE(remapped, recorded) << "the bot's keys did other things";
    EXPECT_TRUE(RunPlayer_Proven(Verify(remapped))) << RunPlayer_Verdict(Replay_Result());
}

TEST(LeaderboardRuns, APlacedRunIsWatchedFromItsPlace) {
    std::string scores = ::testing::TempDir() + "leaderboard_runs/HighScores.txt";
    std::filesystem::remove_all(std::filesystem::path(scores).parent_path());
    std::filesystem::create_directories(std::filesystem::path(scores).parent_path());
    LeaderboardPathFor guard(scores);
    std::ofstream table(scores); // a leaderboard any scoring run makes
    for (int p = 0; p < kHighScoreCount; p++)
        table << "AAA 0000000000\n";
    table.close();
    ASSERT_TRUE(BotPlaysUntil(Autoplay_RunOver));
    int place = BotsPlace();
    ASSERT_LT(place, kHighScoreCount) << "the bot's run must place";
    // The digest taken as the run ended is the filed recording's with its tag, entered after,
    // left empty: what the run's session is closed with.
    std::ifstream filed(RunLibrary_ForPlace(place), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(filed)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), (size_t)kRunTagOffset + 4);
    EXPECT_EQ(bytes.substr(kRunTagOffset, 3), "BOT");
    bytes.replace(kRunTagOffset, 4, 4, '\0');
    EXPECT_EQ(Recorder_EndDigest(), Sha256_Of(bytes.data(), bytes.size()));
    frontEnd.menuScreen = kScreenHighScores;
    QLH_Step(1);
    ASSERT_TRUE(highScoreRecorded[place]);
    QLH_KeyTap('1' + place);
    for (int f = 0; f < 100000 && QLH_CurrentUpdate() != Frames_Replay; f++)
        QLH_Step(1);
    ASSERT_EQ(QLH_CurrentUpdate(), Frames_Replay);
    for (int f = 0; f < 100000 && QLH_CurrentUpdate() == Frames_Replay; f++)
        QLH_Step(1);
    EXPECT_TRUE(RunPlayer_Proven(Replay_Result())) << RunPlayer_Verdict(Replay_Result());
    EXPECT_EQ(frontEnd.menuScreen, kScreenHighScores);
    QLH_Shutdown();
}

// Runs/ that cannot hold a recording (a file in its place): the run plays on unrecorded, and
// the game over says so, as a failed save of the leaderboard is said.
TEST(LeaderboardRuns, AnUnrecordedRunIsSaidAtTheGameOver) {
    std::string scores = ::testing::TempDir() + "unrecorded_runs/HighScores.txt";
    std::filesystem::path folder = std::filesystem::path(scores).parent_path();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Runs") << "not a folder";
    LeaderboardPathFor guard(scores);
    ASSERT_TRUE(BotPlaysUntil(Autoplay_GameOverShown));
    EXPECT_EQ(Recorder_Failure().rfind("could not record ", 0), 0u) << Recorder_Failure();
    EXPECT_TRUE(NextFrameDraws("THIS RUN WAS NOT RECORDED"))
        << "the game over does not say the run went unrecorded";
    QLH_Shutdown();
    std::filesystem::remove_all(folder);
}

// In the window a recording plays at its own pace: on a screen showing half as many frames, two
// recorded frames a frame, and with the Right arrow held, four times that.
TEST_F(PlaybackTest, TheWindowPlaysARecordingInRealTime) {
    Write(path, recorded);
    StartHeadless(320, 240, 0.02f); // recorded at 0.01 s a frame
    QLH_SetCountOnly(true);
    App_Start();
    std::string why;
    ASSERT_TRUE(App_Watch(path, ReplayOptions(), &why)) << why;
    QLH_Step(2); // the replay starts
    uint32_t start = RunPlayer_Frames(Replay_Result());
    QLH_Step(50);
    uint32_t normal = RunPlayer_Frames(Replay_Result()) - start;
    EXPECT_NEAR(normal, 100u, 2u);
    QLH_KeyDown(QL_KEY_RIGHT);
    QLH_Step(50);
    EXPECT_NEAR(RunPlayer_Frames(Replay_Result()) - start - normal, 400u, 8u);
}

// A paused replay shows the same picture frame after frame, and presents nothing new: its mark
// neither thickens nor keeps anything of the speed it showed before (1X or 4X).
TEST_F(PlaybackTest, APausedReplayKeepsItsPicture) {
    Write(path, recorded);
    StartHeadless(640, 480, 0.01f);
    App_Start();
    std::string why;
    auto markOfAPause = [&](bool fast) {
        EXPECT_TRUE(App_Watch(path, ReplayOptions(), &why)) << why;
        if (fast) QLH_KeyDown(QL_KEY_RIGHT);
        QLH_Step(30);
        QLH_KeyTap(' ');
        QLH_KeyUp(QL_KEY_RIGHT);
        QLH_Step(2);
        long presents = QL_System_GetPresentCount();
        std::vector<int> mark, later;
        for (int step = 0; step < 2; step++) {
            std::vector<int>& out = step == 0 ? mark : later;
            for (int y = 10; y < 20; y++) // inside the mark's plate
                for (int x = 10; x < 110; x++)
                    out.push_back(At(x, y).r * 65536 + At(x, y).g * 256 + At(x, y).b);
            QLH_Step(20);
        }
        EXPECT_EQ(mark, later) << "the paused picture changed";
        EXPECT_EQ(QL_System_GetPresentCount(), presents) << "the paused replay presented again";
        QLH_KeyTap(QL_KEY_ESCAPE);
        QLH_Step(2);
        return mark;
    };
    EXPECT_EQ(markOfAPause(false), markOfAPause(true)) << "the speed shows under PAUSED";
}

// A window resized under a paused replay gets a fresh, black canvas: the replay draws its run
// and its mark again at the new size, without playing a frame.
TEST_F(PlaybackTest, APausedReplayRepaintsAfterAResize) {
    Write(path, recorded);
    StartHeadless(640, 480, 0.01f);
    App_Start();
    std::string why;
    ASSERT_TRUE(App_Watch(path, ReplayOptions(), &why)) << why;
    QLH_Step(30);
    QLH_KeyTap(' ');
    QLH_Step(2);
    uint32_t frames = RunPlayer_Frames(Replay_Result());
    QL_System_SetWindowSize(800, 600);
    QLH_Step(2);
    ASSERT_EQ(QL_System_GetWindowWidth(), 800);
    int lit = 0;
    for (int x = 0; x < 800; x += 4)
        lit += At(x, 300).r + At(x, 300).g + At(x, 300).b > 0;
    EXPECT_GT(lit, 150) << "the paused replay is black after the resize";
    int yellow = 0; // the mark's text, on its plate
    for (int y = 10; y < 20; y++)
        for (int x = 10; x < 110; x++)
            yellow += At(x, y).r == 255 && At(x, y).g == 255 && At(x, y).b == 0;
    EXPECT_GT(yellow, 20) << "no mark";
    EXPECT_EQ(RunPlayer_Frames(Replay_Result()), frames) << "a paused replay played on";
}

namespace {

// The bot's run from the program's start, drawn in full, under a flashes and a shake setting:
// the state's hash at its end, and whether it was hit and shaken on the way.
uint64_t DrawnRunHash(int flashes, int shake, bool* hitAndShaken) {
    // The bot's run may end on the leaderboard: its own file, not the build's.
    std::string scores = ::testing::TempDir() + "comfort_scores.txt";
    std::remove(scores.c_str());
    LeaderboardPathFor leaderboard(scores);
    StartHeadless(320, 240, 0.05f);
    QLH_ForceSeed(2);
    App_Start();
    settings.flashes = flashes;
    settings.screenShake = shake;
    Autoplay_Reset();
    float hurt = 0.0f, shaken = 0.0f;
    for (int f = 0; f < 3500; f++) {
        Autoplay_Frame();
        QLH_Step(1);
        hurt = std::max(hurt, hurtFlash);
        shaken = std::max(shaken, cameraShake);
    }
    *hitAndShaken = hurt > 0.0f && shaken > 0.0f;
    uint64_t hash = SimState_Hash();
    QLH_Shutdown();
    return hash;
}

// Flashes and shake change only what is drawn: every setting of each plays the same run.
TEST(ComfortSettings, EveryFlashAndShakeSettingPlaysTheSameRun) {
    const struct {
        int flashes, shake;
    } settingsTried[] = {{kFlashesFull, 100},
                         {kFlashesSoft, 75},
                         {kFlashesOff, 50},
                         {kFlashesSoft, 25},
                         {kFlashesOff, 0}};
    bool hitAndShaken = false;
    const uint64_t expected = DrawnRunHash(kFlashesFull, 100, &hitAndShaken);
    ASSERT_TRUE(hitAndShaken) << "the run must be hit and shaken for the settings to tell";
    for (const auto& s : settingsTried)
        EXPECT_EQ(DrawnRunHash(s.flashes, s.shake, &hitAndShaken), expected)
            << "flashes " << s.flashes << ", shake " << s.shake;
}

} // namespace
