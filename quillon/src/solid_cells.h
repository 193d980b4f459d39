// What a picture's rows are known to hold already, cell by cell: a cell is 16 pixels of a row (a
// 64-byte line of memory), and is known when one opaque fill covered all of it with one colour
// and nothing has written over it since. Painting the next frame into the same picture then
// skips the cells of a fill that hold its colour already. In a full-screen frame of the arena
// most faces and most of the sky cover nearly the same pixels as two frames before, and writing
// the 8 MB picture again is the bulk of a frame's cost; memory left alone costs nothing.
// Each row is kept apart, so bands painted at once on different threads touch different rows.
#pragma once

#include <cstdint>
#include <vector>

class SolidCells {
  public:
    static constexpr int kCell = 16; // pixels

    // Nothing known of a picture of rows rows, width pixels wide (a new picture, or one written
    // some other way).
    void Reset(int rows, int width);
    // Rows [y0, y1) written some other way: nothing known of them.
    void Forget(int y0, int y1);
    // Fills pixels [x0, x1) of row y with an opaque colour (alpha 255): calls fill(a, b) for each
    // piece [a, b) that may not hold the colour yet, left to right; the row then holds it there.
    template <typename FillFn> void Fill(int y, int x0, int x1, uint32_t color, FillFn fill);
    // Rows [y0, y1) are about to be painted: their cells are brought into the cache.
    void Prefetch(int y0, int y1) {
        for (const uint32_t *p = Row(y0), *end = Row(y1); p < end; p += 16)
            __builtin_prefetch(p, 1, 3);
    }
    // Pixels [x0, x1) of row y written otherwise (blended, a picture, a glyph): not known.
    void Spoil(int y, int x0, int x1);

  private:
    static constexpr uint32_t kUnknown = 0; // never a picture's pixel, whose alpha is 255

    uint32_t* Row(int y) { return cells_.data() + (long)y * perRow_; }
    // The first of cells [c, end) that does not hold the colour, or end.
    static int NextDiffering(const uint32_t* cells, int c, int end, uint32_t color);

    std::vector<uint32_t> cells_; // perRow_ a row: its colour, or kUnknown
    int perRow_ = 0, width_ = 0;
};

template <typename FillFn>
void SolidCells::Fill(int y, int x0, int x1, uint32_t color, FillFn fill) {
    if (x0 >= x1) return;
    uint32_t* cells = Row(y);
    int first = x0 / kCell, last = (x1 - 1) / kCell;
    bool wholeFirst = x0 == first * kCell;
    bool wholeLast = x1 >= ((last + 1) * kCell < width_ ? (last + 1) * kCell : width_);
    // The cells the fill covers only in part hold its colour throughout, or are written.
    auto part = [&](int c, int a, int b, bool whole) {
        if (cells[c] == color) return;
        fill(a, b);
        cells[c] = whole ? color : kUnknown;
    };
    if (first == last) {
        part(first, x0, x1, wholeFirst && wholeLast);
        return;
    }
    if (!wholeFirst) part(first, x0, (first + 1) * kCell, false);
    // The whole cells, in stretches that hold the colour (left alone) and that do not (filled).
    int end = wholeLast ? last + 1 : last;
    for (int c = wholeFirst ? first : first + 1; c < end;) {
        c = NextDiffering(cells, c, end, color);
        int from = c;
        for (; c < end && cells[c] != color; c++)
            cells[c] = color;
        if (from < c) fill(from * kCell, c * kCell < x1 ? c * kCell : x1);
    }
    if (!wholeLast) part(last, last * kCell, x1, false);
}
