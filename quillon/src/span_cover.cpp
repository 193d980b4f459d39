#include "span_cover.h"

#include <algorithm>

void SpanCover::Reset(int rows, int width) {
    if (rows_.size() < (size_t)rows) rows_.resize((size_t)rows);
    for (int i = 0; i < rows; i++)
        rows_[(size_t)i].clear();
    rowCount_ = rows;
    full_.assign((size_t)rows, 0);
    fullRows_ = 0;
    width_ = width;
}

bool SpanCover::RowsFull(int row0, int row1) const {
    for (int r = row0; r < row1; r++)
        if (!full_[(size_t)r]) return false;
    return true;
}

size_t SpanCover::FirstFrom(const std::vector<Run>& runs, int x) const {
    return (size_t)(std::lower_bound(runs.begin(), runs.end(), x,
                                     [](const Run& r, int v) { return r.x1 < v; }) -
                    runs.begin());
}

// The runs [first, last) touch or overlap [x0, x1): they become one run with it.
void SpanCover::Add(int row, size_t first, size_t last, int x0, int x1) {
    std::vector<Run>& runs = rows_[(size_t)row];
    if (first == last) {
        runs.insert(runs.begin() + (long)first, Run{x0, x1});
    } else {
        runs[first] = Run{std::min(x0, runs[first].x0), std::max(x1, runs[last - 1].x1)};
        runs.erase(runs.begin() + (long)first + 1, runs.begin() + (long)last);
    }
    if (runs.size() == 1 && runs[0].x0 <= 0 && runs[0].x1 >= width_ && !full_[(size_t)row]) {
        full_[(size_t)row] = 1;
        fullRows_++;
    }
}
