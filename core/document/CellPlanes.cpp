#include "CellPlanes.h"

#include <algorithm>

void CellPlanes::ClearPlanes() {
    std::fill(m_height.begin(), m_height.end(), 0);
    std::fill(m_tile.begin(), m_tile.end(), 0);
    std::fill(m_mirror.begin(), m_mirror.end(), 0);
    std::fill(m_flip.begin(), m_flip.end(), 0);
}

void CellPlanes::CopyPlanes(const CellPlanes& other) {
    // Same lengths on both sides: assignment copies without reallocating.
    m_height = other.m_height;
    m_tile = other.m_tile;
    m_mirror = other.m_mirror;
    m_flip = other.m_flip;
}

void CellPlanes::SwapPlanes(CellPlanes& other) noexcept {
    m_height.swap(other.m_height);
    m_tile.swap(other.m_tile);
    m_mirror.swap(other.m_mirror);
    m_flip.swap(other.m_flip);
}

bool CellPlanes::SamePlanes(const CellPlanes& other) const {
    return m_height == other.m_height && m_tile == other.m_tile && m_mirror == other.m_mirror &&
           m_flip == other.m_flip;
}
