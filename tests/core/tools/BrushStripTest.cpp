#include "BrushStrip.h"
#include "MainDoc.h"
#include "TestSupport.h"
#include "ToolCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// A strip pixel straight from the rules: item x / 64 from row 1 down; a tile slot or single tile
// as its tile at half size, a stamp or brush as pieces of 128 / s pixels (s the least power of
// two that fits them into 64), each with the entry's orientation; the selected item + 64.
std::uint32_t Expected(const CMainDoc& d, int px, int py) {
    const int i = px / 64, kind = d.m_sel.m_nSelKind, v = d.m_sel.m_nSelVersion;
    const TileGroup& g = d.m_tiles.m_tileGroup[d.m_sel.m_nSelGroup];
    const BrushRecord& b = d.m_brush[std::min(i, 19)];
    int tile = -1, mirror = 0, flip = 0, n = 64, c = px % 64, r = py - 1;
    const bool single = kind == selSingleTiles;
    if ((kind == selGroupVersion && i <= 13 && g.lastEntry[v][i + 1] >= 0) ||
        (single && i <= g.lastEntry[v][15])) {
        const int slot = single ? 15 : i + 1, e = single ? i : 0;
        tile = g.entryTile[v][slot][e];
        mirror = g.entryMirror[v][slot][e];
        flip = g.entryFlip[v][slot][e];
    } else if ((kind == selGroupStamp && i < 10 && g.multiUsed[i]) ||
               (kind == selCustomBrush && i <= d.m_nLastBrush)) {
        const bool brush = kind == selCustomBrush;
        const int cols = (brush ? b.lastCol : g.multiMaxCol[i]) + 1;
        const int rows = (brush ? b.lastRow : g.multiMaxRow[i]) + 1;
        while (std::max(cols, rows) * n > 64)
            n /= 2;
        const int a = c / n, k = std::max(r, 0) / n;
        if (a >= cols || k >= rows)
            return 0;
        c %= n;
        r %= n;
        tile = brush ? b.brushTile[a][k] : g.multiTile[i][a][k];
        mirror = brush ? b.brushMirror[a][k] : 0;
        flip = brush ? b.brushFlip[a][k] : 0;
    }
    if (py == 0 || tile < 0 || tile > d.m_tiles.m_nLastTile)
        return 0;
    const int step = 128 / n;
    const std::uint32_t p = d.m_tiles.m_hTileDib[tile].At(
        mirror ? (n - 1 - c) * step : c * step, 127 - (flip ? r * step : (n - 1 - r) * step));
    const int add = i == d.m_sel.m_nSelItem ? 64 : 0;
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16})
        out |= static_cast<std::uint32_t>(std::min(255, int((p >> shift) & 0xFF) + add)) << shift;
    return out;
}

class BrushStripTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseNamedTiles(d);
        std::uint32_t s = 1; // noise pictures: every orientation or sampling mistake shows
        for (int t = 0; t <= d.m_tiles.m_nLastTile; ++t) {
            Picture& p = d.m_tiles.m_hTileDib[static_cast<std::size_t>(t)] = Picture(128, 128);
            for (std::uint32_t& px : p.pixels)
                px = ((s = s * 1664525u + 1013904223u) >> 8) & 0xFFFFFF;
        }
        // Stamps 1 (3 x 2, a piece beyond the library) and 3 (1 x 1).
        TileGroup& g = d.m_tiles.m_tileGroup[0];
        g.multiUsed[1] = g.multiUsed[3] = 1;
        g.multiMaxCol[1] = 2;
        g.multiMaxRow[1] = 1;
        for (int k = 0; k < 6; ++k)
            g.multiTile[1][k / 2][k % 2] = static_cast<std::uint8_t>(k == 4 ? 200 : k + 3);
        // Brushes of 4 x 2 (a missing tile), 50 x 50 (one pixel a cell) and 18 x 1 cells.
        const int sizes[][2] = {{3, 1}, {49, 49}, {17, 0}};
        for (int k = 0; k < 3; ++k) {
            d.m_brush[k].lastCol = static_cast<std::int8_t>(sizes[k][0]);
            d.m_brush[k].lastRow = static_cast<std::int8_t>(sizes[k][1]);
            for (int a = 0; a < 50; ++a)
                for (int r = 0; r < 50; ++r) {
                    d.m_brush[k].brushTile[a][r] = static_cast<std::uint16_t>((a * 3 + r + k) % 16);
                    d.m_brush[k].brushMirror[a][r] = static_cast<std::uint8_t>(a & 1);
                    d.m_brush[k].brushFlip[a][r] = static_cast<std::uint8_t>(r & 1);
                }
        }
        d.m_brush[0].brushTile[2][1] = kMissingTile;
        d.m_nLastBrush = 2;
    }
    std::unique_ptr<CMainDoc> m_doc = std::make_unique<CMainDoc>();
    CMainDoc& d = *m_doc;
};

