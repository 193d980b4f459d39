// One seeded random generator (xorshift64*), the same sequence on every platform for a seed.
#include <cstdint>

#include "quillon/headless.h"
#include "quillon/quillon.h"

static uint64_t state = 0x9E3779B97F4A7C15ull;
static bool seedForced = false;
static uint32_t forcedSeed = 0;
static uint32_t lastSeed = 0;

void QLH_ForceSeed(unsigned seed) {
    seedForced = true;
    forcedSeed = seed;
}
void QLH_ReleaseSeed() {
    seedForced = false;
}

static uint64_t Next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return state * 0x2545F4914F6CDD1Dull;
}

// Spreads the seed so that nearby seeds start far apart; the state must never be zero.
void QL_Random_Seed(uint32_t seed) {
    if (seedForced) seed = forcedSeed;
    lastSeed = seed;
    uint64_t z = (uint64_t)seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    state = (z ^ (z >> 31)) | 1u;
}

float QL_Random_GetFloat() {
    return (float)(Next() >> 40) * (1.0f / 16777216.0f);
}

float QL_Random_RangeFloat(float lo, float hi) {
    return lo + (hi - lo) * QL_Random_GetFloat();
}

int QL_Random_RangeInt(int lo, int hi) {
    if (hi < lo) {
        int t = lo;
        lo = hi;
        hi = t;
    }
    uint64_t span = (uint64_t)((int64_t)hi - (int64_t)lo) + 1u;
    return (int)((int64_t)lo + (int64_t)(Next() % span));
}

uint32_t QL_Random_GetSeed() {
    return lastSeed;
}

uint64_t QL_Random_GetState() {
    return state;
}
