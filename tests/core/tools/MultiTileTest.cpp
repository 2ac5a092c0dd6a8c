// Multi-tile painting on the sample tile set, directly and through the editor's pens and fills:
// the pieces chosen for painted and cleared corner points, and the agreement of neighbouring
// pieces about their shared corners.
#include "MainDoc.h"
#include "MapEditor.h"
#include "Pens.h"
#include "Random.h"
#include "TestSupport.h"
#include "TileTools.h"
#include "ToolCodes.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Point = std::pair<int, int>;

enum : int { NW = 1, NE = 2, SW = 4, SE = 8 };
// Painted corners of each piece code.
constexpr int kCorners[14] = {SW,      SE,      NW,      NE,      NW | SW, NE | SE, SW | SE,
                              NW | NE, 15 - NE, 15 - NW, 15 - SE, 15 - SW, 15,      0};

class MultiTileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_doc = new CMainDoc;
        ASSERT_TRUE(s_doc->OnNewDocument(SampleWorkDir()));
    }
    static void TearDownTestSuite() { delete s_doc; }

    // Grass over dirt, version 0, on a 24 x 24 map of plain background (slot 0, entry 0).
    void SetUp() override {
        CMainDoc& d = Doc();
        int g = 0;
        while (g <= d.m_tiles.m_nLastGroup && d.m_tiles.m_tileGroup[g].strCode != "GRDI")
            ++g;
        ASSERT_LE(g, d.m_tiles.m_nLastGroup);
        d.SelectTile(g, 0, selGroupVersion);
        d.m_tools.m_bAutoRandomize = 0;
        d.m_map.m_nSizeX = d.m_map.m_nSizeY = 24;
        for (int i = 0; i < kPlaneCells; ++i) {
            d.m_map.m_tile[i] = static_cast<std::uint16_t>(Background());
            d.m_map.m_mirror[i] = d.m_map.m_flip[i] = 0;
        }
        d.RedrawAll();
    }

    static CMainDoc& Doc() { return *s_doc; }
    static const TileGroup& Group() { return s_doc->m_tiles.m_tileGroup[s_doc->m_sel.m_nSelGroup]; }
    static int Background() { return Group().entryTile[0][1][0]; }

    // The painted corners of a cell, from its piece.
    static int CornersAt(int x, int y) {
        const int i = CellIndex(x, y);
        return kCorners[ClassifyTile(Doc(), Doc().m_map.m_tile[i], Doc().m_map.m_mirror[i],
                                     Doc().m_map.m_flip[i])];
    }

    static void Paint(const std::vector<Point>& points, int value = 6) {
        for (const auto& [x, y] : points)
            MultiTilePaint(Doc(), x, y, value);
    }

    // Every cell of the map shows exactly the corners of the painted points: point (x, y) is the
    // south-east corner of cell (x, y).
    static void ExpectCorners(const std::vector<Point>& painted) {
        const std::set<Point> points(painted.begin(), painted.end());
        for (int x = 0; x < Doc().m_map.m_nSizeX; ++x)
            for (int y = 0; y < Doc().m_map.m_nSizeY; ++y) {
                const int want =
                    (points.count({x - 1, y - 1}) ? NW : 0) | (points.count({x, y - 1}) ? NE : 0) |
                    (points.count({x - 1, y}) ? SW : 0) | (points.count({x, y}) ? SE : 0);
                ASSERT_EQ(CornersAt(x, y), want) << "cell " << x << ", " << y;
            }
    }

    // Side neighbours agree about the corners they share.
    static void ExpectConsistent() {
        for (int x = 0; x < Doc().m_map.m_nSizeX; ++x)
            for (int y = 0; y < Doc().m_map.m_nSizeY; ++y) {
                const int c = CornersAt(x, y);
                if (x + 1 < Doc().m_map.m_nSizeX) {
                    const int e = CornersAt(x + 1, y);
                    ASSERT_EQ(!!(c & NE), !!(e & NW)) << x << ", " << y;
                    ASSERT_EQ(!!(c & SE), !!(e & SW)) << x << ", " << y;
                }
                if (y + 1 < Doc().m_map.m_nSizeY) {
                    const int s = CornersAt(x, y + 1);
                    ASSERT_EQ(!!(c & SW), !!(s & NW)) << x << ", " << y;
                    ASSERT_EQ(!!(c & SE), !!(s & NE)) << x << ", " << y;
                }
            }
    }

    static inline CMainDoc* s_doc = nullptr;
};

