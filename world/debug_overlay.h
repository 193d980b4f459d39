// The debug overlay: six lines of diagnostics in the top-left corner during play.
#pragma once

// Where the camera stands, for the overlay to print.
struct DebugPlace {
    float x, y, angle;
};

// Draws the mouse position, frame rate, the place and angle, the renderer's counters and the
// render distance, then zeroes the face and sprite counters.
void Debug_DrawOverlay(const DebugPlace& place);
// Formats line n (0 to 5) of the overlay into out (100 bytes); mainPass picks the mouse reading.
void Debug_FormatLine(int n, bool mainPass, const DebugPlace& place, char* out);
