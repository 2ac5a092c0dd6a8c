#include "FrameOps.h"
#include "MainDoc.h"
#include "MapRenderer.h"
#include "Navigation.h"
#include "Random.h"
#include "RegionRender.h"
#include "TestSupport.h"
#include "Zoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// A tile of pseudo-random pixels whose fourth byte is 0.
Picture NoiseTile(std::uint32_t seed) {
    Picture p(128, 128);
    std::uint32_t s = seed;
    for (std::uint32_t& px : p.pixels) {
        s = s * 1664525u + 1013904223u;
        px = (s >> 8) & 0xFFFFFF;
    }
    return p;
}

// What a cell pixel must be, straight from the rules: output column c, row r from the top of
// an n-pixel cell, brightened by b, or shaded from the corners k = {tl, tr, bl, br} if given.
// The tile's rows are counted bottom-up when sampling.
std::uint32_t ExpectedPixel(const Picture& tile, int c, int r, int step, int flip, int mirror,
                            int b, const int* k = nullptr) {
    const int n = 128 / step;
    const int v = n - 1 - r; // row from the cell's bottom
    const int srcFromBottom = flip ? r * step : v * step;
    const int srcCol = mirror ? (n - 1 - c) * step : c * step;
    const std::uint32_t p = tile.At(srcCol, 127 - srcFromBottom);
    int value;
    if (k) {
        const int q = n * n, i = c;
        value = (k[2] * (q + i * v - i * n - n * v)) / q + (k[0] * (n * v - i * v)) / q +
                ((i * n - i * v) * k[3]) / q + (k[1] * i * v) / q;
    } else {
        if (b < -128)
            return 0;
        if (b > 200)
            return 0xFFFFFFFFu;
        value = b;
    }
    auto ch = [&](int shift) {
        return static_cast<std::uint32_t>(
                   std::clamp(static_cast<int>((p >> shift) & 0xFF) + value, 0, 255))
               << shift;
    };
    return (p & 0xFF000000u) | ch(16) | ch(8) | ch(0);
}

TEST(FrameOpsTest, CellsMatchThePerPixelRulesAtEveryZoomAndOrientation) {
    const Picture tile = NoiseTile(7);
    for (int step : {1, 2, 4, 8, 16, 32}) {
        const int n = 128 / step;
        for (int orient = 0; orient < 4; ++orient) {
            const int mirror = orient & 1, flip = orient >> 1;
            // Draws one cell at (10, 20), brightened by b or shaded from the corners k.
            auto check = [&](int b, const int* k) {
                Picture frame(300, 300);
                if (k)
                    DrawTileShaded(frame, 10, 20, tile, k[0], k[1], k[2], k[3], flip, mirror, step);
                else
                    DrawTile(frame, 10, 20, tile, b, flip, mirror, step);
                for (int r = 0; r < n; ++r)
                    for (int c = 0; c < n; ++c)
                        ASSERT_EQ(frame.At(10 + c, 20 + r),
                                  ExpectedPixel(tile, c, r, step, flip, mirror, b, k))
                            << "step " << step << " orient " << orient << " b " << b << " c " << c
                            << " r " << r;
                EXPECT_EQ(frame.At(9, 20), 0u); // nothing outside the cell
                EXPECT_EQ(frame.At(10 + n, 20 + n - 1), 0u);
            };
            for (int b : {0, -1, -64, -128, -129, 1, 100, 200, 201})
                check(b, nullptr);
            // Shaded: corners with mixed signs and large values exercise the truncation.
            const int corners[][4] = {
                {0, 0, 0, 0}, {64, -64, 128, -255}, {-7, 13, -1, 1}, {16320, -16320, 500, 3}};
            for (const auto& k : corners)
                check(0, k);
        }
    }
}

