// What opaque paint hides in each row of a band. The rasterizer walks a band's commands from the
// last to the first, and a span's pixels that an opaque span painted after it will cover are
// left out: a full-screen frame of the arena paints each pixel close to once, not once for every
// face and the sky behind it. Only hidden pixels are left out, so the bytes are the same.
#pragma once

#include <cstddef>
#include <vector>

class SpanCover {
  public:
    // An empty cover for a band of rows rows, width pixels wide.
    void Reset(int rows, int width);
    bool RowFull(int row) const { return full_[(size_t)row] != 0; }
    // Every pixel of the band is hidden: nothing painted before can show.
    bool AllFull() const { return fullRows_ == rowCount_; }
    // Whether every row of [row0, row1) is full.
    bool RowsFull(int row0, int row1) const;
    // Whether [x0, x1) of the row is covered already.
    bool Hides(int row, int x0, int x1) const {
        const std::vector<Run>& runs = rows_[(size_t)row];
        size_t r = FirstFrom(runs, x1);
        return r < runs.size() && runs[r].x0 <= x0;
    }
    // Calls visible(a, b) for each piece [a, b) of the pixels [x0, x1) of the row that nothing
    // covers yet, left to right; an opaque span then covers [x0, x1).
    template <typename Visible> void Take(int row, int x0, int x1, bool opaque, Visible visible);
    // Covers [x0, x1) of the row, whatever was covered there before.
    void Cover(int row, int x0, int x1) {
        if (x0 < x1) Take(row, x0, x1, true, [](int, int) {});
    }

  private:
    struct Run {
        int x0, x1;
    };
    // The first run that ends at or after x (touching counts).
    size_t FirstFrom(const std::vector<Run>& runs, int x) const;
    void Add(int row, size_t first, size_t last, int x0, int x1);

    // Each row's covered runs: sorted, apart, not touching. Rows past rowCount_ are spare, kept
    // with their storage for the next band.
    std::vector<std::vector<Run>> rows_;
    std::vector<char> full_;
    int rowCount_ = 0, fullRows_ = 0, width_ = 0;
};

template <typename Visible>
void SpanCover::Take(int row, int x0, int x1, bool opaque, Visible visible) {
    const std::vector<Run>& runs = rows_[(size_t)row];
    size_t first = FirstFrom(runs, x0), last = first;
    int at = x0;
    bool shown = false;
    for (; last < runs.size() && runs[last].x0 <= x1; last++) {
        if (runs[last].x0 > at) {
            visible(at, runs[last].x0 < x1 ? runs[last].x0 : x1);
            shown = true;
        }
        if (runs[last].x1 > at) at = runs[last].x1;
    }
    if (at < x1) {
        visible(at, x1);
        shown = true;
    }
    // A span that shows nowhere lies inside one run already.
    if (opaque && shown) Add(row, first, last, x0, x1);
}
