// The program shell: settings defaults, and what each state loads and frees, in order, seen
// through the headless driver's asset log.
#include <string>
#include <vector>

#include "app/app.h"
#include "app/frames.h"
#include "core/settings.h"
#include "game/game_update.h"
#include "game/player.h"
#include "tests/support/headless_fixture.h"
#include "ui/front_end.h"

namespace {

std::vector<std::string> Entries(QLH_AssetEntry::Kind kind, size_t from = 0) {
    std::vector<std::string> list;
    const auto& log = QLH_AssetLog();
    for (size_t i = from; i < log.size(); i++)
        if (log[i].kind == kind) list.push_back(log[i].type + " " + log[i].path);
    return list;
}

#define ART "image ./Assets/Art/"
#define SFX "sound ./Assets/Music/SFX/"
#define BGM "sound ./Assets/Music/BGM/"

const std::vector<std::string> kMenuLoads = {"font ./Assets/Fonts/Monodeco Bold.ttf",
                                             ART "HalvaneLogos/Halvane_WHITE.png",
                                             ART "HalvaneLogos/Halvane_BLACK.png",
                                             ART "FMODLogoBlack.png",
                                             ART "FMODLogoWhite.png",
                                             ART "Headphones.png",
                                             ART "GameLogo.png",
                                             ART "Cursor.png",
                                             BGM "Downtime.wav",
                                             SFX "BombGunBlip.wav"};

const std::vector<std::string> kEffects = {
    SFX "BulletRicochetLeft.wav", SFX "BulletRicochetRight.wav", SFX "EnemyDownLeft.wav",
    SFX "EnemyDownRight.wav",     SFX "EnemyHurtLeft.wav",       SFX "EnemyHurtRight.wav",
    SFX "EnemySpawnLeft.wav",     SFX "ExplosionLeft.wav",       SFX "ExplosionRight.wav",
    SFX "HealthUp.wav",           SFX "PickupCoin.wav",          SFX "PickupPower.wav",
    SFX "PlayerAutogun.wav",      SFX "PlayerShotgun.wav",       SFX "PlayerBombgun.wav",
    SFX "PlayerHurt.wav",         SFX "LightFootstepLeft.wav",   SFX "LightFootstepRight.wav",
    SFX "BombGunBlip.wav"};

const std::vector<std::string> kEnemySet = {
    SFX "LightFootstepLeft.wav",    SFX "LightFootstepRight.wav", SFX "MediumFootstepLeft.wav",
    SFX "MediumFootstepRight.wav",  SFX "HeavyFootstepLeft.wav",  SFX "HeavyFootstepRight.wav",
    SFX "TankRollLeft.wav",         SFX "TankRollRight.wav",      SFX "enemySingleShotLeft.wav",
    SFX "enemySingleShotRight.wav", SFX "enemyMultiShotLeft.wav", SFX "enemyMultiShotRight.wav",
    SFX "enemyBombShotLeft.wav",    SFX "enemyBombShotRight.wav"};

std::vector<std::string> Music() {
    std::vector<std::string> m;
    for (int i = 1; i <= 8; i++)
        m.push_back(BGM "Zorb" + std::to_string(i) + ".wav");
    return m;
}

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (const auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

class ShellTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        App_Start();
        QLH_Step(1);
    }
    // Escape, then Quit and Yes on the pause overlay.
    void QuitRun() {
        float w = (float)QL_System_GetWindowWidth(), h = (float)QL_System_GetWindowHeight();
        QLH_KeyTap(QL_KEY_ESCAPE);
        QLH_Step(1);
        ClickAt(0.5f * w, h / 1.5f);
        ClickAt(0.4375f * w, h / 1.5f);
        QLH_Step(1);
    }
    // From the title screen, skipping the splash sequence.
    void StartRun() {
        frontEnd.menuScreen = kScreenTitle;
        QLH_KeyTap('E');
        QLH_Step(2);
        ASSERT_EQ(QLH_CurrentUpdate(), Game_Update);
    }
};

// The game starts full screen, and the settings say so (P then cycles on from there).
TEST_F(ShellTest, StartsFullScreen) {
    EXPECT_EQ(settings.resolutionMode, 2);
    EXPECT_EQ(QL_System_GetWindowWidth(), QL_System_GetDisplayWidth());
    EXPECT_EQ(QL_System_GetWindowHeight(), QL_System_GetDisplayHeight());
}

