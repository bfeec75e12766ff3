// The one random generator of the engine: a linear congruential generator with one
// state per thread, seeded explicitly by every user so rooms trace the same each time.
#pragma once
#include <cstdint>

namespace kelvoran {

inline thread_local uint32_t randomState = 1;

inline void seedRandom(uint32_t seed) { randomState = seed; }

// 0..32767
inline int drawRandom() {
    randomState = randomState * 214013u + 2531011u;
    return int((randomState >> 16) & 0x7FFF);
}

}  // namespace kelvoran
