// Text: the alignment flags place the measured box where they say, glyphs share the monospaced
// advance, and bytes outside printable ASCII are drawn as '?'.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/headless_fixture.h"

namespace {

std::function<void()> draw;
void Update() {
    if (draw) draw();
}

struct Box {
    int left = 100000, top = 100000, right = -1, bottom = -1;
};

class TextTest : public HeadlessTest {
  protected:
    QL_Font font = nullptr;
    void SetUp() override {
        StartHeadless(400, 300, 0.01f);
        font = QL_Font_Load(TestFontPath());
        ASSERT_NE(font, nullptr) << "the build generates the font under Assets/";
        QL_Font_Set(font);
        RunEachFrame(Update);
    }
    void TearDown() override {
        QL_Font_Free(&font);
        draw = nullptr;
        HeadlessTest::TearDown();
    }
    // Draws text in white on black with the given alignment and returns the lit pixels' box.
    Box DrawAndMeasure(const char* text, int h, int v) {
        draw = [=] {
            QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
            QL_Settings_Fill(QL_Color_Create(255, 255, 255, 255));
            QL_Settings_TextSize(24);
            QL_Settings_TextAlignment(h, v);
            QL_Font_DrawText(text, 200, 150);
        };
        QLH_Step(1);
        Box box;
        for (int y = 0; y < 300; y++)
            for (int x = 0; x < 400; x++)
                if (At(x, y).r > 128) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
        return box;
    }
};

TEST_F(TextTest, AlignmentFlagsMoveTheBoxByItsMeasuredSize) {
    QL_Settings_TextSize(24);
    int w = 0, h = 0;
    QL_Font_MeasureText("HH", &w, &h);
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    Box leftTop = DrawAndMeasure("HH", QL_ALIGN_LEFT, QL_ALIGN_TOP);
    struct Case {
        int h, v;
        float dx, dy;
    } cases[] = {{QL_ALIGN_CENTER, QL_ALIGN_TOP, -w / 2.0f, 0},
                 {QL_ALIGN_RIGHT, QL_ALIGN_TOP, (float)-w, 0},
                 {QL_ALIGN_LEFT, QL_ALIGN_MIDDLE, 0, -h / 2.0f},
                 {QL_ALIGN_LEFT, QL_ALIGN_BOTTOM, 0, (float)-h},
                 {QL_ALIGN_CENTER, QL_ALIGN_BOTTOM, -w / 2.0f, (float)-h}};
    for (const Case& c : cases) {
        Box b = DrawAndMeasure("HH", c.h, c.v);
        EXPECT_NEAR(b.left - leftTop.left, c.dx, 1.0f) << "h " << c.h << " v " << c.v;
        EXPECT_NEAR(b.top - leftTop.top, c.dy, 1.0f) << "h " << c.h << " v " << c.v;
    }
    Box base = DrawAndMeasure("HH", QL_ALIGN_LEFT, QL_ALIGN_BASELINE);
    EXPECT_NEAR(base.bottom, 149, 1) << "capital letters stand on the baseline";
}

TEST_F(TextTest, DigitsAndSpaceShareOneAdvance) {
    QL_Settings_TextSize(20);
    int w1, w2, h;
    QL_Font_MeasureText("0123456789", &w1, &h);
    QL_Font_MeasureText("          ", &w2, &h);
    EXPECT_EQ(w1, w2);
    EXPECT_EQ(w1 % 10, 0);
}

TEST_F(TextTest, BytesOutsidePrintableAsciiDrawAsQuestionMarks) {
    Box control = DrawAndMeasure("A\x01\xff", QL_ALIGN_LEFT, QL_ALIGN_TOP);
    Box marks = DrawAndMeasure("A??", QL_ALIGN_LEFT, QL_ALIGN_TOP);
    EXPECT_EQ(control.left, marks.left);
    EXPECT_EQ(control.right, marks.right);
    EXPECT_EQ(control.bottom, marks.bottom);
}

TEST_F(TextTest, EmptyTextAndTinySizesDrawNothing) {
    Box empty = DrawAndMeasure("", QL_ALIGN_LEFT, QL_ALIGN_TOP);
    EXPECT_EQ(empty.right, -1);
    draw = [] {
        QL_Settings_Background(QL_Color_Create(0, 0, 0, 255));
        QL_Settings_TextSize(0.2f);
        QL_Font_DrawText("X", 10, 10);
    };
    QLH_Step(1);
    EXPECT_EQ(At(12, 12).r, 0);
}

} // namespace

namespace {
// Every pixel of the canvas, for comparing two pictures.
std::vector<int> Picture(int w, int h) {
    std::vector<int> all;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int r, g, b, a;
            QLH_ReadPixel(x, y, &r, &g, &b, &a);
            all.push_back(r << 16 | g << 8 | b);
        }
    return all;
}
} // namespace

// A line painted from its kept strip is the same picture, to the byte, as its characters painted
// one by one, over a picture that shows every blend: at sizes whose glyphs touch, at a partial
// alpha, drawn again from the strip in later frames, and off the canvas's edge.
TEST_F(TextTest, ALineFromItsStripIsItsGlyphsOneByOne) {
    const char* lines[] = {"HELLO, WORLD 0123", "ffjj//\\\\WWMM@@%%", "  a  b  "};
    for (float size : {9.0f, 24.0f, 61.0f})
        for (const char* line : lines) {
            auto paint = [=](bool whole) {
                QL_Settings_Background(QL_Color_Create(30, 90, 160, 255));
                QL_Settings_Fill(QL_Color_Create(250, 220, 40, 170));
                QL_Settings_TextSize(size);
                QL_Settings_TextAlignment(QL_ALIGN_LEFT, QL_ALIGN_TOP);
                for (float x : {5.0f, 380.0f - size * 4.0f, -size * 3.0f}) {
                    if (whole) {
                        QL_Font_DrawText(line, x, 40.0f);
                        continue;
                    }
                    std::string prefix;
                    for (const char* c = line; *c; c++) {
                        int w = 0;
                        QL_Font_MeasureText(prefix.c_str(), &w, nullptr);
                        QL_Font_DrawText(std::string(1, *c).c_str(), x + (float)w, 40.0f);
                        prefix += *c;
                    }
                }
            };
            draw = [=] { paint(false); };
            QLH_Step(1);
            std::vector<int> oneByOne = Picture(400, 300);
            draw = [=] { paint(true); };
            QLH_Step(3); // laid out in the first frame, from the strip after
            EXPECT_TRUE(Picture(400, 300) == oneByOne) << "'" << line << "' at " << size;
        }
}
