// The persistent canvas and shapes: only the background clears, quads and rectangles fill and
// outline where they should, alpha blends, and an alpha-8 black veil darkens step by step.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

#include "tests/support/headless_fixture.h"

namespace {

std::function<void()> draw;
void Update() {
    if (draw) draw();
}

class CanvasTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp();
        draw = nullptr;
        RunEachFrame(Update);
    }
    void TearDown() override {
        draw = nullptr;
        HeadlessTest::TearDown();
    }
};

TEST_F(CanvasTest, PictureStaysUntilTheBackgroundClearsIt) {
    draw = [] {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        QL_Settings_NoStroke();
        QL_Settings_Fill(QL_Color_Create(255, 0, 0, 255));
        QL_Graphics_DrawRect(10, 10, 20, 20);
    };
    QLH_Step(1);
    draw = [] {};
    QLH_Step(3);
    EXPECT_EQ(At(15, 15).r, 255) << "an uncleared frame keeps its last picture";
    draw = [] { QL_Settings_Background(QL_Color_Create(0, 0, 255, 255)); };
    QLH_Step(1);
    EXPECT_EQ(At(15, 15).b, 255);
    EXPECT_EQ(At(15, 15).r, 0);
}

TEST_F(CanvasTest, BlackVeilDarkensStepByStepDownToBlack) {
    draw = [] { QL_Settings_Background(QL_Color_Create(200, 200, 200, 255)); };
    QLH_Step(1);
    draw = [] {
        QL_Settings_NoStroke();
        QL_Settings_Fill(QL_Color_Create(0, 0, 0, 8));
        QL_Graphics_DrawRect(0, 0, 320, 240);
    };
    int last = At(100, 100).r;
    for (int frame = 0; frame < 20; frame++) {
        QLH_Step(1);
        int now = At(100, 100).r;
        EXPECT_LT(now, last) << "frame " << frame;
        last = now;
    }
    QLH_Step(600);
    EXPECT_EQ(At(100, 100).r, 0) << "the veil must reach black";
}

TEST_F(CanvasTest, QuadFillsItsInsideAndOutlineUsesStroke) {
    draw = [] {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        QL_Settings_Fill(QL_Color_Create(0, 255, 0, 255));
        QL_Settings_Stroke(QL_Color_Create(255, 0, 255, 255));
        QL_Graphics_DrawQuad(50, 50, 150, 50, 150, 150, 50, 150);
    };
    QLH_Step(1);
    EXPECT_EQ(At(100, 100).g, 255);
    EXPECT_EQ(At(100, 100).r, 0);
    EXPECT_EQ(At(200, 100).g, 0) << "outside the quad";
    Pixel edge = At(100, 50);
    EXPECT_EQ(edge.r, 255) << "outline on the top edge";
    EXPECT_EQ(edge.b, 255);
}

TEST_F(CanvasTest, RectModesAndTransparentStroke) {
    draw = [] {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        QL_Settings_Stroke(QL_Color_Create(0, 0, 0, 0));
        QL_Settings_Fill(QL_Color_Create(255, 255, 255, 255));
        QL_Settings_RectMode(0);
        QL_Graphics_DrawRect(100, 100, 20, 20); // centred: 90..110
        QL_Settings_RectMode(1);
        QL_Graphics_DrawRect(200, 100, 20, 20); // corner: 200..220
    };
    QLH_Step(1);
    EXPECT_EQ(At(91, 91).r, 255);
    EXPECT_EQ(At(89, 100).r, 0);
    EXPECT_EQ(At(201, 101).r, 255);
    EXPECT_EQ(At(199, 101).r, 0);
    EXPECT_EQ(At(200, 100).r, 255) << "a transparent stroke leaves the fill visible";
}

TEST_F(CanvasTest, HalfAlphaFillBlendsWithWhatIsThere) {
    draw = [] {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        QL_Settings_NoStroke();
        QL_Settings_Fill(QL_Color_Create(255, 255, 255, 128));
        QL_Graphics_DrawRect(0, 0, 50, 50);
    };
    QLH_Step(1);
    EXPECT_NEAR(At(10, 10).r, 128, 2);
}

