// SHA-256, for the digest a recording is bound to when its run session closes: taken as the
// recording is written, so the game never reads the file back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct Sha256 {
    uint32_t state[8];
    uint64_t length = 0; // bytes added
    uint8_t block[64];
    size_t used = 0; // bytes waiting in block
};

void Sha256_Start(Sha256* s);
void Sha256_Add(Sha256* s, const void* data, size_t size);
// The digest of what was added so far, as 64 lower-case hex digits; s goes on unchanged.
std::string Sha256_Hex(const Sha256& s);
// The digest of bytes, in hex.
std::string Sha256_Of(const void* data, size_t size);
