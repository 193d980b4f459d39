// zorb-headless --server URL --send FILE.zrun: a recording sent to the world board with the
// game's own client, its verdict awaited and printed.
#pragma once

#include "tools/headless/script.h"

// 0 when the run was verified, 1 otherwise (not sent, rejected, or no verdict in time).
int Headless_Send(const HeadlessConfig& config);
