// Painting into pictures that remember what their rows hold: an opaque fill leaves alone the
// cells that hold its colour already. Frames of a scene that moves a little at a time, under and
// over translucent shapes, veils, pictures, glyphs and lines put anywhere in the list, painted
// into two pictures in turn (as the window does) in bands of random heights, must give exactly
// the pixels painted with nothing remembered.
#include "quillon/src/raster.h"
#include "quillon/src/solid_cells.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

// The pictures' width: 203, which no cell divides, or 256, whose rows are whole lines of memory.
int pictureW = 203;
const int kH = 61;

uint32_t Opaque(uint32_t rgb) {
    return 0xFF000000u | rgb;
}

class Scene {
  public:
    explicit Scene(unsigned seed) : rng_(seed) {
        for (int i = 0; i < 64; i++) // a picture with clear, half and opaque texels
            texels_.push_back((uint32_t)(i % 3 * 127) << 24 | (uint32_t)(i * 0x030507));
        for (int i = 0; i < 54; i++)
            mask_.push_back((uint8_t)(i * 37 % 256));
        for (Shape& s : shapes_) {
            s.x = Pick(-20, pictureW);
            s.y = Pick(-10, kH);
            s.w = Pick(4, 80);
            s.h = Pick(2, 30);
            s.color = kPalette[Pick(0, 3)];
        }
    }

    // Frame f's commands: most clear; the shapes creep; extras go anywhere in the list.
    std::vector<QlDrawCmd> Frame(int f) {
        std::vector<QlDrawCmd> cmds;
        QlDrawCmd c{};
        if (Pick(0, 9) > 0) {
            c.kind = QlDrawCmd::Clear;
            c.color = kPalette[f / 25 % 2];
            c.top = 0;
            c.bottom = kH;
            cmds.push_back(c);
        }
        for (Shape& s : shapes_) {
            if (Pick(0, 2) == 0) s.x += Pick(-2, 2);
            if (Pick(0, 4) == 0) s.y += Pick(-1, 1);
            float xs[4] = {(float)s.x, (float)(s.x + s.w), (float)(s.x + s.w - 3), (float)s.x + 1};
            float ys[4] = {(float)s.y, (float)s.y + 2, (float)(s.y + s.h), (float)(s.y + s.h)};
            if (Raster_MakeQuad(&c, xs, ys, s.color, pictureW, kH)) cmds.push_back(c);
        }
        for (int extras = Pick(0, 4); extras > 0; extras--)
            if (MakeExtra(&c))
                cmds.insert(cmds.begin() + Pick(cmds.empty() ? 0 : 1, (int)cmds.size()), c);
        return cmds;
    }

    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

  private:
    struct Shape {
        int x, y, w, h;
        uint32_t color;
    };
    static constexpr uint32_t kPalette[4] = {0xFF2050A0u, 0xFF40C060u, 0xFFE0E0E0u, 0xFF101010u};

    bool MakeExtra(QlDrawCmd* c) {
        float x = (float)Pick(-10, pictureW), y = (float)Pick(-5, kH);
        uint32_t translucent = (uint32_t)Pick(20, 230) << 24 | 0x8040C0u;
        switch (Pick(0, 4)) {
        case 0: // a veil over every row
            return Raster_MakeRect(c, 0, 0, pictureW, kH, translucent, pictureW, kH);
        case 1:
            return Raster_MakeRect(c, x, y, (float)Pick(1, 60), (float)Pick(1, 20), translucent,
                                   pictureW, kH);
        case 2:
            return Raster_MakeImage(c, QlPixels{texels_.data(), 8, 8}, 0, 0, 8, 8, x, y, 24, 16,
                                    Pick(0, 1) ? 255 : 128, Pick(0, 1) == 1, pictureW, kH);
        case 3:
            return Raster_MakeGlyph(c, QlGlyphMask{mask_.data(), 6, 6, 9}, (int)x, (int)y,
                                    Opaque(0x20F0F0), pictureW, kH);
        default:
            return Raster_MakeLine(c, x, y, x + (float)Pick(-40, 40), y + (float)Pick(-20, 20),
                                   Opaque(0xF0F020), pictureW, kH);
        }
    }

