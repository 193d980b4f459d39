// How long each frame takes from its input being gathered to its picture being handed to the
// display (the X server has taken it, or the renderer has presented it): kept until read, for
// measuring the game in its window.
#pragma once

// Seconds on the clock that stamps a frame's input.
double FrameLatency_Now();
// One frame's latency: its input was gathered at inputSeconds (FrameLatency_Now's clock) and its
// picture has just been handed over. Safe from any thread; the oldest are kept when more gather
// than are read.
void FrameLatency_Add(double inputSeconds);
// The latencies gathered since the last call, in seconds, up to max of them into out; their count.
int FrameLatency_Take(float* out, int max);
