#include "solid_cells.h"

#include <algorithm>

void SolidCells::Reset(int rows, int width) {
    perRow_ = (std::max(width, 0) + kCell - 1) / kCell;
    width_ = std::max(width, 0);
    cells_.assign((size_t)std::max(rows, 0) * (size_t)perRow_, kUnknown);
}

void SolidCells::Forget(int y0, int y1) {
    std::fill(Row(y0), Row(y1), kUnknown);
}

void SolidCells::Spoil(int y, int x0, int x1) {
    if (x0 >= x1) return;
    uint32_t* cells = Row(y);
    std::fill(cells + x0 / kCell, cells + (x1 - 1) / kCell + 1, kUnknown);
}
