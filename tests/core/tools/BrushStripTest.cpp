#include "BrushStrip.h"
#include "MainDoc.h"
#include "TestSupport.h"
#include "ToolCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// A strip pixel straight from the rules: item i = x / 64 from row 1 down; tile slots and single
// tiles as one tile at half size with the entry's orientation; stamps and brushes as pieces of
// 128 / s pixels, s the smallest power of two from 2 up that fits the pieces into 64 pixels.
std::uint32_t Expected(const CMainDoc& d, int px, int py) {
    const int i = px / 64, c = px % 64, r = py - 1;
    const int kind = d.m_sel.m_nSelKind;
    const TileGroup& g = d.m_tiles.m_tileGroup[d.m_sel.m_nSelGroup];
    const int v = d.m_sel.m_nSelVersion;
    int tile = -1, mirror = 0, flip = 0, n = 64, cc = c, rr = r;
    if (r < 0)
        return 0;
    if ((kind == selGroupVersion && i <= 13 && g.lastEntry[v][i + 1] >= 0) ||
        (kind == selSingleTiles && i <= g.lastEntry[v][15])) {
        const int slot = kind == selSingleTiles ? 15 : i + 1, e = kind == selSingleTiles ? i : 0;
        tile = g.entryTile[v][slot][e];
        mirror = g.entryMirror[v][slot][e];
        flip = g.entryFlip[v][slot][e];
    } else if ((kind == selGroupStamp && i < 10 && g.multiUsed[i]) ||
               (kind == selCustomBrush && i <= d.m_nLastBrush)) {
        const bool brush = kind == selCustomBrush;
        const int cols = (brush ? d.m_brush[i].lastCol : g.multiMaxCol[i]) + 1;
        const int rows = (brush ? d.m_brush[i].lastRow : g.multiMaxRow[i]) + 1;
        int s = 2;
        while (std::max(cols, rows) * 128 / s > 64)
            s *= 2;
        n = 128 / s;
        const int a = c / n, b = r / n;
        if (a >= cols || b >= rows)
            return 0;
        cc = c % n;
        rr = r % n;
        tile = brush ? d.m_brush[i].brushTile[a][b] : g.multiTile[i][a][b];
        mirror = brush ? d.m_brush[i].brushMirror[a][b] : 0;
        flip = brush ? d.m_brush[i].brushFlip[a][b] : 0;
    }
    if (tile < 0 || tile > d.m_tiles.m_nLastTile)
        return 0;
    const int step = 128 / n;
    const int col = mirror ? (n - 1 - cc) * step : cc * step;
    const int fromBottom = flip ? rr * step : (n - 1 - rr) * step;
    const std::uint32_t p = d.m_tiles.m_hTileDib[tile].At(col, 127 - fromBottom);
    if (i != d.m_sel.m_nSelItem)
        return p;
    std::uint32_t out = 0;
    for (int shift : {0, 8, 16})
        out |= static_cast<std::uint32_t>(std::min(255, static_cast<int>((p >> shift) & 0xFF) + 64))
               << shift;
    return out;
}

class BrushStripTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseNamedTiles(d);
        // Noise pictures: every orientation and sampling mistake shows.
        std::uint32_t s = 1;
        for (int t = 0; t <= d.m_tiles.m_nLastTile; ++t) {
            Picture p(128, 128);
            for (std::uint32_t& px : p.pixels)
                px = ((s = s * 1664525u + 1013904223u) >> 8) & 0xFFFFFF;
            d.m_tiles.m_hTileDib[static_cast<std::size_t>(t)] = p;
        }
        // Stamps 1 (3 x 2, one piece beyond the library) and 3 (1 x 1); 0 and 2 unused.
        TileGroup& g = d.m_tiles.m_tileGroup[0];
        g.multiUsed[1] = g.multiUsed[3] = 1;
        g.multiMaxCol[1] = 2;
        g.multiMaxRow[1] = 1;
        for (int k = 0; k < 6; ++k)
            g.multiTile[1][k / 2][k % 2] = static_cast<std::uint8_t>(k == 4 ? 200 : k + 3);
        g.multiTile[3][0][0] = 9;
        // Brushes: 4 x 2 with every orientation and a missing tile, 50 x 50, and one row.
        const int sizes[][2] = {{3, 1}, {49, 49}, {17, 0}};
        for (int k = 0; k < 3; ++k) {
            BrushRecord& b = d.m_brush[k];
            b.lastCol = static_cast<std::int8_t>(sizes[k][0]);
            b.lastRow = static_cast<std::int8_t>(sizes[k][1]);
            for (int a = 0; a < 50; ++a)
                for (int r = 0; r < 50; ++r) {
                    b.brushTile[a][r] = static_cast<std::uint16_t>((a * 3 + r + k) % 16);
                    b.brushMirror[a][r] = static_cast<std::uint8_t>(a & 1);
                    b.brushFlip[a][r] = static_cast<std::uint8_t>(r & 1);
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
        ASSERT_EQ(p.width, 1281);
        ASSERT_EQ(p.height, 65);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                ASSERT_EQ(p.At(x, y), Expected(d, x, y)) << x << "," << y;
    }
    // The 50 x 50 brush takes one pixel per cell: its cell (a, b) is pixel (64 + a, 1 + b).
    EXPECT_EQ(StripDivisor(49), 128);
    for (auto [m, s] : {std::pair{0, 2}, {1, 4}, {3, 8}, {4, 16}, {15, 32}, {16, 64}, {63, 128}})
        EXPECT_EQ(StripDivisor(m), s) << m;
    // 25 single tiles need a wider picture than 20 boxes.
    d.m_tiles.m_tileGroup[0].lastEntry[0][15] = 24;
    d.SelectTile(0, 0, selSingleTiles);
    EXPECT_EQ(strip.Paint(d).width, 25 * 64 + 1);
}

TEST_F(BrushStripTest, ClicksSelectItemsAndOnlyCustomBrushesOfferActions) {
    d.SelectTile(0, 0, selCustomBrush);
    d.m_sel.m_nSelItem = 0;
    EXPECT_TRUE(StripLeftClick(d, 2 * 64 + 63)); // brush 2; the row does not matter
    EXPECT_EQ(d.m_sel.m_nSelItem, 2);
    EXPECT_FALSE(StripLeftClick(d, 3 * 64)); // beyond the last brush: nothing
    EXPECT_EQ(d.m_sel.m_nSelItem, 2);
    EXPECT_EQ(SelectedBrush(d), 2);

    EXPECT_EQ(StripRightClick(d, 64 + 10), 1);
    EXPECT_EQ(d.m_sel.m_nSelItem, 1);
    EXPECT_EQ(StripRightClick(d, 7 * 64), -1); // beyond: the last item is selected
    EXPECT_EQ(d.m_sel.m_nSelItem, 2);
    d.m_nLastBrush = -1;
    EXPECT_EQ(StripRightClick(d, 0), -1);
    EXPECT_EQ(SelectedBrush(d), -1);
    d.SelectTile(0, 0, selGroupVersion); // a right click on a tile slot selects it, no actions
    EXPECT_EQ(StripRightClick(d, 5 * 64), -1);
    EXPECT_EQ(d.m_sel.m_nSelItem, 5);
    EXPECT_EQ(SelectedBrush(d), -1);
}

} // namespace