TEST_F(MultiTileTest, OnePointGivesTheFourOneCornerPiecesWithTheirStoredFlags) {
    CMainDoc& d = Doc();
    int beach = 0;
    while (d.m_tiles.m_strTileName[beach] != "SAWAA000")
        ++beach;
    // Whatever the strip shows, the transitions come from the group's slots.
    for (int kind : {selGroupVersion, selSingleTiles}) {
        SetUp();
        d.m_sel.m_nSelKind = kind;
        d.SetTileFlags(6, 5, static_cast<std::uint16_t>(beach), 1, 1); // another group's tile
        MultiTilePaint(d, 5, 5, 6);
        const std::pair<Point, int> pieces[] = {{{5, 5}, 8}, {{6, 5}, 5}, {{5, 6}, 7}, {{6, 6}, 6}};
        for (const auto& [cell, slot] : pieces) {
            const int i = CellIndex(cell.first, cell.second);
            EXPECT_EQ(d.m_map.m_tile[i], Group().entryTile[0][slot + 1][0]) << slot;
            EXPECT_EQ(d.m_map.m_mirror[i], Group().entryMirror[0][slot + 1][0]) << slot;
            EXPECT_EQ(d.m_map.m_flip[i], Group().entryFlip[0][slot + 1][0]) << slot;
        }
        for (int x = 0; x < d.m_map.m_nSizeX; ++x)
            for (int y = 0; y < d.m_map.m_nSizeY; ++y)
                if ((x != 5 && x != 6) || (y != 5 && y != 6)) {
                    const int i = CellIndex(x, y);
                    ASSERT_EQ(d.m_map.m_tile[i], Background());
                    ASSERT_EQ(d.m_map.m_mirror[i] + d.m_map.m_flip[i], 0);
                }
    }

    // A selection naming no group or version paints nothing.
    SetUp();
    d.m_sel.m_nSelGroup = d.m_tiles.m_nLastGroup + 1;
    MultiTilePaint(d, 5, 5, 6);
    d.m_sel.m_nSelGroup = 0;
    d.m_sel.m_nSelVersion = -1;
    MultiTilePaint(d, 5, 5, 6);
    d.m_sel.m_nSelVersion = 0;
    ExpectCorners({});
}

TEST_F(MultiTileTest, PaintedPointsGiveEdgesAndAFullInterior) {
    Paint({{5, 5}, {6, 5}});
    ExpectCorners({{5, 5}, {6, 5}});

    // A 3 x 3 block of points painted as a drag would, with random alternatives.
    SetUp();
    Doc().m_tools.m_bAutoRandomize = 1;
    Random::Seed(5);
    std::vector<Point> blob;
    for (int y = 10; y < 13; ++y)
        for (int x = 10; x < 13; ++x)
            blob.push_back({x, y});
    Paint(blob);
    ExpectCorners(blob);

    // Three-corner pieces, and a point filled in between painted points whose cells all hold
    // pieces already.
    SetUp();
    Paint({{5, 4}, {4, 5}, {6, 5}, {5, 6}, {10, 5}, {10, 7}});
    Paint({{5, 5}, {10, 6}});
    ExpectCorners({{5, 4}, {4, 5}, {6, 5}, {5, 6}, {5, 5}, {10, 5}, {10, 6}, {10, 7}});
}