TEST(FrameOpsTest, ReducedTilesDrawLikeTheFullTileAtTheirZoom) {
    const Picture tile = NoiseTile(11);
    for (int step : {2, 4, 8, 16, 32}) {
        const Picture reduced = ReduceTile(tile, step);
        for (int orient = 0; orient < 4; ++orient) {
            Picture a(140, 140), b(140, 140);
            DrawTile(a, 3, 4, tile, -20, orient >> 1, orient & 1, step);
            DrawTile(b, 3, 4, reduced, -20, orient >> 1, orient & 1, 1);
            ASSERT_EQ(a.pixels, b.pixels) << "step " << step << " orient " << orient;
            DrawTileShaded(a, 3, 4, tile, 50, -70, 9, 200, orient >> 1, orient & 1, step);
            DrawTileShaded(b, 3, 4, reduced, 50, -70, 9, 200, orient >> 1, orient & 1, 1);
            ASSERT_EQ(a.pixels, b.pixels) << "step " << step << " orient " << orient;
        }
    }
}

TEST(FrameOpsTest, GridLinesLieOnTheRowAboveAndNumbersPrintWithoutZeros) {
    Picture frame(20, 10);
    FrameVLine(frame, 4, 0, 5); // rows -1..4: the row above the frame is skipped
    FrameHLine(frame, 2, 6, 3); // row 2
    FrameVLine(frame, 7, 5, 4); // y1 < y0: nothing
    FrameHLine(frame, 9, 8, 3); // x1 < x0: nothing
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(frame.At(4, y), y <= 4 ? (y == 2 ? kGridHColor : kGridVColor) : 0u) << y;
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(frame.At(x, 2), (x >= 2 && x <= 6) ? kGridHColor : 0u) << x;
    EXPECT_EQ(frame.At(7, 4), 0u);

    for (int n : {12, 0, 100, -3, 512})
        EXPECT_EQ(NumberText(n), std::to_string(n));
}

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc = std::make_unique<CMainDoc>();
        doc->m_tiles.m_nLastTile = 2;
        for (int i = 0; i <= 2; ++i) {
            doc->m_tiles.m_hTileDib[i] = NoiseTile(100 + i);
            doc->m_tiles.m_tileColor[i] =
                static_cast<int>(doc->m_tiles.m_hTileDib[i].AverageColor());
        }
    }
    // Pixel (c, r) of cell (x, y) as drawn at the current settings, scroll at (0, 0).
    std::uint32_t CellPixel(int x, int y, int c, int r) const {
        const int cp = doc->m_view.m_nCellPixels;
        return renderer.m_hFrameDib.At(x * cp + c, y * cp + r);
    }
    std::unique_ptr<CMainDoc> doc;
    MapRenderer renderer;
};

