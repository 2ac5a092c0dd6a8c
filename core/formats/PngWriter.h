#pragma once

#include "Picture.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Writes PNG files with libpng, into memory.

// The layout of a picture to encode and where its rows come from. `fillRow(y, row)` puts the
// samples of picture row y (top first) into `row`, which holds width * channels * bitDepth / 8
// bytes, 16-bit samples big-endian. It may throw; the encode then stops.
struct PngRows {
    enum class Kind { Grey, Rgb };
    int width = 0;
    int height = 0;
    Kind kind = Kind::Rgb;
    int bitDepth = 8; // 8 or 16
    // A PNG_FILTER_* mask (-1: libpng's adaptive choice) and the deflate level 0..9. The Sub
    // filter at level 3 makes rendered maps about 7 % larger than libpng's defaults (adaptive
    // filters, level 6) in half the time (bench/batch_render_bench).
    int filter = 0x10; // PNG_FILTER_SUB
    int level = 3;
    std::function<void(int y, std::uint8_t* row)> fillRow;

    std::size_t RowBytes() const;
};

// Encodes the picture described by `rows` into `png`. Returns false and says why in `error` when
// libpng fails.
bool EncodePng(const PngRows& rows, std::vector<std::uint8_t>& png, std::string& error);

// Puts n pixels of 0x00RRGGBB into n * 3 bytes of red, green, blue.
void PixelsToRgb(const std::uint32_t* pixels, int n, std::uint8_t* rgb);

// Encodes a whole picture as an 8-bit RGB PNG.
bool EncodePicturePng(const Picture& picture, std::vector<std::uint8_t>& png, std::string& error);

// Writes `picture` as an 8-bit RGB PNG to `path` through a temporary file (AtomicFile). Throws
// FileError on failure; an existing file then stays as it was.
void WritePicturePng(const Picture& picture, const std::filesystem::path& path);
