// The board's schema, as the steps that make it: a database at version N is brought up to date by
// the steps after N, in order.
#pragma once

#include <cstdint>
#include <vector>

// How many steps there are: the version of an up-to-date database.
int64_t Schema_Version();
// The statements of step (0 to Schema_Version() - 1).
const std::vector<const char*>& Schema_Step(int64_t step);
