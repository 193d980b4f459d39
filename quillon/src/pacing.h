// Frame pacing: each frame is due one interval after the last one's deadline, slept to as an
// absolute time, so that intervals stay even instead of drifting by each frame's own overshoot.
#pragma once

// The next frame's deadline, in seconds on the frame clock: one interval after the last deadline.
// A frame whose work ran past it starts at once; when it has passed by a whole interval or more
// (a stall, or frames slower than the cap), the deadline is now and the next ones follow from it:
// a stall is not made up for with a burst of short frames, and a frame slower than the cap never
// waits. The first frame (lastDeadline 0) is due an interval from now.
double Pacing_NextDeadline(double lastDeadline, double now, double interval);
// Sleeps until the deadline on the frame clock (now gives its time), waking early by at most
// spinSeconds and spinning the rest. The seconds spun.
double Pacing_SleepUntil(double deadline, double (*now)(), double spinSeconds);
