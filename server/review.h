// The moderators' view of the runs waiting for review: each with the figures a person judges a
// top place by.
#pragma once

#include <cstdio>

#include "server/run_store.h"

// Prints the runs waiting for review to out: the run, its session's times and lost time, the hands
// behind it, and its key's other runs. False when the database did not answer.
bool Review_List(RunStore& store, std::FILE* out);