TEST_F(MultiTileTest, ClearingRebuildsTransitionsFromStillPaintedNeighbours) {
    Paint({{5, 5}});
    Paint({{5, 5}}, 1);
    ExpectCorners({});

    std::vector<Point> points = {{23, 13}, {23, 14}}; // on the map's right border
    for (int y = 10; y < 13; ++y)
        for (int x = 10; x < 13; ++x)
            points.push_back({x, y});
    Paint(points);
    // The centre, an edge point of the blob, and an unpainted point beside the border points.
    Paint({{11, 11}, {10, 11}, {22, 14}}, 1);
    std::erase(points, Point{11, 11});
    std::erase(points, Point{10, 11});
    ExpectCorners(points);
}

TEST_F(MultiTileTest, PaintingAtTheMapEdgeTouchesNothingOutside) {
    CMainDoc& d = Doc();
    // The full-size map: any access past the planes would be out of bounds.
    d.m_map.m_nSizeX = d.m_map.m_nSizeY = kMaxMapSize;
    const int last = kMaxMapSize - 1;
    Paint({{last, last}, {last, 0}, {0, last}, {-1, -1}, {last, 7}, {last, 8}, {-1, 9}});
    Paint({{last, 8}}, 1);
    EXPECT_EQ(CornersAt(last, 7), SE);
    EXPECT_EQ(CornersAt(last, 8), NE);
    EXPECT_EQ(CornersAt(0, 9), SW);
    EXPECT_EQ(CornersAt(0, 10), NW);

    // A smaller map: the cells beyond its size keep what they hold.
    SetUp();
    d.m_map.m_nSizeX = 20;
    d.m_map.m_nSizeY = 12;
    for (int y = 0; y <= 12; ++y)
        d.m_map.m_tile[CellIndex(20, y)] = 999;
    for (int x = 0; x <= 20; ++x)
        d.m_map.m_tile[CellIndex(x, 12)] = 999;
    // A drag down the right border and back along the bottom, rounding the corner point (which
    // only the corner cell touches) on the inside.
    std::vector<Point> edge;
    for (int y = 0; y < 11; ++y)
        edge.push_back({19, y});
    edge.push_back({18, 10});
    for (int x = 18; x >= 0; --x)
        edge.push_back({x, 11});
    Paint(edge);
    for (int y = 0; y <= 12; ++y)
        EXPECT_EQ(d.m_map.m_tile[CellIndex(20, y)], 999);
    for (int x = 0; x <= 20; ++x)
        EXPECT_EQ(d.m_map.m_tile[CellIndex(x, 12)], 999);
    ExpectCorners(edge);
}

TEST_F(MultiTileTest, PensAndFillsPaintEveryPointTheyCover) {
    CMainDoc& d = Doc();
    d.m_tools.m_nTool = toolMultiTile;
    MapEditor editor(d);
    SelectPenRow(d, 3); // 3x3 square: points (5..7, 5..7)
    editor.OnLButtonDown({5, 5}, keyLButton);
    std::vector<Point> points;
    for (int x = 5; x <= 7; ++x)
        for (int y = 5; y <= 7; ++y)
            points.push_back({x, y});
    ExpectCorners(points);
    // The right button clears a point again, and its cells follow.
    SelectPenRow(d, 0);
    editor.OnRButtonDown({7, 7}, keyRButton);
    points.pop_back();
    ExpectCorners(points);

    // A fill paints every point of the map: the top row and the left column keep their outer
    // corners unpainted.
    d.m_map.m_nSizeY = 16;
    d.m_tools.m_nPen = fillEntireMap;
    editor.OnLButtonDown({3, 3}, keyLButton);
    points.clear();
    for (int x = 0; x < 24; ++x)
        for (int y = 0; y < 16; ++y)
            points.push_back({x, y});
    ExpectCorners(points);
    // A flood fill by tile that clears points changes the tiles it has yet to reach, so it
    // clears a pattern rather than everything; whatever it leaves, neighbours agree.
    d.m_tools.m_nPen = fillFloodTile;
    editor.OnRButtonDown({5, 5}, keyRButton);
    int cleared = 0;
    for (int x = 1; x < 24; ++x)
        for (int y = 1; y < 16; ++y)
            cleared += CornersAt(x, y) != 15;
    EXPECT_GT(cleared, 10);
    ExpectConsistent();
}

} // namespace