// A blend moves each channel from d toward the colour drawn s by |s - d| * a / 255, rounded up:
// on every pixel of a span, wherever it starts and ends (the vector paths take pixels eight at
// a time and leave the rest to the plain one), for every value of every channel.
TEST_F(CanvasTest, BlendMovesEveryChannelByItsShareRoundedTowardTheColour) {
    auto expected = [](int d, int s, int a) {
        int step = (std::abs(s - d) * a + 254) / 255;
        return s >= d ? d + step : d - step;
    };
    const QL_Color colours[] = {{255, 255, 255, 0}, {0, 0, 0, 0}, {90, 200, 17, 0}};
    for (int a : {1, 8, 51, 85, 127, 128, 254})
        for (QL_Color c : colours) {
            c.a = a;
            draw = [c] {
                QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
                QL_Settings_NoStroke();
                for (int x = 0; x < 256; x++) { // every value in every channel, one a column
                    QL_Settings_Fill(QL_Color_Create(x, 255 - x, x * 7 % 256, 255));
                    QL_Graphics_DrawRect((float)x, 0, 1, 240);
                }
                QL_Settings_Fill(c);
                QL_Graphics_DrawRect(0, 0, 320, 100);
                QL_Graphics_DrawRect(3, 100, 250, 100); // a ragged start and end
            };
            QLH_Step(1);
            for (int y : {50, 150})
                for (int x = y < 100 ? 0 : 3; x < (y < 100 ? 256 : 253); x++) {
                    Pixel p = At(x, y);
                    ASSERT_EQ(p.r, expected(x, c.r, a)) << "alpha " << a << " at " << x << "," << y;
                    ASSERT_EQ(p.g, expected(255 - x, c.g, a)) << "alpha " << a << " at " << x;
                    ASSERT_EQ(p.b, expected(x * 7 % 256, c.b, a)) << "alpha " << a << " at " << x;
                    ASSERT_EQ(p.a, 255);
                }
        }
}

TEST_F(CanvasTest, OutOfRangeFillChannelsAreClampedNotWrapped) {
    draw = [] {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        QL_Settings_NoStroke();
        QL_Settings_Fill(QL_Color{300, -40, 255, 400});
        QL_Graphics_DrawRect(0, 0, 50, 50);
    };
    QLH_Step(1);
    Pixel p = At(10, 10);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.g, 0);
    EXPECT_EQ(p.b, 255);
}

TEST_F(CanvasTest, WindowSizeChangeGivesAFreshCanvasOfTheNewSize) {
    QL_System_SetWindowSize(640, 480);
    EXPECT_EQ(QL_System_GetWindowWidth(), 640);
    EXPECT_EQ(QL_System_GetWindowHeight(), 480);
    draw = [] { QL_Settings_Background(QL_Color_Create(9, 9, 9, 255)); };
    QLH_Step(1);
    EXPECT_EQ(At(639, 479).r, 9);
    QL_System_Fullscreen();
    EXPECT_EQ(QL_System_GetWindowWidth(), QL_System_GetDisplayWidth());
}

} // namespace

namespace {

const int kPresentW = 320, kPresentH = 240;
std::vector<uint64_t> presented; // written by the present thread, read once it has stopped

uint64_t Fnv(const uint32_t* pixels) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (int i = 0; i < kPresentW * kPresentH; i++)
        h = (h ^ pixels[i]) * 0x100000001B3ull;
    return h;
}

// A present that takes a while, as a display server's does.
const auto kPresentTakes = std::chrono::milliseconds(2);
void KeepPresented(const uint32_t* pixels) {
    presented.push_back(Fnv(pixels));
    std::this_thread::sleep_for(kPresentTakes);
}

uint64_t CanvasHash() {
    std::vector<uint32_t> all;
    for (int y = 0; y < kPresentH; y++)
        for (int x = 0; x < kPresentW; x++) {
            int r, g, b, a;
            QLH_ReadPixel(x, y, &r, &g, &b, &a);
            all.push_back((uint32_t)a << 24 | (uint32_t)r << 16 | (uint32_t)g << 8 | (uint32_t)b);
        }
    return Fnv(all.data());
}

// Frames that clear, that build on the last picture, that cover it with an opaque rectangle and
// that draw nothing at all: frame n of them.
void FrameOfMany(int n) {
    QL_Settings_NoStroke();
    QL_Settings_Fill(QL_Color_Create(40 * n % 256, 200, 90, n % 2 ? 140 : 255));
    if (n % 5 == 0) QL_Settings_Background(QL_Color_Create(10, 20, n, 255));
    if (n % 5 == 3) QL_Graphics_DrawRect(0, 0, kPresentW, kPresentH);
    if (n % 5 == 4) return;
    QL_Graphics_DrawQuad(5.0f * n, 7, 300, 11.0f * n, 250, 230, 9, 200.0f - n);
    QL_Graphics_DrawRect(3.0f * n, 2.0f * n, 40, 30);
}