    std::mt19937 rng_;
    std::vector<uint32_t> texels_;
    std::vector<uint8_t> mask_;
    Shape shapes_[14];
};

// Paints the commands into the picture in bands of random heights.
void PaintInBands(const std::vector<QlDrawCmd>& cmds, uint32_t* picture, SolidCells* known,
                  Scene& scene) {
    for (int y0 = 0, y1; y0 < kH; y0 = y1) {
        y1 = std::min(kH, y0 + scene.Pick(1, 24));
        Raster_Band(cmds.data(), (int)cmds.size(), picture, pictureW, kH, y0, y1, known);
    }
}

// Pixels in memory that starts on a 64-byte line, as the window's shared pictures do: whole
// cells are then written straight to memory.
struct LinedPicture {
    std::vector<uint32_t> store;
    uint32_t* pixels;
    LinedPicture() : store((size_t)(pictureW * kH + 16), 0xFF000000u) {
        uintptr_t at = reinterpret_cast<uintptr_t>(store.data());
        pixels = store.data() + ((64 - at % 64) % 64) / 4;
    }
};

TEST(SolidCells, PicturesThatRememberPaintAsPicturesThatDoNot) {
    for (int width : {203, 256})
        for (unsigned seed = 1; seed <= 6; seed++) {
            pictureW = width;
            Scene scene(seed);
            LinedPicture kept[2];
            std::vector<uint32_t> fresh[2];
            SolidCells known[2];
            for (int p = 0; p < 2; p++) {
                fresh[p].assign(pictureW * kH, 0xFF000000u);
                known[p].Reset(kH, pictureW);
            }
            for (int f = 0; f < 120; f++) {
                std::vector<QlDrawCmd> cmds = scene.Frame(f);
                int p = f % 2;
                PaintInBands(cmds, kept[p].pixels, &known[p], scene);
                Raster_Band(cmds.data(), (int)cmds.size(), fresh[p].data(), pictureW, kH, 0, kH);
                for (int i = 0; i < pictureW * kH; i++)
                    ASSERT_EQ(kept[p].pixels[i], fresh[p][i])
                        << "width " << width << ", seed " << seed << ", frame " << f << ", pixel "
                        << i % pictureW << "," << i / pictureW;
            }
        }
    pictureW = 203;
}

// A fill leaves a cell that holds its colour untouched, whatever is in memory there; a row
// forgotten, or a cell only partly filled, is written again.
TEST(SolidCells, FillsSkipOnlyWholeCellsKnownToHoldTheirColour) {
    QlDrawCmd cmds[2] = {};
    cmds[0].kind = QlDrawCmd::Clear;
    cmds[0].color = Opaque(0x102030);
    cmds[0].top = 0;
    cmds[0].bottom = kH;
    ASSERT_TRUE(Raster_MakeRect(&cmds[1], 40, 10, 100, 20, Opaque(0xA0B0C0), pictureW, kH));
    std::vector<uint32_t> picture(pictureW * kH, 0xFF000000u);
    SolidCells known;
    known.Reset(kH, pictureW);
    auto paint = [&] { Raster_Band(cmds, 2, picture.data(), pictureW, kH, 0, kH, &known); };
    paint();
    const uint32_t kMark = 0xFF00FF00u;
    const int insideRect = 15 * pictureW + 64, insideClear = 50 * pictureW + 64,
              rectEdge = 15 * pictureW + 40;
    for (int i : {insideRect, insideClear, rectEdge})
        picture[(size_t)i] = kMark;
    paint();
    EXPECT_EQ(picture[insideRect], kMark);
    EXPECT_EQ(picture[insideClear], kMark);
    EXPECT_EQ(picture[rectEdge], Opaque(0xA0B0C0)) << "its cell also holds the clear's colour";
    known.Forget(15, 16);
    paint();
    EXPECT_EQ(picture[insideRect], Opaque(0xA0B0C0));
    EXPECT_EQ(picture[insideClear], kMark);
}

} // namespace
