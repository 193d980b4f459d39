#include "solid_cells.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

int SolidCells::NextDiffering(const uint32_t* cells, int c, int end, uint32_t color) {
#if defined(__SSE2__) // four cells a step
    const __m128i wanted = _mm_set1_epi32((int)color);
    for (; c + 4 <= end; c += 4) {
        __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(cells + c));
        unsigned same = (unsigned)_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(four, wanted)));
        if (same != 15) return c + std::countr_zero(~same & 15u);
    }
#endif
    while (c < end && cells[c] == color)
        c++;
    return c;
}