TEST_F(RenderTest, FullRedrawShadesByHeightAndBlacksOutBeyondTheMap) {
    doc->m_map.m_nSizeX = 5;
    doc->m_map.m_nSizeY = 4;
    doc->m_view.m_nZoomStep = 32;
    doc->m_view.m_nCellPixels = 4;
    doc->m_view.m_nHeightViewScale = 4; // k = 64
    doc->m_view.m_nShadeBase = 10;
    doc->m_map.m_height[CellIndex(1, 0)] = 9;  // one level below: darkened by 64
    doc->m_map.m_height[CellIndex(2, 0)] = 7;  // three below: black
    doc->m_map.m_height[CellIndex(3, 0)] = 14; // four above: 256 > 200, white
    doc->m_map.m_tile[CellIndex(4, 0)] = 7;    // beyond the library: left as it was
    doc->m_map.m_tile[CellIndex(0, 1)] = 2;
    doc->m_map.m_mirror[CellIndex(0, 1)] = 1;
    for (int x = 0; x < 5; ++x)
        for (int y = 1; y < 4; ++y)
            doc->m_map.m_height[CellIndex(x, y)] = 10;
    Picture overview(5, 4);
    ASSERT_TRUE(renderer.Render(*doc, 802, 600, 0, 0, &overview));
    EXPECT_EQ(renderer.m_hFrameDib.width, 1002);
    EXPECT_EQ(renderer.m_hFrameDib.height, 800);
    EXPECT_EQ(doc->m_redraw.m_bRedrawAll, 0);

    const Picture& t0 = doc->m_tiles.m_hTileDib[0];
    EXPECT_EQ(CellPixel(0, 0, 1, 1), ExpectedPixel(t0, 1, 1, 32, 0, 0, 0 - 640));
    EXPECT_EQ(CellPixel(1, 0, 2, 3), ExpectedPixel(t0, 2, 3, 32, 0, 0, -64));
    EXPECT_EQ(CellPixel(2, 0, 0, 0), 0u);
    EXPECT_EQ(CellPixel(3, 0, 3, 3), 0xFFFFFFFFu);
    EXPECT_EQ(CellPixel(4, 0, 0, 0), 0u); // the new frame is black there
    EXPECT_EQ(CellPixel(0, 1, 0, 2), ExpectedPixel(doc->m_tiles.m_hTileDib[2], 0, 2, 32, 0, 1, 0));
    // 200.5 columns x 150 rows of cells: the half-visible column 200 is drawn too (black,
    // beyond the map), so no pixel of the client area keeps what was there before.
    doc->m_view.m_nHeightViewScale = -1; // no shading: tiles exactly as loaded
    for (int x : {799, 801, 803})
        renderer.m_hFrameDib.At(x, 10) = 0x123456;
    doc->RedrawAll();
    renderer.Render(*doc, 802, 600, 0, 0, nullptr);
    for (int x : {799, 801, 803})
        EXPECT_EQ(renderer.m_hFrameDib.At(x, 10), 0u) << x;
    EXPECT_EQ(CellPixel(3, 0, 3, 3), ExpectedPixel(t0, 3, 3, 32, 0, 0, 0));
    // A partly visible map cell is drawn like the others: a 40-pixel client at 32 pixels a cell
    // shows a quarter of cell 1, whose pixels beyond the client are drawn too.
    doc->m_view.m_nZoomStep = 4;
    doc->m_view.m_nCellPixels = 32;
    doc->RedrawAll();
    renderer.Render(*doc, 40, 40, 0, 0, nullptr);
    EXPECT_EQ(CellPixel(1, 1, 20, 20), ExpectedPixel(t0, 20, 20, 4, 0, 0, 0));
    EXPECT_EQ(CellPixel(1, 1, 30, 30), ExpectedPixel(t0, 30, 30, 4, 0, 0, 0));
    // The overview holds each cell's tile colour, black for an index beyond the library.
    EXPECT_EQ(overview.At(0, 1), static_cast<std::uint32_t>(doc->m_tiles.m_tileColor[2]));
    EXPECT_EQ(overview.At(4, 0), 0u);
}

TEST_F(RenderTest, PartialRedrawDrawsOnlyListedVisibleCells) {
    doc->m_view.m_nZoomStep = 8;
    doc->m_view.m_nCellPixels = 16;
    ASSERT_TRUE(renderer.Render(*doc, 160, 160, 6 * 3, 6 * 2, nullptr)); // first cell (3, 2)
    EXPECT_FALSE(renderer.Render(*doc, 160, 160, 18, 12, nullptr));      // nothing asked: nothing
    // Scribble over the frame, then mark two cells: only the visible one is redrawn.
    std::fill(renderer.m_hFrameDib.pixels.begin(), renderer.m_hFrameDib.pixels.end(), 0x0A0B0Cu);
    doc->SetTile(4, 2, 1, 0);
    doc->SetTile(20, 20, 1, 0); // off screen
    Picture overview(30, 30);
    ASSERT_TRUE(renderer.Render(*doc, 160, 160, 18, 12, &overview));
    EXPECT_EQ(renderer.m_hFrameDib.At(16 + 5, 7),
              ExpectedPixel(doc->m_tiles.m_hTileDib[1], 5, 7, 8, 0, 0, 0));
    EXPECT_EQ(renderer.m_hFrameDib.At(5, 7), 0x0A0B0Cu);
    EXPECT_EQ(overview.At(20, 20), static_cast<std::uint32_t>(doc->m_tiles.m_tileColor[1]));
    EXPECT_EQ(overview.At(4, 3), 0u);
    EXPECT_EQ(doc->m_redraw.m_nLastDirty, -1);
    // A new client size recreates the frame and redraws everything.
    doc->SetTile(5, 5, 1, 0);
    renderer.Render(*doc, 100, 90, 18, 12, nullptr);
    EXPECT_EQ(renderer.m_hFrameDib.width, 300);
    EXPECT_EQ(renderer.m_hFrameDib.At(5, 7),
              ExpectedPixel(doc->m_tiles.m_hTileDib[0], 5, 7, 8, 0, 0, 0));
}

