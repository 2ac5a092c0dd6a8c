#pragma once

#include <cstdint>

// A custom brush: up to 50 x 50 grabbed cells. Written to brush files byte for byte, so the
// layout is fixed; entry (a, b) is column a, row b.
struct BrushRecord {
    std::int16_t brushHeight[50][50];
    std::uint16_t brushTile[50][50];
    std::uint8_t brushMirror[50][50];
    std::uint8_t brushFlip[50][50];
    std::int8_t lastCol; // width - 1; negative = empty slot
    std::int8_t lastRow; // height - 1
    std::uint8_t reserved[6];
};
static_assert(sizeof(BrushRecord) == 15008, "brush records are stored byte for byte");
