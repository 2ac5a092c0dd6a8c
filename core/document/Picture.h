#pragma once

#include <cstdint>
#include <vector>

// A 32-bit picture: pixels are 0x00RRGGBB words (bytes blue, green, red, 0 in memory),
// stored top row first, rows of exactly `width` pixels. Tile pictures, the map view's frame
// and the mini map all use this type.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Picture() = default;
    Picture(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h, 0u) {}

    bool IsNull() const { return pixels.empty(); }
    std::uint32_t* Row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const std::uint32_t* Row(int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * width;
    }
    std::uint32_t& At(int x, int y) { return Row(y)[x]; }
    std::uint32_t At(int x, int y) const { return Row(y)[x]; }

    // Average colour as 0x00RRGGBB: each channel is the integer mean over all pixels.
    std::uint32_t AverageColor() const;
};

constexpr std::uint32_t MakeColor(int r, int g, int b) {
    return (static_cast<std::uint32_t>(r) << 16) | (static_cast<std::uint32_t>(g) << 8) |
           static_cast<std::uint32_t>(b);
}