TEST_F(RenderTest, ZoomedOutTilesFollowATileReload) {
    // A reload rewrites the tile pictures in place: the reduced copies must not outlive it.
    TempDir dir;
    for (const std::uint32_t colour : {0x00102030u, 0x00A0B0C0u}) {
        WritePlainTiles(dir.Path(), {colour});
        ASSERT_TRUE(doc->OnNewDocument(dir.Path()));
        doc->m_view.m_nZoomStep = 8;
        doc->m_view.m_nCellPixels = 16;
        doc->m_view.m_nHeightViewScale = -1;
        renderer.Render(*doc, 64, 64, 0, 0, nullptr);
        EXPECT_EQ(CellPixel(0, 0, 3, 3), colour);
    }
}

TEST_F(RenderTest, GouraudBlendsTowardsNeighboursAndUnshadedEdges) {
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 2;
    doc->m_view.m_bGouraud = 1;
    doc->m_view.m_nHeightViewScale = 256; // k = 1
    doc->m_map.m_height[CellIndex(0, 0)] = 40;
    doc->m_map.m_height[CellIndex(1, 0)] = 10;
    doc->m_map.m_height[CellIndex(0, 1)] = 20;
    doc->m_map.m_height[CellIndex(1, 1)] = 30;
    doc->m_map.m_flip[CellIndex(1, 1)] = 1;
    renderer.Render(*doc, 256, 256, 0, 0, nullptr);
    const Picture& t = doc->m_tiles.m_hTileDib[0];
    const int first[] = {40, 10, 20, 30}, last[] = {30, 0, 0, 0};
    for (int r : {0, 77, 127})
        for (int c : {0, 50, 127}) {
            EXPECT_EQ(CellPixel(0, 0, c, r), ExpectedPixel(t, c, r, 1, 0, 0, 0, first));
            // the last cell blends towards 0 outside the map, whatever its flip
            EXPECT_EQ(CellPixel(1, 1, c, r), ExpectedPixel(t, c, r, 1, 1, 0, 0, last));
        }
}

TEST_F(RenderTest, GridAndScaleMarker) {
    doc->m_view.m_bGrid = 1;
    doc->m_view.m_bScaleMarker = 1;
    doc->m_view.m_nHeightViewScale = -1;
    renderer.Render(*doc, 300, 260, 0, 0, nullptr); // 2 x 2 whole cells and parts at x1
    const Picture& f = renderer.m_hFrameDib;
    using P = std::pair<int, int>;
    // Vertical lines: the first column of the second and of the partly visible third cell
    // column, rows 0..254; the marker's (s = 66) left edge on column 2 and right edge on 66,
    // drawn last. None below row 254, beyond the third column, right of or inside the marker.
    for (auto [x, y] : {P{128, 100}, {128, 254}, {256, 100}, {2, 1}, {2, 30}, {66, 30}})
        EXPECT_EQ(f.At(x, y), kGridVColor) << x << "," << y;
    for (auto [x, y] : {P{128, 255}, {384, 100}, {67, 30}, {30, 30}})
        EXPECT_NE(f.At(x, y), kGridVColor) << x << "," << y;
    // Horizontal lines: the last row of the first cell row over all three cell columns; the
    // marker's top edge on row 1 and bottom edge on row 65.
    for (auto [x, y] : {P{0, 127}, {255, 127}, {383, 127}, {3, 1}, {65, 1}, {30, 65}})
        EXPECT_EQ(f.At(x, y), kGridHColor) << x << "," << y;
    for (auto [x, y] : {P{384, 127}, {3, 0}})
        EXPECT_NE(f.At(x, y), kGridHColor) << x << "," << y;
}

