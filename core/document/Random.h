#pragma once

#include <cstdint>

// The editor's one source of random numbers: values 0..32767, seedable so that tests repeat.
class Random {
public:
    static constexpr int kMax = 32767;

    static void Seed(std::uint32_t seed);
    static int Next();

private:
    static std::uint32_t s_state;
};
