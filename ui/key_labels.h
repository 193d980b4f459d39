// The key labels of the front-end screens ("[E]", "[S]") as places to click: a click on a label
// (the left mouse button, or A on a pad moving the pointer) asks for its key, so that every
// screen driven by keys can be played with the mouse or a pad alone. While a pad is in use the
// label under the pointer lights up; otherwise the screens look as they always have.
#pragma once

#include "quillon/quillon.h"

// Before a screen runs: the key whose label was clicked, from the labels drawn last frame; then
// the list starts again.
void KeyLabels_BeginFrame();
// Records the labels of a line of text drawn centred at x with its bottom at y, at the current
// text size, and lights the one under the pointer while a pad is in use.
void KeyLabels_Note(const char* line, float x, float y, QL_Color color);
// Whether the key's label was clicked this frame.
bool KeyLabels_Clicked(int key);
// The centre of the key's first label drawn this frame; false when none was.
bool KeyLabels_Find(int key, float* x, float* y);
