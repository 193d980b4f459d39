// Choosing a display by its description among those there are.
#pragma once

#include "quillon/quillon.h"

// The display of the list that is the one wanted: the same name and bounds, else the same name
// and size (moved in the desktop's layout); else the primary, 0. An empty name wants the primary.
int Displays_Match(const QL_Display* list, int count, const QL_Display& wanted);
// The display chosen among those there are now.
int Displays_Chosen();
// The desktop's size (pixels) and origin (points) of a display, where it can be read.
bool Displays_Read(int index, int* w, int* h, int* x, int* y);
// Headless: one display, and the primary wanted.
void Displays_Reset();
// Headless: so many displays side by side, the window on the first.
void Displays_SetHeadlessCount(int count);
