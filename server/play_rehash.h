// Runs stored while the play hash still took in fields the simulation never reads, hashed again.
#pragma once

#include <string>

#include "server/run_store.h"

// Hashes again, from its kept recording, the play of every run stored the older way (marked by
// the schema), so that a copy of it with such a field changed is still known. A run found to be
// the same play as an earlier one is hidden as its copy; a run whose recording was let go keeps
// its hash. False (with why) when the database failed; what was done stays done.
bool PlayRehash_Run(RunStore& store, std::string* why);
