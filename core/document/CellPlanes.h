#pragma once

#include "Limits.h"

#include <cstdint>
#include <vector>

// The four cell planes of a map and its size. Cell (x, y) is element CellIndex(x, y) of every
// plane, whatever the size: the planes always hold the whole 512 x 512 area, so a resize keeps
// what lies outside the new size. The planes live on the heap and never change length, which
// makes copying a snapshot one allocation-free copy and exchanging two maps a pointer swap.
struct CellPlanes {
    int m_nSizeX = 256;
    int m_nSizeY = 256;
    std::vector<std::uint8_t> m_height = std::vector<std::uint8_t>(kPlaneCells);
    std::vector<std::uint16_t> m_tile = std::vector<std::uint16_t>(kPlaneCells);
    std::vector<std::uint8_t> m_mirror = std::vector<std::uint8_t>(kPlaneCells);
    std::vector<std::uint8_t> m_flip = std::vector<std::uint8_t>(kPlaneCells);

    bool InMap(int x, int y) const { return x >= 0 && y >= 0 && x < m_nSizeX && y < m_nSizeY; }

    // Sets every cell of the four planes to 0 over the whole 512 x 512 area; the size stays.
    void ClearPlanes();
    // Copies the four planes of `other`; the size stays.
    void CopyPlanes(const CellPlanes& other);
    // Exchanges the four planes with `other`; both sizes stay.
    void SwapPlanes(CellPlanes& other) noexcept;
    // The four planes are equal over the whole area (the sizes are not compared).
    bool SamePlanes(const CellPlanes& other) const;
    // Same size and same planes.
    bool operator==(const CellPlanes& other) const = default;
};
