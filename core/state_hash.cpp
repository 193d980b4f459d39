// FNV-1a over bytes: simple, fast enough for a checkpoint a second, and the same everywhere.
#include "core/state_hash.h"

void StateHash_Bytes(StateHash* hash, const void* data, size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    uint64_t h = hash->value;
    for (size_t i = 0; i < size; i++) {
        h ^= bytes[i];
        h *= 0x100000001B3ull;
    }
    hash->value = h;
}
