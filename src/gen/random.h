// The generator's own random numbers: xoshiro256** seeded by splitmix64.
// Integer arithmetic only, so a seed gives the same numbers on every
// platform and compiler (the standard library's distributions do not).
#pragma once
#include <cstdint>

namespace gen {

inline uint64_t SplitMix64(uint64_t* x) {
    uint64_t z = (*x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

struct Random {
    uint64_t s[4];
};

inline Random Seeded(uint64_t seed) {
    Random r;
    for (uint64_t& w : r.s) w = SplitMix64(&seed);
    return r;
}

inline uint64_t Next(Random* r) {
    uint64_t* s = r->s;
    const uint64_t x = s[1] * 5;
    const uint64_t result = ((x << 7) | (x >> 57)) * 9;
    const uint64_t t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = (s[3] << 45) | (s[3] >> 19);
    return result;
}

// 0 .. n-1. The modulo's bias is far below anything a level could show.
inline int Below(Random* r, int n) { return static_cast<int>(Next(r) % static_cast<uint64_t>(n)); }

}  // namespace gen
