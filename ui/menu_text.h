// What every front-end screen shares: text lines with their black shadow, the one-second colour
// cycle, the splash fade and the menu blip.
#pragma once

#include <string>

#include "quillon/quillon.h"

const int kMenuLineSize = 200;

// A screen's line as it is printed: at most 199 characters, "%%" standing for "%".
void MenuText_Format(char out[kMenuLineSize], const char* text);
// Text from outside the game (a server's words, a player's name) as a line drawn as a format:
// printable characters only, '%' doubled, at most `most` characters.
std::string MenuText_Escaped(const std::string& text, size_t most);
// Draws the line in black 2 pixels right and down, then in its colour, both with alpha.
void MenuText_Shadowed(const char* text, float x, float y, QL_Color color, int alpha);
// Draws the line; its key labels ("[S]") can be clicked.
void MenuText_Draw(const char* text, float x, float y, QL_Color color, int alpha);
// The same for a line whose bracketed keys are not the screen's to ask for (the play keys).
void MenuText_DrawPlain(const char* text, float x, float y, QL_Color color, int alpha);
// A line of a front-end screen: its row (fraction of the height), text size (fraction of the
// height), the shadow's text and the front's text (often the same) and the front's colour.
struct MenuLine {
    float y, size;
    const char* shadow;
    const char* front;
    QL_Color color;
};
// Draws all shadows first, in order, then all fronts, centred at half the width.
void MenuText_DrawLines(const MenuLine* lines, int count);

// Full saturation, half value, hue falling once around the wheel per second.
QL_Color MenuText_CycleColor();
// The splash fade: ((t - 0.2) / 0.2) x 255, truncated; above 255 and below 0 as they come.
int MenuText_SplashAlpha(float t);
// The blip every accepted menu key plays.
void MenuText_Blip();
// Whether a key was asked for this frame: the letter released, or its label clicked.
bool MenuText_Asked(int key);
// The same, and if so the blip plays.
bool MenuText_KeyReleased(int key);
