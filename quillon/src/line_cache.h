// Lines of text kept as one coverage strip: the title, the settings screen and the HUD draw the
// same lines in the same sizes frame after frame, and one strip a line paints with one command
// where its glyphs took one each. A strip is kept only where no two glyphs of the line touch the
// same pixel (painted one by one, such a pixel is blended twice), so it paints the same bytes.
#pragma once

#include <vector>

#include "raster.h"

// A glyph of a line: its coverage and its left edge from the line's start.
struct QlPlacedGlyph {
    QlGlyphMask mask;
    int x;
};

// The kept strip of a line of text in a font size (owner): its coverage, and its left edge from
// the line's start. False when there is none; known then tells whether the line was seen before
// (its glyphs overlap) or must be laid out and kept.
bool LineCache_Find(const void* owner, const char* text, QlGlyphMask* strip, int* left,
                    bool* known);
// Keeps the strip of a line laid out as glyphs (left to right); false, and the line is painted
// glyph by glyph from then on, when two glyphs overlap.
bool LineCache_Keep(const void* owner, const char* text, const std::vector<QlPlacedGlyph>& glyphs,
                    QlGlyphMask* strip, int* left);
// After a frame is painted: drops lines unused for a while, within a bound on memory.
void LineCache_EndFrame();
// Before fonts are freed: drops everything.
void LineCache_Clear();
// Lines found and lines laid out since the start (for measuring).
void LineCache_Counts(long* hits, long* misses);
