// Verifying a run: the game's own zorb-headless --verify plays it in a process of its own, held
// to a wall time, a memory and a CPU limit, so that a run that crashes or hangs the simulation
// costs one child and never the worker.
#pragma once

#include <string>

#include "server/run_store.h"

struct VerifierLimits {
    int wallSeconds = 60;
    long memoryBytes = 1L << 30;
    int niceness = 0; // added to the replay's niceness: 10 for work that may wait
};

// Plays the recording's bytes with the program at headless (zorb-headless), its scratch files in
// folder. The verdict: verified with the replay's figures, or rejected with the reason and frame.
// False only when the verification could not be carried out at all (the run then stays queued).
bool Verifier_Run(const std::string& headless, const std::string& folder, const std::string& bytes,
                  const VerifierLimits& limits, Verdict* verdict, std::string* why);
// The verdict in the line zorb-headless printed, with its exit status (exposed for tests).
Verdict Verifier_Read(const std::string& output, int status);
// Removes the scratch recordings in folder of workers that are gone (killed mid-replay, say),
// leaving those of running processes; at a worker's start and as it claims a run.
void Verifier_Sweep(const std::string& folder);
