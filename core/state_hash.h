// A 64-bit hash of the simulation's state, for the checkpoints of a recorded run: the same state
// hashes the same on every system, and a run that strays from its recording shows at once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

struct StateHash {
    uint64_t value = 0xCBF29CE484222325ull; // FNV-1a's offset basis
};

// Mixes size bytes in (FNV-1a).
void StateHash_Bytes(StateHash* hash, const void* data, size_t size);

// Mixes each value in by its bytes: numbers, flags and records of numbers without padding.
template <class... T> void StateHash_Add(StateHash* hash, const T&... values) {
    static_assert((std::is_trivially_copyable_v<T> && ...), "hash plain values only");
    (StateHash_Bytes(hash, &values, sizeof values), ...);
}
