// The generated assets: every file the game loads exists and loads; the sprite sheet has art in
// every frame and distinct neighbouring frames; the sounds are audible, unclipped, one-sided where
// they should be; the music loops join; and the generator is repeatable.
#include <SDL.h>
#include <SDL_image.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game/sprite_frames.h"
#include "quillon/headless.h"
#include "quillon/quillon.h"
#include "tests/assets/wav_reader.h"

namespace {

const std::string kRoot = "./Assets/";

const char* kImages[] = {"Art/HalvaneLogos/Halvane_WHITE.png",
                         "Art/HalvaneLogos/Halvane_BLACK.png",
                         "Art/FMODLogoBlack.png",
                         "Art/FMODLogoWhite.png",
                         "Art/Headphones.png",
                         "Art/GameLogo.png",
                         "Art/Cursor.png",
                         "Art/Spritesheet.png"};

const char* kPairs[] = {"BulletRicochet",  "EnemyDown",      "EnemyHurt",     "Explosion",
                        "LightFootstep",   "MediumFootstep", "HeavyFootstep", "TankRoll",
                        "enemySingleShot", "enemyMultiShot", "enemyBombShot"};

const char* kSingles[] = {"HealthUp",      "PickupCoin",    "PickupPower", "PlayerAutogun",
                          "PlayerShotgun", "PlayerBombgun", "PlayerHurt",  "BombGunBlip"};

std::vector<std::string> MusicFiles() {
    std::vector<std::string> m = {"Music/BGM/Downtime.wav"};
    for (int i = 1; i <= 8; i++)
        m.push_back("Music/BGM/Zorb" + std::to_string(i) + ".wav");
    return m;
}

std::string Sfx(const std::string& name) {
    return "Music/SFX/" + name + ".wav";
}

TEST(Assets, EveryFileLoadsThroughTheEngine) {
    QLH_Start(64, 64, 0.01f);
    for (const char* path : kImages) {
        QL_Image img = QL_Image_Load((kRoot + path).c_str());
        EXPECT_NE(img, nullptr) << path;
        QL_Image_Free(&img);
    }
    std::vector<std::string> sounds = MusicFiles();
    for (const char* p : kPairs) {
        sounds.push_back(Sfx(std::string(p) + "Left"));
        sounds.push_back(Sfx(std::string(p) + "Right"));
    }
    for (const char* s : kSingles)
        sounds.push_back(Sfx(s));
    sounds.push_back(Sfx("EnemySpawnLeft"));
    for (const std::string& path : sounds) {
        QL_Sound s = QL_Sound_Load((kRoot + path).c_str());
        EXPECT_NE(s, nullptr) << path;
        QL_Sound_Free(s);
    }
    QL_Font font = QL_Font_Load((kRoot + "Fonts/Monodeco Bold.ttf").c_str());
    EXPECT_NE(font, nullptr);
    QL_Font_Free(&font);
    QLH_Shutdown();
}

SDL_Surface* LoadRgba(const std::string& path) {
    SDL_Surface* raw = IMG_Load((kRoot + path).c_str());
    if (!raw) return nullptr;
    SDL_Surface* s = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGBA32, 0);
    SDL_FreeSurface(raw);
    return s;
}

// The logos are drawn emblems, not a word on a flat fill: gradients give them hundreds of
// colours, and each shadow file is its logo's silhouette, so it never shows beside the logo.
TEST(Assets, LogosAreEmblemsWithMatchingShadows) {
    struct Case {
        const char* path;
        const char* shadow;
        double aspect;
    } cases[] = {
        {"Art/HalvaneLogos/Halvane_WHITE.png", "Art/HalvaneLogos/Halvane_BLACK.png", 1026.0 / 249},
        {"Art/FMODLogoWhite.png", "Art/FMODLogoBlack.png", 728.0 / 192},
        {"Art/GameLogo.png", nullptr, 570.0 / 486}};
    for (const Case& c : cases) {
        SDL_Surface* s = LoadRgba(c.path);
        ASSERT_NE(s, nullptr) << c.path;
        EXPECT_NEAR((double)s->w / s->h, c.aspect, 0.01) << c.path;
        std::vector<uint32_t> colours;
        const uint32_t* px = (const uint32_t*)s->pixels;
        for (int i = 0; i < s->w * s->h; i++)
            if ((px[i] >> 24) == 255) colours.push_back(px[i]);
        std::sort(colours.begin(), colours.end());
        colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
        EXPECT_GT(colours.size(), 300u) << c.path;
        SDL_Surface* shadow = c.shadow ? LoadRgba(c.shadow) : nullptr;
        if (shadow) {
            ASSERT_EQ(shadow->w * shadow->h, s->w * s->h) << c.shadow;
            int differ = 0;
            for (int i = 0; i < s->w * s->h; i++)
                differ += ((const uint32_t*)shadow->pixels)[i] >> 24 != px[i] >> 24;
            EXPECT_EQ(differ, 0) << c.shadow << " is not the logo's silhouette";
            SDL_FreeSurface(shadow);
        }
        SDL_FreeSurface(s);
    }
}

