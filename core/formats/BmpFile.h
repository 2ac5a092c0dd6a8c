#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A decoded view of an uncompressed BMP file held in memory. Parsing checks every size and
// offset against the bytes actually present, so rows can be read without further checks.
struct BmpFile {
    int width = 0;
    int height = 0; // always positive
    int bitCount = 0;
    bool topDown = false;               // rows stored top row first (negative height in the header)
    int rowStride = 0;                  // bytes per stored row, padded to 4 bytes
    std::vector<std::uint8_t> bytes;    // the whole file
    std::size_t pixelOffset = 0;        // where the first stored row begins
    std::vector<std::uint32_t> palette; // 0x00RRGGBB; 256 entries for 8-bit files, unused ones 0

    // Stored row `memoryRow` (0 = first row in the file).
    const std::uint8_t* StoredRow(int memoryRow) const {
        return bytes.data() + pixelOffset + static_cast<std::size_t>(memoryRow) * rowStride;
    }
    // Row counted from the bottom of the picture (0 = lowest row).
    const std::uint8_t* RowFromBottom(int row) const {
        return StoredRow(topDown ? height - 1 - row : row);
    }

    // Parses `data`. On failure returns false and says why in `error`; the file is then unusable.
    // Accepts uncompressed 8-bit palette and 24-bit pictures only.
    static bool Parse(std::vector<std::uint8_t> data, BmpFile& out, std::string& error);
};
