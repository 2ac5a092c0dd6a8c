#include "Random.h"

std::uint32_t Random::s_state = 1;

void Random::Seed(std::uint32_t seed) {
    s_state = seed;
}

int Random::Next() {
    // A linear congruential generator with the classic constants; the high bits are the result.
    s_state = s_state * 1103515245u + 12345u;
    return static_cast<int>((s_state >> 16) & 0x7FFF);
}
