// A small pool of threads of the engine's own that runs one job over numbered pieces of work
// (the canvas's horizontal bands), the calling thread taking its share.
#pragma once

#include <functional>

// Starts the pool with this many threads in all (the caller counts as one); 0 picks the
// machine's core count, or QUILLON_THREADS where it is set. Restarting resizes the pool.
void BandPool_Start(int threads);
void BandPool_Stop();
int BandPool_Threads();
// Runs job(i) for every i in [0, count) across the pool and returns when all are done.
void BandPool_Run(int count, const std::function<void(int)>& job);