TEST(Assets, ImageShapes) {
    SDL_Surface* cursor = IMG_Load((kRoot + "Art/Cursor.png").c_str());
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->w, 32);
    EXPECT_EQ(cursor->h, 32);
    SDL_FreeSurface(cursor);
}

class SheetTest : public ::testing::Test {
  protected:
    SDL_Surface* sheet = nullptr;
    void SetUp() override {
        SDL_Surface* raw = IMG_Load((kRoot + "Art/Spritesheet.png").c_str());
        ASSERT_NE(raw, nullptr);
        sheet = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_RGBA32, 0);
        SDL_FreeSurface(raw);
    }
    void TearDown() override { SDL_FreeSurface(sheet); }
    const uint8_t* Px(int x, int y) const {
        return (const uint8_t*)sheet->pixels + y * sheet->pitch + x * 4;
    }
    int OpaquePixels(const SheetRect& r) const {
        int n = 0;
        for (int y = (int)r.top; y < (int)r.bottom; y++)
            for (int x = (int)r.left; x < (int)r.right; x++)
                n += Px(x, y)[3] == 255;
        return n;
    }
    bool Same(const SheetRect& a, const SheetRect& b) const {
        for (int y = 0; y < (int)(a.bottom - a.top); y++)
            for (int x = 0; x < (int)(a.right - a.left); x++)
                if (std::memcmp(Px((int)a.left + x, (int)a.top + y),
                                Px((int)b.left + x, (int)b.top + y), 4))
                    return false;
        return true;
    }
    bool SameRect(const SheetRect& a, const SheetRect& b) const {
        return a.left == b.left && a.top == b.top;
    }
    // Frames 0 and 1 of a set of four are always distinct on the sheet.
    void CheckSet(const SheetRect* frames, const char* name) {
        for (int i = 0; i < 4; i++)
            EXPECT_GT(OpaquePixels(frames[i]), 4) << name << " frame " << i;
        for (int i = 0; i + 1 < 4; i++) {
            if (SameRect(frames[i], frames[i + 1])) continue;
            EXPECT_FALSE(Same(frames[i], frames[i + 1]))
                << name << " frames " << i << ", " << i + 1;
        }
    }
};

TEST_F(SheetTest, IsLargeEnoughAndTransparentOutsideTheFrames) {
    EXPECT_GE(sheet->w, 256);
    EXPECT_GE(sheet->h, 704);
    EXPECT_EQ(Px(200, 40)[3], 0) << "an unused row of the sheet";
}

TEST_F(SheetTest, EveryProjectileAndPickupFrameHoldsArt) {
    CheckSet(kAutoBulletFrames, "AUTO bullet");
    CheckSet(kSpreadPelletFrames, "SPREAD pellet");
    CheckSet(kBombFrames, "bomb");
    CheckSet(kPlayerFragmentFrames, "player fragment");
    CheckSet(kEnemyBulletFrames, "enemy bullet");
    CheckSet(kEnemyBombFrames, "enemy bomb");
    const char* names[] = {"coin", "AUTO power", "SPREAD power", "BOMB power"};
    for (int k = 0; k < 4; k++)
        CheckSet(kPickupFrames[k], names[k]);
    EXPECT_FALSE(Same(kAutoBulletFrames[0], kEnemyBulletFrames[0]))
        << "player and enemy shots differ";
    EXPECT_FALSE(Same(kPlayerFragmentFrames[0], kEnemyBulletFrames[0]));
}

TEST_F(SheetTest, EveryEnemyFrameHoldsArtAndGroupsDiffer) {
    for (int k = 0; k < kEnemyKinds; k++) {
        const SheetRect* f = kEnemyFrames.frames[k];
        std::string name = "kind " + std::to_string(k);
        for (int g = 0; g < 4; g++)
            CheckSet(f + 4 * g, (name + " group " + std::to_string(g)).c_str());
        for (int g = 0; g < 4; g++)
            for (int h = g + 1; h < 4; h++)
                EXPECT_FALSE(Same(f[4 * g], f[4 * h])) << name << " groups " << g << ", " << h;
    }
}

// A walker steps in every view: from each walking frame to the next, something moves in the
// bottom third of the frame, where the legs (or the treads) are, and not only a glint above.
TEST_F(SheetTest, EveryWalkingFrameShowsAStep) {
    for (int k = 0; k < kEnemyKinds; k++) {
        const SheetRect* f = kEnemyFrames.frames[k];
        for (int e = 0; e < 16; e++) {
            const SheetRect& a = f[e];
            const SheetRect& b = f[e / 4 * 4 + (e + 1) % 4];
            int h = (int)(a.bottom - a.top), w = (int)(a.right - a.left), moved = 0;
            for (int y = h - h / 3; y < h; y++)
                for (int x = 0; x < w; x++)
                    moved += std::memcmp(Px((int)a.left + x, (int)a.top + y),
                                         Px((int)b.left + x, (int)b.top + y), 4) != 0;
            EXPECT_GE(moved, w) << "kind " << k << " group " << e / 4 << " frame " << e % 4;
        }
    }
}

