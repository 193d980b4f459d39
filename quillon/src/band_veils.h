// Veils over a band: a translucent clear-coloured shape that covers every pixel of the band (the
// flash of a shot over the whole window) blends each pixel with what lies under it. Where what
// lies under it is an opaque span that nothing else touches before the veil, the pixel's colour
// is known in advance: the span is filled with its colour already veiled, and the veil leaves
// those pixels out. A full-window flash then costs next to nothing instead of a blend of every
// pixel. The bytes are the same as painting the veil over everything.
#pragma once

#include <cstdint>

#include "span_cover.h"

class BandVeils {
  public:
    static const int kMost = 4; // veils further back are painted as any other shape

    void Reset(int rows, int width);
    // Veils met so far, walking the band's commands from the last back.
    bool Active() const { return count_ > 0; }
    bool Full() const { return count_ == kMost; }
    // A veil of this colour (its alpha the blend weight), met walking back.
    void Add(uint32_t color) { colors_[count_++] = color; }
    // A colour with every veil met so far laid over it, in the order they are painted.
    template <typename BlendFn> uint32_t Veiled(uint32_t color, BlendFn blend) const;
    // A write between a veil and the commands before it, which the veil must still be painted
    // over: pixels [x0, x1) of the band's row.
    void Touch(int row, int x0, int x1);
    // An opaque span's visible pixels [x0, x1) of the row, under the veils met so far: piece(a, b,
    // veiled) for each part, veiled where nothing has touched it since (filled already veiled).
    template <typename Piece> void SplitOpaque(int row, int x0, int x1, Piece piece);
    // A veil's pixels [x0, x1) of the row that it must still paint: paint(a, b) for each part not
    // filled already veiled.
    template <typename Paint> void Gaps(int row, int x0, int x1, Paint paint) {
        folded_.Take(row, x0, x1, false, paint);
    }

  private:
    uint32_t colors_[kMost] = {};
    int count_ = 0;
    SpanCover touched_, folded_;
};

template <typename BlendFn> uint32_t BandVeils::Veiled(uint32_t color, BlendFn blend) const {
    for (int k = count_ - 1; k >= 0; k--) // the first painted was met last
        color = blend(color, colors_[k]);
    return color;
}

template <typename Piece> void BandVeils::SplitOpaque(int row, int x0, int x1, Piece piece) {
    int at = x0;
    touched_.Take(row, x0, x1, false, [&](int a, int b) {
        if (a > at) piece(at, a, false);
        piece(a, b, true);
        folded_.Cover(row, a, b);
        at = b;
    });
    if (at < x1) piece(at, x1, false);
}
