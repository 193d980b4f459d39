// Sines, cosines and arc tangents for the simulation that give the same bits on every system:
// the C libraries of Linux and Windows round sinf, cosf and atan2f differently in the last bit,
// and a recorded run must play out the same on both. Computed in double from + - * / alone.
#pragma once

float SimMath_Sin(float radians);
float SimMath_Cos(float radians);
// The angle of (x, y) from the x axis in radians, -pi to pi, with atan2's quadrants and zeros.
float SimMath_Atan2(float y, float x);
