// The pieces the mouse-driven screens (pause, game over) share: a button and shadowed text.
#pragma once

#include "quillon/quillon.h"

// A button by its centre and size.
struct WidgetButton {
    float cx, cy, w, h;
};

// Whether (x, y) lies strictly inside the button: its edges and the line between two buttons
// that touch belong to neither.
bool Widget_Hovered(const WidgetButton& b, float x, float y);
// Draws the button (light grey under the mouse, dark grey otherwise, outlined in black; the
// caller has set rectangle mode 0) and tells whether it was clicked: the left button released
// over it.
bool Widget_Button(const WidgetButton& b);
// Text with its black shadow 2 pixels right and down: the shadow's text, then the front's in
// the colour, at the current size and alignment, both at alpha (255 unless fading).
void Widget_ShadowedText(const char* shadow, const char* front, float x, float y, QL_Color color,
                         int alpha = 255);
