// The frame-rate log: with ZORB_FPS_LOG=1 in the environment, once a second of frames (drawn or
// not: an idle screen's too) the frames run in that second, the render distance, the spread
// (standard deviation) and longest of the frames' intervals, and the mean and 99th percentile of
// the frames' latencies (input gathered to picture handed to the display) go to stderr, for
// measuring the game in its real window.
#pragma once

// Counts one frame of dt seconds, with the render distance it had, at the frame rate measured (the
// interval's inverse); prints when a second has gathered.
void FpsLog_Frame(float dt, int renderDistance, float frameRate);
