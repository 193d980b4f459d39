// The end-of-run report of zorb-headless, as JSON.
#pragma once

struct FrameTimes {
    double total = 0.0, worst = 0.0;
    long count = 0;
    void Add(double seconds) {
        total += seconds;
        if (seconds > worst) worst = seconds;
        count++;
    }
};

// Writes the program's current state and the frame-time figures to path; with the bot's run's
// length in frames where it played one (runFrames 0 or more).
bool Report_Write(const char* path, const FrameTimes& times, long runFrames = -1);
