// A verification worker: claims the oldest waiting run under a lease, keeps the lease alive while
// the run is replayed, and files the verdict, only while it still owns the claim.
#pragma once

#include <atomic>
#include <string>

#include "server/run_store.h"
#include "server/verifier.h"

struct WorkerOptions {
    std::string headless; // zorb-headless
    std::string scratch;  // a folder for the replay's file
    int leaseSeconds = 30;
    VerifierLimits limits;
};

// Verifies runs until stop is set, then finishes the run in hand and returns. Returns 0, or 1
// when the database cannot be reached at all.
int Worker_Loop(RunStore* store, const WorkerOptions& options, const std::atomic<bool>& stop);
// Claims and verifies one run, if one waits. True when one was handled.
bool Worker_Once(RunStore* store, const WorkerOptions& options, const std::string& name);
// Tells the story of one run verified before the board kept stories, replaying it again at a low
// priority, if one is left. True when one was handled. The loop does this only when no run waits.
bool Worker_TellOnce(RunStore* store, const WorkerOptions& options, const std::string& name);
