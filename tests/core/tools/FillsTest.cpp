#include "Fills.h"
#include "MainDoc.h"
#include "ToolCodes.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace {

using Cells = std::vector<std::pair<int, int>>;

Cells Fill(CMainDoc& doc, int fill, int x, int y) {
    Cells visited;
    PerformFill(doc, fill, x, y, [&](int cx, int cy) { visited.emplace_back(cx, cy); });
    return visited;
}

// The scanline fill written the plain recursive way, for the visiting order.
void ReferenceFill(const CMainDoc& doc, std::vector<std::vector<bool>>& marks, int x, int y, int t,
                   Cells& out) {
    auto matches = [&](int cx, int cy) {
        return !marks[cx][cy] && doc.m_map.m_tile[CellIndex(cx, cy)] == t;
    };
    marks[x][y] = true;
    out.emplace_back(x, y);
    int i = x;
    while (i > 0 && matches(i - 1, y)) {
        marks[--i][y] = true;
        out.emplace_back(i, y);
    }
    int r = x;
    while (r < doc.m_map.m_nSizeX - 1 && matches(r + 1, y)) {
        marks[++r][y] = true;
        out.emplace_back(r, y);
    }
    for (int k = i; k <= r; ++k) {
        if (y > 0 && matches(k, y - 1))
            ReferenceFill(doc, marks, k, y - 1, t, out);
        if (y < doc.m_map.m_nSizeY - 1 && matches(k, y + 1))
            ReferenceFill(doc, marks, k, y + 1, t, out);
    }
}

TEST(FillsTest, FloodFillVisitsInTheRecursiveOrder) {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_map.m_nSizeX = 40;
    doc->m_map.m_nSizeY = 30;
    std::uint32_t s = 5;
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 30; ++y) {
            s = s * 1103515245u + 12345u;
            doc->m_map.m_tile[CellIndex(x, y)] = ((s >> 16) % 100) < 70 ? 1 : 2;
        }
    doc->m_map.m_tile[CellIndex(20, 15)] = 1;
    std::vector<std::vector<bool>> marks(40, std::vector<bool>(30, false));
    Cells expected;
    ReferenceFill(*doc, marks, 20, 15, 1, expected);
    const Cells got = Fill(*doc, fillFloodTile, 20, 15);
    EXPECT_GT(got.size(), 100u);
    EXPECT_EQ(got, expected);
    EXPECT_EQ(doc->m_redraw.m_bRedrawAll, 1);
}

TEST(FillsTest, RegionsOfEachFillKind) {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 8;
    // Checkerboard of tiles 1 and 2.
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            doc->m_map.m_tile[CellIndex(x, y)] = static_cast<std::uint16_t>(1 + (x + y) % 2);
    EXPECT_EQ(Fill(*doc, fillFloodTile, 2, 2).size(), 1u);
    const Cells wipe = Fill(*doc, fillWipeTile, 2, 2);
    EXPECT_EQ(wipe.size(), 32u);
    EXPECT_EQ(wipe.front(), std::make_pair(0, 0)); // x outer, y inner
    EXPECT_EQ(wipe[1], std::make_pair(0, 2));
    EXPECT_EQ(Fill(*doc, fillEntireMap, 7, 7).size(), 64u);
    // A plateau of height 20 bordered by 21: exactly the plateau.
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            doc->m_map.m_height[CellIndex(x, y)] = (x >= 2 && x <= 5 && y >= 1 && y <= 6) ? 20 : 21;
    const Cells plateau = Fill(*doc, fillFloodHeight, 3, 3);
    EXPECT_EQ(plateau.size(), 24u);
    for (auto [x, y] : plateau)
        EXPECT_EQ(doc->m_map.m_height[CellIndex(x, y)], 20);
    // A seed outside the map does nothing, not even a redraw request.
    doc->m_redraw.m_bRedrawAll = 0;
    EXPECT_TRUE(Fill(*doc, fillEntireMap, 8, 0).empty());
    EXPECT_TRUE(Fill(*doc, fillFloodTile, -1, 3).empty());
    EXPECT_EQ(doc->m_redraw.m_bRedrawAll, 0);
}

TEST(FillsTest, WindingRegionOfAWholeMapCompletes) {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 512;
    // A serpentine: walls on every other column, open alternately at the top and the bottom,
    // so the region is one path of about 131,000 cells.
    std::size_t open = 0;
    for (int x = 0; x < 512; ++x)
        for (int y = 0; y < 512; ++y) {
            const bool wall = (x % 2 == 1) && ((x / 2) % 2 == 0 ? y != 511 : y != 0);
            doc->m_map.m_tile[CellIndex(x, y)] = wall ? 9 : 0;
            open += wall ? 0 : 1;
        }
    std::set<std::pair<int, int>> seen;
    std::size_t count = 0;
    PerformFill(*doc, fillFloodTile, 0, 0, [&](int x, int y) {
        ++count;
        seen.emplace(x, y);
    });
    EXPECT_EQ(count, open);
    EXPECT_EQ(seen.size(), open); // every cell once
    // The whole map as one region, and by height.
    EXPECT_EQ(Fill(*doc, fillFloodHeight, 511, 511).size(), 512u * 512u);
}

} // namespace