// A region drawn in bands of rows matches one frame of the region's size: tiles, shading, the
// grid lines at band seams and the marker in the first band only.
TEST_F(RenderTest, RegionInBandsMatchesOneFrame) {
    doc->m_map.m_nSizeX = 30;
    doc->m_map.m_nSizeY = 25;
    std::uint32_t s = 5;
    for (int x = 0; x < 30; ++x)
        for (int y = 0; y < 25; ++y) {
            s = s * 1664525u + 1013904223u;
            const int tile = (s >> 8) % 4;
            doc->SetTileFlags(x, y, tile == 3 ? kMissingTile : static_cast<std::uint16_t>(tile),
                              (s >> 12) & 1, (s >> 13) & 1);
            doc->m_map.m_height[CellIndex(x, y)] = static_cast<std::uint8_t>(s >> 16);
        }
    const CellRect regions[] = {{3, 2, 20, 17}, {0, 0, 30, 25}};
    for (const int zoom : {2, 4})
        for (const int options : {0, 1})
            for (const CellRect& region : regions)
                for (const int bandRows : {1, 4, 100}) {
                    SCOPED_TRACE(testing::Message()
                                 << "zoom " << zoom << " options " << options << " region x "
                                 << region.x << " band " << bandRows);
                    ApplyZoom(*doc, zoom);
                    doc->m_view.m_bGrid = doc->m_view.m_bScaleMarker = options;
                    doc->m_view.m_bGouraud = options;
                    const int cp = doc->m_view.m_nCellPixels;
                    RegionRenderer banded(
                        *doc, region, static_cast<long long>(region.w * cp + 200) * cp * bandRows);
                    ASSERT_EQ(banded.BandRows(), std::min(bandRows, region.h));
                    const Picture picture = banded.Render();
                    MapRenderer whole;
                    doc->RedrawAll();
                    whole.Render(*doc, region.w * cp, region.h * cp, region.x * ScrollUnitsPerCell,
                                 region.y * ScrollUnitsPerCell, nullptr);
                    for (int y = 0; y < picture.height; ++y)
                        ASSERT_TRUE(std::equal(picture.Row(y), picture.Row(y) + picture.width,
                                               whole.m_hFrameDib.Row(y)))
                            << "row " << y;
                }
    EXPECT_THROW(RegionRenderer(*doc, CellRect{20, 0, 11, 5}), std::invalid_argument);
}

TEST(NavigationTest, ScrollGeometryAndCellUnderPoint) {
    EXPECT_EQ(ScrollExtent(256), 2572);
    EXPECT_EQ(ScrollExtent(512), 4108);
    EXPECT_EQ(ScrollPageStep(2572), 257);
    EXPECT_EQ(ScrollLineStep(2572), 25);
    EXPECT_EQ(CellUnderPoint(130, 600, 128), 101);
    EXPECT_EQ(CellUnderPoint(130, 600, 32), 104);
    EXPECT_EQ(CellUnderPoint(10, 0, 128), 0);
    EXPECT_EQ(FirstVisibleCell(605), FirstVisibleCell(600));
    EXPECT_EQ(ScrollMaximum(2572, 1000), 1572);
    EXPECT_EQ(ScrollMaximum(100, 1000), 0);
}

TEST(ReadoutTest, ReadsThePlanesAndNothingOutsideThem) {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_map.m_height[CellIndex(0, 0)] = 37;
    doc->m_map.m_height[CellIndex(300, 2)] = 9; // outside the map but inside the planes
    EXPECT_EQ(ReadoutText(*doc, 0, 0), "Loc:1,1  H:37");
    EXPECT_EQ(ReadoutText(*doc, 300, 2), "Loc:301,3  H:9");
    EXPECT_EQ(ReadoutText(*doc, 600, 2), "Loc:601,3  H:0");
    EXPECT_EQ(ReadoutText(*doc, -1, 5), "Loc:0,6  H:0");
}

} // namespace