// Without the focus, the front end and a paused run only wait for the player: at most 30 frames
// a second; with it back, the cap chosen.
TEST_F(ShellTest, WithoutTheFocusTheGameWaitsAtThirtyFramesASecond) {
    frontEnd.menuScreen = kScreenTitle;
    QLH_Step(1);
    EXPECT_EQ(QL_System_GetFrameCap(), 1000.0);
    QLH_SetFocus(false);
    QLH_Step(1);
    EXPECT_EQ(QL_System_GetFrameCap(), 30.0);
    QLH_SetFocus(true);
    QLH_Step(1);
    EXPECT_EQ(QL_System_GetFrameCap(), 1000.0);
    StartRun();
    QLH_SetFocus(false);
    QLH_Step(2);
    EXPECT_TRUE(runState.paused);
    EXPECT_EQ(QL_System_GetFrameCap(), 30.0);
    QLH_SetFocus(true);
}

TEST_F(ShellTest, FrontEndLoadsItsSetInOrder) {
    EXPECT_EQ(Entries(QLH_AssetEntry::Load), kMenuLoads);
    EXPECT_EQ(QLH_CurrentUpdate(), Menu_Update);
}

TEST_F(ShellTest, RunLoadsAndFreesItsSetsInOrder) {
    size_t mark = QLH_AssetLog().size();
    StartRun();
    // Everything the front end loaded but the font, in the same order.
    std::vector<std::string> menuFrees(kMenuLoads.begin() + 1, kMenuLoads.end());
    EXPECT_EQ(Entries(QLH_AssetEntry::Free, mark), menuFrees) << "the font is never freed";
    std::vector<std::string> gameLoads =
        Join({kEffects, Music(), {ART "Cursor.png", ART "Spritesheet.png"}, kEnemySet});
    EXPECT_EQ(Entries(QLH_AssetEntry::Load, mark), gameLoads);

    mark = QLH_AssetLog().size();
    QuitRun();
    ASSERT_EQ(QLH_CurrentUpdate(), Menu_Update);
    std::vector<std::string> effectFrees = kEffects;
    effectFrees.insert(effectFrees.begin() + 7, "sound "); // the empty EnemySpawn right handle
    std::vector<std::string> gameFrees =
        Join({{ART "Spritesheet.png"}, kEnemySet, effectFrees, Music(), {ART "Cursor.png"}});
    EXPECT_EQ(Entries(QLH_AssetEntry::Free, mark), gameFrees);
    EXPECT_EQ(Entries(QLH_AssetEntry::Load, mark), kMenuLoads) << "every entry reloads its set";
}

TEST_F(ShellTest, EveryRunStopsTheMenuMusicAndStartsTrackOneOnTheMusicGroup) {
    size_t mark = QLH_PlayLog().size();
    StartRun();
    const auto& plays = QLH_PlayLog();
    size_t i = mark;
    while (i < plays.size() && plays[i].path.find("/BGM/") == std::string::npos)
        i++;
    ASSERT_LT(i, plays.size()) << "no music started";
    const QLH_PlayEntry& music = plays[i];
    EXPECT_EQ(music.path, "./Assets/Music/BGM/Zorb1.wav");
    EXPECT_FLOAT_EQ(music.volume, 1.0f) << "musicVolume 0.5 x 2";
    EXPECT_TRUE(music.looping);
    EXPECT_EQ(music.group, 1);
}

// The pointer rests wherever the menus left it; the run's first frame must not turn by that.
TEST_F(ShellTest, RunStartsWithTheMouseCentredAndNoTurn) {
    QLH_MouseMove(3.0f, 5.0f);
    QLH_Step(1);
    StartRun();
    EXPECT_EQ(player.turnRate, 0.0f) << "the first frame turned by the menu's pointer offset";
    EXPECT_FLOAT_EQ(QL_Input_GetMouseX(), (float)(QL_System_GetWindowWidth() / 2));
}

// Music loudness is the track's volume times the music group's: it must follow the setting
// linearly after E and R have set the group, and stay 1.0 at the default.
TEST_F(ShellTest, GameMusicLoudnessFollowsTheSettingLinearly) {
    for (float music : {0.5f, 0.6f, 1.0f, 0.0f}) {
        settings.musicVolume = music;
        QL_Sound_SetGroupVolume(1, music * 2.0f); // what E and R do on the settings screen
        size_t mark = QLH_PlayLog().size();
        StartRun();
        const QLH_PlayEntry* track = nullptr;
        for (size_t i = mark; i < QLH_PlayLog().size(); i++)
            if (QLH_PlayLog()[i].path.find("/BGM/Zorb1") != std::string::npos)
                track = &QLH_PlayLog()[i];
        ASSERT_NE(track, nullptr);
        EXPECT_FLOAT_EQ(track->volume * QLH_GroupVolume(1), music * 2.0f) << "setting " << music;
        QuitRun();
    }
}

TEST_F(ShellTest, UnfocusedFrontEndDrawsNothing) {
    QLH_SetFocus(false);
    QLH_ResetDrawStats();
    QLH_Step(5);
    QLH_DrawStats stats = QLH_GetDrawStats();
    EXPECT_EQ(stats.quads + stats.rects + stats.images + stats.texts, 0);
}

} // namespace