TEST_F(SheetTest, CoinIsGoldAndWeaponPickupsCarryTheirColours) {
    struct Case {
        int kind, r, g, b;
    } cases[] = {{1, 255, 0, 255}, {2, 0, 255, 255}, {3, 255, 255, 0}};
    for (const Case& c : cases) {
        const uint8_t* p =
            Px((int)kPickupFrames[c.kind][0].left + 8, (int)kPickupFrames[c.kind][0].top + 12);
        EXPECT_EQ(p[0], c.r) << "pickup " << c.kind;
        EXPECT_EQ(p[1], c.g) << "pickup " << c.kind;
        EXPECT_EQ(p[2], c.b) << "pickup " << c.kind;
    }
    const uint8_t* coin = Px(80 + 8, 0 + 3);
    EXPECT_GT(coin[0], 200);
    EXPECT_GT(coin[1], 150);
    EXPECT_LT(coin[2], 120);
}

float Peak(const std::vector<float>& v) {
    float p = 0;
    for (float x : v)
        p = std::max(p, std::fabs(x));
    return p;
}

TEST(Sounds, LeftAndRightFilesKeepToTheirSide) {
    std::vector<std::string> lefts = {"EnemySpawn"}, rights;
    for (const char* p : kPairs) {
        lefts.push_back(p);
        rights.push_back(p);
    }
    for (const std::string& name : lefts) {
        WavData w;
        ASSERT_TRUE(Wav_Read(kRoot + Sfx(name + "Left"), &w)) << name;
        EXPECT_EQ(Peak(w.right), 0.0f) << name << "Left has sound on the right";
        EXPECT_GT(Peak(w.left), 0.1f) << name << "Left";
    }
    for (const std::string& name : rights) {
        WavData w;
        ASSERT_TRUE(Wav_Read(kRoot + Sfx(name + "Right"), &w)) << name;
        EXPECT_EQ(Peak(w.left), 0.0f) << name << "Right has sound on the left";
        EXPECT_GT(Peak(w.right), 0.1f) << name << "Right";
    }
}

TEST(Sounds, EffectsAreAudibleUnclippedAndDistinct) {
    std::vector<std::string> files;
    for (const char* s : kSingles)
        files.push_back(Sfx(s));
    for (const char* p : kPairs)
        files.push_back(Sfx(std::string(p) + "Left"));
    std::vector<std::vector<float>> seen;
    for (const std::string& f : files) {
        WavData w;
        ASSERT_TRUE(Wav_Read(kRoot + f, &w)) << f;
        float peak = std::max(Peak(w.left), Peak(w.right));
        // Levels for their use are the mix test's; here, only that each holds a sound at all.
        EXPECT_GT(peak, 0.03f) << f << " is nearly silent";
        EXPECT_LT(peak, 0.99f) << f << " clips";
        std::vector<float> mono = w.left;
        for (size_t i = 0; i < mono.size(); i++)
            mono[i] += w.right[i];
        EXPECT_EQ(std::count(seen.begin(), seen.end(), mono), 0) << f << " repeats another effect";
        seen.push_back(mono);
    }
}

// The jump from the last sample back to the first is no bigger than the track's ordinary
// sample-to-sample steps.
TEST(Sounds, MusicLoopsJoinWithoutAJump) {
    double lastLength = 1e9;
    for (const std::string& f : MusicFiles()) {
        WavData w;
        ASSERT_TRUE(Wav_Read(kRoot + f, &w)) << f;
        ASSERT_GT(w.left.size(), 1000u);
        for (const std::vector<float>* ch : {&w.left, &w.right}) {
            std::vector<float> steps;
            for (size_t i = 1; i < ch->size(); i++)
                steps.push_back(std::fabs((*ch)[i] - (*ch)[i - 1]));
            std::sort(steps.begin(), steps.end());
            float typical = steps[steps.size() * 99 / 100];
            float seam = std::fabs(ch->front() - ch->back());
            EXPECT_LE(seam, typical) << f;
        }
        EXPECT_LT(Peak(w.left), 0.99f) << f;
        double length = (double)w.left.size() / w.rate;
        if (f.find("Zorb") != std::string::npos) {
            EXPECT_LT(length, lastLength)
                << f << ": eight bars at a faster tempo than the stage before";
            lastLength = length;
        }
    }
}

std::vector<char> Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

TEST(Generator, TwoRunsWriteIdenticalBytes) {
    ASSERT_EQ(std::system("./zorb-assetgen gen_a > /dev/null && ./zorb-assetgen gen_b > /dev/null"),
              0);
    std::vector<std::string> files = {"Art/Spritesheet.png", "Art/GameLogo.png",
                                      "Art/Headphones.png", "Music/BGM/Zorb8.wav",
                                      "Music/SFX/ExplosionLeft.wav"};
    for (const std::string& f : files) {
        std::vector<char> a = Bytes("gen_a/" + f), b = Bytes("gen_b/" + f);
        EXPECT_FALSE(a.empty()) << f;
        EXPECT_EQ(a, b) << f;
        EXPECT_EQ(a, Bytes(kRoot + f)) << f << " differs from the build's copy";
    }
    std::system("rm -rf gen_a gen_b");
}

} // namespace