// Frames that mostly clear to one colour and creep a shape along: each picture's fills then skip
// what it holds already. Every fourth frame veils the picture, and the next one builds on it.
void FrameOfCreeping(int n) {
    QL_Settings_NoStroke();
    if (n % 4 != 3) QL_Settings_Background(QL_Color_Create(30, 30, 60, 255));
    QL_Settings_Fill(QL_Color_Create(220, 120, 40, 255));
    QL_Graphics_DrawQuad(2.0f * n, 20, 2.0f * n + 90, 25, 2.0f * n + 80, 150, 2.0f * n, 140);
    QL_Settings_Fill(QL_Color_Create(40, 160, 90, 255));
    QL_Graphics_DrawRect(n % 2 ? 150.0f : 170.0f, 60, 100, 120);
    if (n % 4 == 2) {
        QL_Settings_Fill(QL_Color_Create(255, 255, 255, 60));
        QL_Graphics_DrawRect(0, 0, kPresentW, kPresentH);
    }
}

void (*frameOf)(int) = FrameOfMany;
int frameNumber = 0;
void ManyFrames() {
    frameOf(frameNumber++);
}

// The pictures of 40 frames of frame: as read back after each, and as presented; the frames
// presented, and their latencies.
std::vector<uint64_t> Frames(bool presentThread, void (*frame)(int), std::vector<uint64_t>* shown,
                             long* presents, std::vector<float>* latencies) {
    float seconds[100];
    while (QL_System_TakeFrameLatencies(seconds, 100) > 0) {
    }
    StartHeadless(kPresentW, kPresentH, 0.01f);
    presented.clear();
    frameNumber = 0;
    frameOf = frame;
    if (presentThread) QLH_SetPresentThread(KeepPresented);
    RunEachFrame(ManyFrames);
    std::vector<uint64_t> read;
    for (int f = 0; f < 40; f++) {
        QLH_Step(1);
        read.push_back(CanvasHash());
    }
    *presents = QL_System_GetPresentCount();
    QLH_Shutdown(); // the present thread stops here, its last frame shown
    *shown = presented;
    latencies->assign(seconds, seconds + QL_System_TakeFrameLatencies(seconds, 100));
    return read;
}

} // namespace

// Presenting on a thread of its own while the next frame is painted into the other picture
// changes no pixel: every frame reads back and is presented exactly as on one thread, except the
// frames that draw nothing, which present nothing. Under ThreadSanitizer this also proves the
// painting threads and the present thread never race. Each frame presented has its latency taken
// once its picture is shown, on either path.
TEST(CanvasPresentThread, PaintingBesidePresentingKeepsEveryPixel) {
    std::vector<uint64_t> none, shown;
    std::vector<float> latencyAlone, latencyOverlapped;
    long presents[2];
    std::vector<uint64_t> alone = Frames(false, FrameOfMany, &none, &presents[0], &latencyAlone);
    std::vector<uint64_t> overlapped =
        Frames(true, FrameOfMany, &shown, &presents[1], &latencyOverlapped);
    EXPECT_TRUE(overlapped == alone) << "the pictures read back differ";
    EXPECT_EQ(presents[0], 32) << "8 of the 40 frames draw nothing and present nothing";
    EXPECT_EQ(presents[1], 32);
    std::vector<uint64_t> drawn; // frame n of FrameOfMany draws nothing when n % 5 is 4
    for (size_t f = 0; f < alone.size(); f++)
        if (f % 5 != 4) drawn.push_back(alone[f]);
    ASSERT_EQ(shown.size(), drawn.size());
    for (size_t f = 0; f < drawn.size(); f++)
        EXPECT_EQ(shown[f], drawn[f]) << "picture " << f << " as presented";
    EXPECT_EQ(latencyAlone.size(), drawn.size());
    ASSERT_EQ(latencyOverlapped.size(), drawn.size());
    for (float seconds : latencyOverlapped)
        EXPECT_GE(seconds, std::chrono::duration<float>(kPresentTakes).count());
}

// Each of the two pictures remembers what its own pixels hold, and the memory goes with the
// picture: fills that skip what is held paint every frame as one picture does.
TEST(CanvasPresentThread, PicturesRememberingTheirPixelsPaintAsOne) {
    std::vector<uint64_t> none, shown;
    std::vector<float> latencies;
    long presents;
    std::vector<uint64_t> alone = Frames(false, FrameOfCreeping, &none, &presents, &latencies);
    std::vector<uint64_t> overlapped = Frames(true, FrameOfCreeping, &shown, &presents, &latencies);
    for (size_t f = 0; f < alone.size(); f++)
        EXPECT_EQ(overlapped[f], alone[f]) << "frame " << f;
    EXPECT_TRUE(shown == alone) << "the pictures presented differ";
}
