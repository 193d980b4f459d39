// The rasterizer at its edges: shapes off and across the canvas, degenerate and huge quads,
// outlines, alpha 0 and 255, extreme zoom, clipped text and a damaged font. (That any number of
// painting threads gives the same canvas is checked on a whole run by tests/replay/bands_test.sh.)
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

#include "tests/support/headless_fixture.h"

namespace {

std::function<void()> draw;
void Update() {
    if (draw) draw();
}

const QL_Color kBlack{0, 0, 0, 255};

class RasterTest : public HeadlessTest {
  protected:
    void SetUp() override {
        HeadlessTest::SetUp(); // 320 x 240
        RunEachFrame(Update);
    }
    void TearDown() override {
        draw = nullptr;
        HeadlessTest::TearDown();
    }
    // One frame: black, then the body with a white fill and no stroke.
    void Show(std::function<void()> body) {
        draw = [body] {
            QL_Settings_Background(kBlack);
            QL_Settings_Fill(QL_Color{255, 255, 255, 255});
            QL_Settings_NoStroke();
            QL_Settings_RectMode(1);
            QL_Settings_ImageMode(1);
            body();
        };
        QLH_Step(1);
    }
    static int Lit() {
        int n = 0;
        for (int y = 0; y < 240; y++)
            for (int x = 0; x < 320; x++)
                n += At(x, y).r > 0;
        return n;
    }
};

TEST_F(RasterTest, QuadsOffAcrossAndAroundTheCanvas) {
    struct Case {
        const char* what;
        float q[8];
        int lit;     // pixels lit, -1: not checked
        int x, y, r; // one pixel and its red
    } cases[] = {
        {"inside", {10, 10, 30, 10, 30, 30, 10, 30}, 400, 20, 20, 255},
        {"half off the left", {-10, 10, 10, 10, 10, 30, -10, 30}, 200, 0, 20, 255},
        {"wholly off", {-50, -50, -10, -50, -10, -10, -50, -10}, 0, 0, 0, 0},
        {"past the bottom right", {310, 230, 400, 230, 400, 400, 310, 400}, 100, 319, 239, 255},
        {"a point", {50, 50, 50, 50, 50, 50, 50, 50}, 0, 50, 50, 0},
        {"a line", {10, 10, 200, 10, 200, 10, 10, 10}, 0, 100, 10, 0},
        {"three in a row", {10, 10, 20, 20, 30, 30, 40, 40}, 0, 20, 20, 0},
        {"huge, in front of the eye",
         {-1e7f, -1e7f, 1e7f, -1e7f, 1e7f, 1e7f, -1e7f, 1e7f},
         320 * 240,
         160,
         120,
         255},
        {"huge thin sliver",
         {-1e9f, 100, 1e9f, 100.6f, 1e9f, 101.4f, -1e9f, 101},
         -1,
         160,
         100,
         255},
        {"crossed (bow tie)", {10, 10, 50, 50, 50, 10, 10, 50}, -1, 30, 20, 255},
        {"clockwise", {10, 30, 30, 30, 30, 10, 10, 10}, 400, 20, 20, 255},
    };
    for (const Case& c : cases) {
        Show([&c] {
            QL_Graphics_DrawQuad(c.q[0], c.q[1], c.q[2], c.q[3], c.q[4], c.q[5], c.q[6], c.q[7]);
        });
        if (c.lit >= 0) {
            EXPECT_EQ(Lit(), c.lit) << c.what;
        }
        EXPECT_EQ(At(c.x, c.y).r, c.r) << c.what;
    }
}

// Two quads sharing an edge leave neither a gap nor a pixel painted twice (seen through alpha).
TEST_F(RasterTest, SharedEdgesNeitherGapNorOverlap) {
    Show([] {
        QL_Settings_Fill(QL_Color{255, 255, 255, 128});
        QL_Graphics_DrawQuad(10, 10, 60.3f, 12.7f, 55.5f, 80.2f, 10, 70);
        QL_Graphics_DrawQuad(60.3f, 12.7f, 120, 15, 118, 90, 55.5f, 80.2f);
    });
    for (int y = 20; y < 70; y++)
        for (int x = 12; x < 105; x++)
            ASSERT_EQ(At(x, y).r, 128) << x << "," << y;
}

TEST_F(RasterTest, OutlinesAlphaAndClipping) {
    Show([] {
        QL_Settings_Stroke(QL_Color{255, 0, 0, 255});
        QL_Settings_Fill(QL_Color{0, 0, 255, 255});
        QL_Graphics_DrawQuad(20, 20, 80, 20, 80, 60, 20, 60);
        QL_Settings_Fill(QL_Color{255, 255, 255, 0}); // invisible fill, visible outline
        QL_Graphics_DrawQuad(-100, 100, 500, 100, 500, 130, -100, 130);
        QL_Settings_Stroke(QL_Color{0, 255, 0, 0}); // invisible outline
        QL_Settings_Fill(QL_Color{0, 255, 0, 255});
        QL_Graphics_DrawRect(200, 20, 30, 30);
    });
    EXPECT_EQ(At(50, 20).r, 255) << "top edge outlined";
    EXPECT_EQ(At(50, 40).b, 255) << "inside filled";
    EXPECT_EQ(At(50, 40).r, 0);
    EXPECT_EQ(At(0, 100).r, 255) << "a long outline is clipped, not lost";
    EXPECT_EQ(At(319, 100).r, 255);
    EXPECT_EQ(At(160, 115).r, 0) << "alpha 0 fills nothing";
    EXPECT_EQ(At(200, 20).g, 255) << "an invisible outline leaves the fill";
    Show([] {
        QL_Settings_Stroke(QL_Color{255, 0, 0, 255});
        QL_Settings_Fill(QL_Color{0, 0, 0, 0});
        QL_Graphics_DrawRect(-50, -50, 1000, 1000); // the outline lies off the canvas
        QL_Graphics_DrawRect(10.0f, 10.0f, 1.0f, 1.0f);
        QL_Graphics_DrawQuad(1e30f, 0, 0, 1e30f, -1e30f, 0, 0, -1e30f);
    });
    EXPECT_EQ(At(0, 0).r, 0);
    EXPECT_EQ(At(10, 10).r, 255) << "a one-pixel rectangle's outline is that pixel";
}

// A band leaves out what opaque shapes drawn later hide. Painted all at once, a pile of shapes
// (opaque and see-through, convex, bent and crossed quads, rectangles, outlines, text, shapes
// off the canvas) must give the bytes it gives painted one shape at a time, where nothing can be
// left out.
// Also veils (translucent shapes over the whole canvas, as a shot's flash), which fill the opaque
// shapes under them already veiled: painted with the rest they must give what each painted on its
// own over the last gives, with pictures, text and outlines between them and the shapes below.
TEST_F(RasterTest, ShapesHiddenByLaterOnesChangeNoPixel) {
    QL_Font font = QL_Font_Load(TestFontPath());
    ASSERT_NE(font, nullptr);
    QL_Font_Set(font);
    std::string path = std::string("ql_raster_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
    Show([] {
        QL_Settings_Fill(QL_Color{0, 200, 255, 255});
        QL_Graphics_DrawQuad(0, 0, 40, 5, 30, 30, 3, 20);
    });
    ASSERT_TRUE(QLH_SavePng(path.c_str()));
    QL_Image img = QL_Image_Load(path.c_str());
    ASSERT_NE(img, nullptr);
    auto pile = [img](bool oneAtATime) {
        unsigned seed = 12345;
        auto next = [&seed](int range) {
            seed = seed * 1103515245u + 12345u;
            return (int)(seed >> 8) % range;
        };
        const int alphas[] = {255, 255, 255, 140, 20};
        for (int i = 0; i < 300; i++) {
            QL_Settings_Fill(QL_Color{next(256), next(256), next(256), alphas[next(5)]});
            if (next(6) == 0)
                QL_Settings_Stroke(QL_Color{next(256), 90, 200, alphas[next(5)]});
            else
                QL_Settings_NoStroke();
            float q[8];
            for (int k = 0; k < 8; k++)
                q[k] = (float)(next(k % 2 ? 400 : 520) - 100);
            if (next(8) == 0) { // a veil
                QL_Settings_Fill(QL_Color{next(256), next(256), next(256), 10 + next(200)});
                if (next(2) == 0)
                    QL_Graphics_DrawRect(0, 0, 320, 240);
                else
                    QL_Graphics_DrawQuad(-9, -3, 330, 0, 321, 250, 0, 241);
            } else if (next(12) == 0)
                QL_Image_DrawSubImage(img, q[0], q[1], 60, 45, 0, 0, 40, 30, alphas[next(5)]);
            else if (next(4) == 0)
                QL_Graphics_DrawRect(q[0], q[1], q[2] * 0.5f, q[3] * 0.5f);
            else if (next(9) == 0)
                QL_Font_DrawText("ZORB", q[0], q[1]);
            else
                QL_Graphics_DrawQuad(q[0], q[1], q[2], q[3], q[4], q[5], q[6], q[7]);
            int r, g, b, a;
            if (oneAtATime) QLH_ReadPixel(0, 0, &r, &g, &b, &a); // paints what is pending
        }
    };
    std::vector<Pixel> whole, single;
    for (bool oneAtATime : {false, true}) {
        Show([&] { pile(oneAtATime); });
        std::vector<Pixel>& out = oneAtATime ? single : whole;
        for (int y = 0; y < 240; y++)
            for (int x = 0; x < 320; x++)
                out.push_back(At(x, y));
    }
    for (size_t i = 0; i < whole.size(); i++)
        ASSERT_TRUE(whole[i].r == single[i].r && whole[i].g == single[i].g &&
                    whole[i].b == single[i].b)
            << "pixel " << i % 320 << "," << i / 320;
    QL_Font_Free(&font);
    QL_Image_Free(&img);
    std::remove(path.c_str());
}

TEST_F(RasterTest, ZoomedTexelsFarOffTheCanvas) {
    std::string path = std::string("ql_raster_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".png";
    Show([] {
        QL_Settings_Fill(QL_Color{0, 0, 255, 255});
        QL_Graphics_DrawRect(0, 0, 2, 1); // a 2 x 1 picture: blue, then black
    });
    // Saved as the whole canvas; the picture is its top-left 2 x 1 texels.
    ASSERT_TRUE(QLH_SavePng(path.c_str()));
    QL_Image img = QL_Image_Load(path.c_str());
    ASSERT_NE(img, nullptr);
    struct Case {
        float x, w;
        int blue; // at x 160
    } cases[] = {{-1e13f, 2e13f, 255},
                 {-1e13f, 2.1e13f, 255},
                 {-3e12f, 1e13f, 255},
                 {-1e13f, 1e13f + 100.0f, 0}};
    for (const Case& c : cases) {
        Show([&] { QL_Image_DrawSubImage(img, c.x, 0, c.w, 240, 0, 0, 2, 1, 255); });
        EXPECT_EQ(At(160, 100).b, c.blue) << "x " << c.x << " w " << c.w;
    }
    Show([&] {
        QL_Image_DrawSubImage(img, 1e13f, 0, -2e13f, 240, 0, 0, 2, 1, 255); // mirrored
        QL_Image_DrawSubImage(img, 0, 0, 1e-30f, 1e-30f, 0, 0, 2, 1, 255);
    });
    QL_Image_Free(&img);
    std::remove(path.c_str());
}

TEST_F(RasterTest, TextClippedAtTheCanvasEdge) {
    QL_Font font = QL_Font_Load(TestFontPath());
    ASSERT_NE(font, nullptr);
    QL_Font_Set(font);
    for (float x : {-30.0f, 300.0f, 1e9f, -1e9f})
        Show([x] {
            QL_Settings_TextSize(40);
            QL_Settings_TextAlignment(QL_ALIGN_LEFT, QL_ALIGN_TOP);
            QL_Font_DrawText("WWWW", x, 220);
            QL_Font_DrawText("WWWW", x, -20);
        });
    Show([] {
        QL_Settings_TextSize(40);
        QL_Font_DrawText("WWWW", -30, 220);
    });
    EXPECT_GT(Lit(), 50) << "the visible part of clipped text is drawn";
    QL_Font_Free(&font);
}

// A damaged font whose line and glyphs are hundreds of times the size asked for: the size is
// found impossible once, draws nothing, and is not tried again.
TEST_F(RasterTest, DamagedFontGetsNoAtlasAndIsNotRetried) {
    std::ifstream in(TestFontPath(), std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(bytes.size(), 100u);
    // The 'head' table's units per em (offset 18) at its smallest: every outline scales ~128x.
    auto table = [&](const char* tag) -> size_t {
        int count = (unsigned char)bytes[4] << 8 | (unsigned char)bytes[5];
        for (int i = 0; i < count; i++)
            if (std::memcmp(&bytes[12 + 16 * i], tag, 4) == 0) {
                const unsigned char* o = (const unsigned char*)&bytes[12 + 16 * i + 8];
                return (size_t)o[0] << 24 | o[1] << 16 | o[2] << 8 | o[3];
            }
        return 0;
    };
    size_t head = table("head");
    ASSERT_GT(head, 0u);
    bytes[head + 18] = 0;
    bytes[head + 19] = 16;
    std::string path = std::string("ql_raster_damaged_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ttf";
    std::ofstream(path, std::ios::binary).write(bytes.data(), (long)bytes.size());
    QL_Font font = QL_Font_Load(path.c_str());
    QL_Font_Set(font);
    QLH_ResetDrawStats();
    for (int i = 0; i < 5; i++)
        Show([] {
            QL_Settings_TextSize(40);
            QL_Font_DrawText("HUGE", 10, 10);
        });
    EXPECT_EQ(Lit(), 0);
    EXPECT_EQ(QLH_GetDrawStats().atlasBuilds, 1) << "a failed size is not tried again";
    QL_Font_Free(&font);
    std::remove(path.c_str());
}

} // namespace
