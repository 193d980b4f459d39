// Images: whole and partial draws, centre and corner modes, alpha, both filters, empty handles;
// and what any asset load does with a file that is not a plain, bounded one.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/support/headless_fixture.h"

namespace {

std::function<void()> draw;
void Update() {
    if (draw) draw();
}
QL_Image image;

class ImageTest : public HeadlessTest {
  protected:
    // Tests run in parallel processes: each picture file has its own name.
    std::string path = std::string("ql_image_test_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
    // A 320 x 240 picture: red on the left half, blue on the right.
    void SetUp() override {
        HeadlessTest::SetUp();
        draw = [] {
            QL_Settings_Background(QL_Color_Create(255, 0, 0, 255));
            QL_Settings_NoStroke();
            QL_Settings_Fill(QL_Color_Create(0, 0, 255, 255));
            QL_Graphics_DrawRect(160, 0, 160, 240);
        };
        RunEachFrame(Update);
        QLH_Step(1);
        ASSERT_TRUE(QLH_SavePng(path.c_str()));
        image = QL_Image_Load(path.c_str());
        ASSERT_NE(image, nullptr);
    }
    void TearDown() override {
        QL_Image_Free(&image);
        std::remove(path.c_str());
        draw = nullptr;
        HeadlessTest::TearDown();
    }
    void Show(std::function<void()> body) {
        draw = [body] {
            QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
            body();
        };
        QLH_Step(1);
    }
};

TEST_F(ImageTest, LoadsWithItsSize) {
    EXPECT_EQ(QL_Image_GetWidth(image), 320);
    EXPECT_EQ(QL_Image_GetHeight(image), 240);
}

TEST_F(ImageTest, SubImageTakesOnlyItsSourceRectangle) {
    Show([] {
        QL_Settings_ImageMode(1);
        QL_Image_DrawSubImage(image, 0, 0, 100, 100, 0, 0, 160, 240, 255);
        QL_Image_DrawSubImage(image, 100, 0, 100, 100, 160, 0, 320, 240, 255);
    });
    EXPECT_EQ(At(50, 50).r, 255);
    EXPECT_EQ(At(50, 50).b, 0);
    EXPECT_EQ(At(150, 50).b, 255);
    EXPECT_EQ(At(150, 50).r, 0);
    EXPECT_EQ(At(250, 50).r, 0) << "nothing drawn beyond the two";
}

TEST_F(ImageTest, CentreModeAndAlpha) {
    Show([] {
        QL_Settings_ImageMode(0);
        QL_Image_DrawSubImage(image, 100, 100, 40, 40, 0, 0, 10, 10, 128);
    });
    EXPECT_NEAR(At(100, 100).r, 128, 2);
    EXPECT_EQ(At(81, 81).r > 0, true);
    EXPECT_EQ(At(78, 100).r, 0) << "left of the centred box";
}

TEST_F(ImageTest, NearestFilterKeepsHardEdgesSmoothFilterBlends) {
    auto middle = [this](int filter) {
        Show([filter] {
            QL_Settings_ImageMode(1);
            QL_Settings_ImageFilterMode(filter);
            QL_Image_DrawSubImage(image, 0, 0, 80, 80, 158, 0, 162, 4, 255);
        });
        return At(40, 40);
    };
    Pixel nearest = middle(0);
    EXPECT_TRUE((nearest.r == 255 && nearest.b == 0) || (nearest.r == 0 && nearest.b == 255));
    Pixel smooth = middle(1);
    EXPECT_GT(smooth.r, 20);
    EXPECT_GT(smooth.b, 20);
}

// A picture drawn smooth in the same place frame after frame is resampled once and kept: the
// kept texels must paint the same bytes as resampling afresh, at any alpha, and a picture freed
// and replaced must never show through the one that takes its place.
TEST_F(ImageTest, KeptResamplingPaintsTheSameBytes) {
    auto canvas = [] {
        std::vector<int> all;
        for (int y = 0; y < 240; y += 3)
            for (int x = 0; x < 320; x += 3) {
                Pixel p = At(x, y);
                all.push_back(p.r << 16 | p.g << 8 | p.b);
            }
        return all;
    };
    struct Case {
        float shift;
        int alpha;
    } cases[] = {{0.0f, 255}, {0.37f, 150}}; // each a new place: its first frame is afresh
    for (const Case& c : cases) {
        std::vector<std::vector<int>> frames;
        for (int i = 0; i < 3; i++) { // afresh, then kept from the second frame on
            Show([c] {
                QL_Settings_ImageMode(1);
                QL_Settings_ImageFilterMode(1);
                QL_Image_DrawSubImage(image, 13.0f + c.shift, 7.0f, 211.0f, 157.0f, 150, 20, 170,
                                      40, c.alpha);
            });
            frames.push_back(canvas());
        }
        EXPECT_EQ(frames[0], frames[1]) << "shift " << c.shift << ", alpha " << c.alpha;
        EXPECT_EQ(frames[0], frames[2]) << "shift " << c.shift << ", alpha " << c.alpha;
    }
    // Another picture in the place of the freed one: all blue where the first was red and blue.
    QL_Image_Free(&image);
    Show([] { QL_Settings_Background(QL_Color_Create(0, 0, 255, 255)); });
    ASSERT_TRUE(QLH_SavePng(path.c_str()));
    image = QL_Image_Load(path.c_str());
    ASSERT_NE(image, nullptr);
    Show([] {
        QL_Settings_ImageMode(1);
        QL_Settings_ImageFilterMode(1);
        QL_Image_DrawSubImage(image, 13.0f, 7.0f, 211.0f, 157.0f, 150, 20, 170, 40, 255);
    });
    EXPECT_EQ(At(60, 60).r, 0) << "nothing of the freed picture";
    EXPECT_EQ(At(60, 60).b, 255);
}

TEST_F(ImageTest, HugePicturesAreCutToTheCanvas) {
    // A sprite right in front of the eye: tens of thousands of pixels wide and far off-centre.
    Show([] {
        QL_Settings_ImageMode(0);
        QL_Image_DrawSubImage(image, -15000.0f, -9000.0f, 60000.0f, 60000.0f, 0, 0, 160, 240, 255);
    });
    EXPECT_EQ(At(10, 10).r, 255) << "the left half of the picture covers the canvas";
    EXPECT_EQ(At(300, 230).r, 255);
    Show([] {
        QL_Settings_ImageMode(1);
        QL_Image_Draw(image, -1e7f, -10.0f, 2e7f, 500.0f, 255);
        QL_Image_Draw(image, 5e8f, 5e8f, 10.0f, 10.0f, 255); // far away: nothing
        QL_Image_Draw(image, 0.0f / 0.0f, 0.0f, 10.0f, 10.0f, 255);
    });
    EXPECT_GT(At(160, 100).b + At(160, 100).r, 0) << "the middle of a 2e7-wide picture";
    EXPECT_EQ(At(160, 100).g, 0);
}

// A 69-byte PNG whose header claims 20,000 x 20,000 pixels is refused from its header, before
// anything is decoded; a real picture just within the bound still loads.
TEST_F(ImageTest, PicturesClaimingHugeSizesAreRefused) {
    const unsigned char ihdr[] = {0x89, 'P',  'N', 'G', '\r', '\n', 0x1a, '\n', 0,    0, 0,
                                  13,   'I',  'H', 'D', 'R',  0,    0,    0x4e, 0x20, 0, 0,
                                  0x4e, 0x20, 8,   6,   0,    0,    0,    0,    0,    0, 0};
    std::string huge = path + ".huge.png";
    FILE* f = std::fopen(huge.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(ihdr, 1, sizeof ihdr, f);
    unsigned char rest[36] = {0}; // a broken data chunk: 69 bytes in all
    std::fwrite(rest, 1, sizeof rest, f);
    std::fclose(f);
    QL_Image refused = QL_Image_Load(huge.c_str());
    EXPECT_EQ(refused, nullptr);
    // Other formats are not tried at all: a damaged GIMP header once asked for petabytes.
    f = std::fopen(huge.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const char xcf[] = "gimp xcf AVE\n~\n\xcb\x0b\xcb\x0b\x18\r\x18\re\x0ee\x0e";
    std::fwrite(xcf, 1, sizeof xcf, f);
    std::fclose(f);
    EXPECT_EQ(QL_Image_Load(huge.c_str()), nullptr);
    std::remove(huge.c_str());
    QL_System_SetWindowSize(8192, 2);
    draw = [] { QL_Settings_Background(QL_Color_Create(0, 0, 0, 255)); };
    QLH_Step(1);
    std::string wide = path + ".wide.png";
    ASSERT_TRUE(QLH_SavePng(wide.c_str()));
    QL_Image allowed = QL_Image_Load(wide.c_str());
    EXPECT_NE(allowed, nullptr) << "8192 pixels wide is allowed";
    QL_Image_Free(&allowed);
    std::remove(wide.c_str());
}

TEST_F(ImageTest, EmptyHandlesAndMissingFilesDoNothing) {
    QL_Image missing = QL_Image_Load("no/such/file.png");
    EXPECT_EQ(missing, nullptr);
    Show([missing] {
        QL_Image_Draw(missing, 10, 10, 50, 50, 255);
        QL_Image_DrawSubImage(missing, 10, 10, 50, 50, 0, 0, 5, 5, 255);
        QL_Image_DrawSubImage(image, 10, 10, 50, 50, 5, 5, 5, 5, 255); // empty source
        QL_Image_DrawSubImage(image, -9e6f, 0, 1e7f, 50, 300, 200, 900, 700,
                              255); // past the picture
    });
    EXPECT_EQ(At(20, 20).r, 0);
    QL_Image_Free(&missing);
    QL_Image_Free(nullptr);
    QL_Sound_PlayAdvanced(nullptr, 1.0f, 1.0f, false, 0);
    QL_Sound_Free(nullptr);
    QL_Font_Set(nullptr);
    QL_Font_DrawText("nothing", 10, 10);
    EXPECT_EQ(QLH_ActiveVoices(), 0);
}

// Whatever stands in an asset's place, loading returns at once with nothing: a FIFO must not
// hang the start, a device must not be read for ever, a file past 64 MB is not read at all.
TEST_F(ImageTest, AssetsAreReadOnlyFromRegularFilesOfBoundedSize) {
    namespace fs = std::filesystem;
    const std::string base = path + ".odd";
    struct Case {
        const char* what;
        std::function<void(const std::string&)> make;
    };
    std::vector<Case> cases = {
        {"a 65 MB file",
         [](const std::string& p) {
             std::ofstream(p) << "x";
             fs::resize_file(p, 65u << 20);
         }},
        {"a folder", [](const std::string& p) { fs::create_directory(p); }},
#ifndef _WIN32
        {"a FIFO", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }},
        {"a link to /dev/zero", [](const std::string& p) { fs::create_symlink("/dev/zero", p); }},
#endif
    };
    for (const Case& c : cases) {
        for (const char* kind : {"image", "sound", "font"}) {
            const std::string odd = base + "." + kind;
            c.make(odd);
            bool loaded = false;
            if (kind[0] == 'i') {
                QL_Image i = QL_Image_Load(odd.c_str());
                loaded = i != nullptr;
                QL_Image_Free(&i);
            } else if (kind[0] == 's') {
                QL_Sound s = QL_Sound_Load(odd.c_str());
                loaded = s != nullptr;
                QL_Sound_Free(s);
            } else {
                QL_Font f = QL_Font_Load(odd.c_str());
                loaded = f != nullptr;
                QL_Font_Free(&f);
            }
            EXPECT_FALSE(loaded) << kind << " from " << c.what;
            fs::remove(odd);
        }
    }
}

#ifndef _WIN32
// The installed game's menu font is a link to the system's copy of the font: a link to a regular
// file loads that file, and a link to nothing loads nothing.
TEST_F(ImageTest, AFontLoadsThroughALinkToARegularFile) {
    namespace fs = std::filesystem;
    const std::string link = path + ".link.ttf";
    fs::create_symlink(fs::absolute("./Assets/Fonts/Monodeco Bold.ttf"), link);
    QL_Font linked = QL_Font_Load(link.c_str());
    EXPECT_NE(linked, nullptr);
    QL_Font_Free(&linked);
    fs::remove(link);
    fs::create_symlink(path + ".nowhere.ttf", link);
    QL_Font dangling = QL_Font_Load(link.c_str());
    EXPECT_EQ(dangling, nullptr);
    QL_Font_Free(&dangling);
    fs::remove(link);
}
#endif

} // namespace
