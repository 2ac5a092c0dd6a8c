// Multi-tile painting reached through the editor's pens and fills, on the sample tile set.
#include "MainDoc.h"
#include "MapEditor.h"
#include "Pens.h"
#include "SampleTiles.h"
#include "TestSupport.h"
#include "TileTools.h"
#include "ToolCodes.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>

namespace {

class MultiTileStrokeTest : public ::testing::Test {
protected:
    void SetUp() override {
        samplegen::WriteSampleTiles(m_dir / "Textures");
        doc = std::make_unique<CMainDoc>();
        ASSERT_TRUE(doc->OnNewDocument(m_dir.Path()));
        for (int g = 0; g <= doc->m_nLastGroup; ++g)
            if (doc->m_tileGroup[g].strCode == "GRDI")
                doc->SelectTile(g, 0, 0);
        doc->m_nTool = toolMultiTile;
        // Start from plain background: the group's slot 0 everywhere.
        const auto [tile, orientation] = PickTile(*doc, 0);
        for (int x = 0; x < doc->m_nSizeX; ++x)
            for (int y = 0; y < doc->m_nSizeY; ++y)
                doc->SetTile(x, y, tile, orientation);
        editor = std::make_unique<MapEditor>(*doc);
    }
    int Corners(int x, int y) const {
        const int i = CellIndex(x, y);
        return PieceCorners(ClassifyTile(*doc, doc->m_tile[i], doc->m_mirror[i], doc->m_flip[i]));
    }
    // Every cell's corners must be exactly the painted points around it; a point (px, py) is
    // the lower-right corner of cell (px, py).
    void ExpectCornersMatch(const std::set<std::pair<int, int>>& points, int x0, int y0, int x1,
                            int y1) const {
        for (int x = x0; x <= x1; ++x)
            for (int y = y0; y <= y1; ++y) {
                int expected = 0;
                expected |= points.count({x - 1, y - 1}) ? cornerNW : 0;
                expected |= points.count({x, y - 1}) ? cornerNE : 0;
                expected |= points.count({x - 1, y}) ? cornerSW : 0;
                expected |= points.count({x, y}) ? cornerSE : 0;
                ASSERT_EQ(Corners(x, y), expected) << x << "," << y;
            }
    }

    TempDir m_dir;
    std::unique_ptr<CMainDoc> doc;
    std::unique_ptr<MapEditor> editor;
};

TEST_F(MultiTileStrokeTest, ALargerPenPaintsABlockWithMatchingBorders) {
    SelectPenRow(*doc, 3); // 3x3 square: points (20..22, 30..32)
    editor->OnLButtonDown({20, 30}, keyLButton);
    std::set<std::pair<int, int>> points;
    for (int x = 20; x <= 22; ++x)
        for (int y = 30; y <= 32; ++y)
            points.insert({x, y});
    ExpectCornersMatch(points, 17, 27, 26, 36);
    EXPECT_EQ(Corners(21, 31), cornerAll);
    // A drag with the right button clears a point again, and its cells follow.
    SelectPenRow(*doc, 0);
    editor->OnRButtonDown({22, 32}, keyRButton);
    points.erase({22, 32});
    ExpectCornersMatch(points, 17, 27, 26, 36);
}

TEST_F(MultiTileStrokeTest, AFillPaintsEveryPointOfTheMap) {
    doc->m_nSizeX = 24;
    doc->m_nSizeY = 16;
    doc->m_nPen = fillEntireMap;
    editor->OnLButtonDown({3, 3}, keyLButton);
    // Every point of the map is painted: a point is a cell's lower-right corner, so the cells
    // of the top row and the left column keep their outer corners unpainted.
    std::set<std::pair<int, int>> points;
    for (int x = 0; x < 24; ++x)
        for (int y = 0; y < 16; ++y)
            points.insert({x, y});
    ExpectCornersMatch(points, 0, 0, 23, 15);
    EXPECT_EQ(Corners(0, 0), cornerSE);
    EXPECT_EQ(Corners(5, 5), cornerAll);
    // A flood fill by tile that clears points changes the tiles it has yet to reach, so it
    // clears a pattern rather than everything; whatever it leaves, neighbours agree on their
    // shared corners.
    doc->m_nPen = fillFloodTile;
    editor->OnRButtonDown({5, 5}, keyRButton);
    int changed = 0;
    for (int x = 0; x < 24; ++x)
        for (int y = 0; y < 16; ++y) {
            changed += Corners(x, y) != (x > 0 && y > 0 ? cornerAll : Corners(x, y));
            if (x + 1 < 24) {
                const bool ne = Corners(x, y) & cornerNE, nw = Corners(x + 1, y) & cornerNW;
                const bool se = Corners(x, y) & cornerSE, sw = Corners(x + 1, y) & cornerSW;
                ASSERT_EQ(ne, nw) << x << "," << y;
                ASSERT_EQ(se, sw) << x << "," << y;
            }
            if (y + 1 < 16) {
                const bool sw = Corners(x, y) & cornerSW, nw = Corners(x, y + 1) & cornerNW;
                const bool se = Corners(x, y) & cornerSE, ne = Corners(x, y + 1) & cornerNE;
                ASSERT_EQ(sw, nw) << x << "," << y;
                ASSERT_EQ(se, ne) << x << "," << y;
            }
        }
    EXPECT_GT(changed, 10);
}

} // namespace