TEST_F(BrushStripTest, EverySelectionKindMatchesThePerPixelRules) {
    BrushStrip strip;
    // Kind, version, selected item (beyond the last item: the last), last item.
    const int cases[][4] = {{selGroupVersion, 0, 4, 13}, {selSingleTiles, 0, 1, 1},
                            {selGroupStamp, 0, 1, 3},    {selCustomBrush, 0, 9, 2},
                            {selGroupVersion, 3, 0, 13}, {7, 0, 0, 0}};
    for (const auto& [kind, version, item, last] : cases) {
        SCOPED_TRACE("kind " + std::to_string(kind) + " item " + std::to_string(item));
        d.SelectTile(0, version, kind);
        d.m_sel.m_nSelItem = item;
        EXPECT_EQ(LastItem(d), last);
        const Picture& p = strip.Paint(d);
        EXPECT_EQ(d.m_sel.m_nSelItem, std::min(item, last));
        EXPECT_EQ(d.m_sel.m_bStripChanged, 0);
        ASSERT_EQ(p.width * 100 + p.height, 1281 * 100 + 65);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                ASSERT_EQ(p.At(x, y), Expected(d, x, y)) << x << "," << y;
    }
    for (auto [m, s] : {std::pair{0, 2}, {1, 4}, {3, 8}, {4, 16}, {15, 32}, {16, 64}, {49, 128}})
        EXPECT_EQ(StripDivisor(m), s) << m;
    d.m_tiles.m_tileGroup[0].lastEntry[0][15] = 24; // 25 single tiles need more than 20 boxes
    d.SelectTile(0, 0, selSingleTiles);
    EXPECT_EQ(strip.Paint(d).width, 25 * 64 + 1);
}

TEST_F(BrushStripTest, ClicksSelectItemsAndOnlyCustomBrushesOfferActions) {
    d.SelectTile(0, 0, selCustomBrush);
    EXPECT_TRUE(StripLeftClick(d, 2 * 64 + 63)); // brush 2
    EXPECT_FALSE(StripLeftClick(d, 3 * 64));     // beyond the last brush: nothing
    EXPECT_EQ(SelectedBrush(d), 2);
    EXPECT_EQ(StripRightClick(d, 64 + 10), 1);
    EXPECT_EQ(StripRightClick(d, 7 * 64), -1); // beyond: the last item is selected
    EXPECT_EQ(d.m_sel.m_nSelItem, 2);
    d.m_nLastBrush = -1;
    EXPECT_EQ(StripRightClick(d, 0) + SelectedBrush(d), -2);
    d.SelectTile(0, 0, selGroupVersion); // a tile slot is selected, no actions offered
    EXPECT_EQ(StripRightClick(d, 5 * 64) + SelectedBrush(d), -2);
    EXPECT_EQ(d.m_sel.m_nSelItem, 5);
}

} // namespace
