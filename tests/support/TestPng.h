#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

// Builds and decodes PNG files for tests with libpng's plain API: samples go in and come out as
// stored, with no transformation, so tests can check a reader's conversions independently.
struct TestPng {
    // PNG colour types
    enum { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };
    int width = 0;
    int height = 0;
    int colorType = Grey;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<std::array<std::uint8_t, 3>> palette = {}; // for Palette pictures
    // width * height * channels samples, top row first; palette pictures hold indices.
    std::vector<std::uint16_t> samples = {};

    int Channels() const;
    std::uint16_t& At(int x, int y, int channel = 0) {
        return samples[(static_cast<std::size_t>(y) * width + x) * Channels() + channel];
    }

    // Throws std::runtime_error when libpng refuses the picture.
    std::vector<std::uint8_t> Encode() const;
    static TestPng Decode(const std::vector<std::uint8_t>& file);
};
