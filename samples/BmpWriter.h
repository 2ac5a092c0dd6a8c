#pragma once

// Writing pictures as uncompressed Windows bitmaps.

#include "Texture.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace samplegen {

using Colour8 = std::array<std::uint8_t, 3>; // r, g, b

// The 256 colours an 8-bit file of `image` uses: the most frequent colours after reducing every
// channel to 5 bits, each entry the average of the pixels it stands for. Unused entries are
// black.
std::array<Colour8, 256> ChoosePalette(const Image& image);

// Both throw std::runtime_error when the file cannot be written.
void WriteBmp24(const std::filesystem::path& file, const Image& image);
// Each pixel becomes the nearest entry of ChoosePalette(image).
void WriteBmp8(const std::filesystem::path& file, const Image& image);

} // namespace samplegen
