#include "MapEditor.h"
#include "HeightTools.h"
#include "MainDoc.h"
#include "Pens.h"
#include "Random.h"
#include "ToolCodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <numeric>
#include <tuple>

namespace {

class MapEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc = std::make_unique<CMainDoc>();
        doc->m_tools.m_nTool = toolModifyHeight;
        SelectPenRow(*doc, 0);
        editor = std::make_unique<MapEditor>(*doc);
    }
    int H(int x, int y) const { return doc->m_map.m_height[CellIndex(x, y)]; }
    void SetH(int x, int y, int h) {
        doc->m_map.m_height[CellIndex(x, y)] = static_cast<std::uint8_t>(h);
    }

    std::unique_ptr<CMainDoc> doc;
    std::unique_ptr<MapEditor> editor;
};

TEST_F(MapEditorTest, FastMovesActOnEveryCellOfTheLineInOneStroke) {
    // A flat jump from (2, 2) to (12, 6), then a steep one to (14, 20): every column of the
    // first and every row of the second gets exactly one raised cell, each touching the last.
    editor->OnLButtonDown({2, 2}, keyLButton);
    editor->OnMouseMove({12, 6}, keyLButton);
    editor->OnMouseMove({14, 20}, keyLButton);
    editor->OnLButtonUp({14, 20}, 0);
    EXPECT_EQ(doc->m_change.m_nSnapshots, 1);
    CellPair last{2, 2};
    auto next = [&](CellPair c) {
        EXPECT_LE(std::abs(c.x - last.x), 1) << c.x << "," << c.y;
        EXPECT_LE(std::abs(c.y - last.y), 1) << c.x << "," << c.y;
        last = c;
    };
    for (int x = 3; x <= 12; ++x) {
        int raised = 0, at = -1;
        for (int y = 0; y < 7; ++y)
            if (H(x, y) == 1)
                ++raised, at = y;
        ASSERT_EQ(raised, 1) << "column " << x;
        next({x, at});
    }
    EXPECT_EQ(last.y, 6);
    for (int y = 7; y <= 20; ++y) {
        int raised = 0, at = -1;
        for (int x = 12; x <= 14; ++x)
            if (H(x, y) == 1)
                ++raised, at = x;
        ASSERT_EQ(raised, 1) << "row " << y;
        next({at, y});
    }
    EXPECT_EQ(last.x, 14);
    int total = 0;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 25; ++y)
            total += H(x, y);
    EXPECT_EQ(total, 1 + 10 + 14); // the press, then one cell per step of each line
}

TEST_F(MapEditorTest, AStrokeTakesOneSnapshotAndMovesWithinACellDoNothing) {
    SetH(5, 5, 7);
    editor->OnLButtonDown({5, 5}, keyLButton);
    EXPECT_EQ(doc->m_change.m_nSnapshots, 1);
    EXPECT_EQ(H(5, 5), 8);
    editor->OnMouseMove({5, 5}, keyLButton); // same cell: nothing
    EXPECT_EQ(H(5, 5), 8);
    editor->OnMouseMove({6, 5}, keyLButton);
    editor->OnMouseMove({5, 5}, keyLButton);              // back again: raised again
    editor->OnMouseMove({6, 5}, keyLButton | keyRButton); // both buttons: the left's branch
    EXPECT_EQ(H(5, 5), 9);
    EXPECT_EQ(H(6, 5), 2);
    editor->OnLButtonUp({6, 5}, 0);
    EXPECT_EQ(doc->m_change.m_nSnapshots, 1); // moves never begin a step
    EXPECT_EQ(doc->m_history.UndoLabel(), "Raise Land");
    doc->Undo();
    EXPECT_EQ(H(5, 5), 7);
    EXPECT_EQ(H(6, 5), 0);

    // The right button lowers, clamped at 0; a raise at 250 with step 16 stops at 255.
    doc->m_tools.m_nHeightStep = 16;
    SetH(1, 1, 3);
    editor->OnRButtonDown({1, 1}, keyRButton);
    EXPECT_EQ(H(1, 1), 0);
    SetH(2, 2, 250);
    editor->OnLButtonDown({2, 2}, keyLButton);
    EXPECT_EQ(H(2, 2), 255);
    // A move with no button only updates the hover cell.
    editor->OnMouseMove({3, 3}, 0);
    EXPECT_EQ(H(3, 3), 0);
    EXPECT_EQ(editor->m_ptHover.x, 3);
}

TEST_F(MapEditorTest, GetHeightTakesNoSnapshotAndIgnoresCellsOutsideTheMap) {
    doc->m_tools.m_nTool = toolHeightLevel;
    SetH(4, 4, 99);
    editor->OnRButtonDown({4, 4}, keyRButton);
    EXPECT_EQ(doc->m_tools.m_nHeightLevel, 99);
    EXPECT_EQ(doc->m_change.m_nSnapshots, 0);
    editor->OnRButtonDown({300, 4}, keyRButton); // beyond the 256-cell map
    EXPECT_EQ(doc->m_tools.m_nHeightLevel, 99);
    // The left button draws the level; dragging draws it too, without smoothing.
    editor->OnLButtonDown({10, 10}, keyLButton);
    editor->OnMouseMove({11, 10}, keyLButton);
    EXPECT_EQ(H(10, 10), 99);
    EXPECT_EQ(H(11, 10), 99);
}

TEST_F(MapEditorTest, RectangleStyleActsAtReleaseOverTheDraggedCells) {
    doc->m_tools.m_nDrawStyle = styleRect;
    doc->m_tools.m_nHeightStep = 3;
    editor->OnLButtonDown({10, 10}, keyLButton);
    editor->OnMouseMove({8, 11}, keyLButton);
    editor->OnMouseMove({7, 12}, keyLButton);
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y)
            ASSERT_EQ(H(x, y), 0); // nothing during the drag
    editor->OnLButtonUp({7, 12}, 0);
    int raised = 0;
    for (int x = 0; x < 20; ++x)
        for (int y = 0; y < 20; ++y) {
            const bool inside = x >= 7 && x <= 10 && y >= 10 && y <= 12;
            EXPECT_EQ(H(x, y), inside ? 3 : 0) << x << "," << y;
            raised += inside;
        }
    EXPECT_EQ(raised, 12);
    EXPECT_EQ(doc->m_tools.m_fPenWidth, 4.0f);
    EXPECT_EQ(doc->m_tools.m_fPenHeight, 3.0f);
    // The right button lowers the rectangle; Undo reverts it as one stroke.
    editor->OnRButtonDown({8, 10}, keyRButton);
    editor->OnRButtonUp({9, 11}, 0);
    EXPECT_EQ(H(8, 10), 0);
    EXPECT_EQ(H(9, 11), 0);
    EXPECT_EQ(H(10, 10), 3);
    doc->Undo();
    EXPECT_EQ(H(9, 11), 3);
}

TEST_F(MapEditorTest, GradiatedShapeRampsBetweenTheCornerHeights) {
    doc->m_tools.m_nTool = toolGradiatedShape;
    doc->m_tools.m_nGradientSetting = 2; // horizontal axis
    SetH(20, 5, 10);
    SetH(24, 5, 50);
    // Outside the rectangle style a left click does nothing.
    editor->OnLButtonDown({20, 5}, keyLButton);
    editor->OnLButtonUp({24, 5}, 0);
    EXPECT_EQ(H(21, 5), 0);

    doc->m_tools.m_nDrawStyle = styleRect;
    editor->OnLButtonDown({20, 5}, keyLButton);
    editor->OnLButtonUp({24, 5}, 0);
    EXPECT_EQ(doc->m_tools.m_nPenGradient, 5);
    EXPECT_EQ(doc->m_tools.m_nHeightLevel, 10);
    const int expected[] = {10, 19, 29, 40, 50};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(H(20 + i, 5), expected[i]) << i;
    // Dragged the other way the high end is on the left: direction 3.
    SetH(30, 8, 60);
    SetH(33, 8, 20);
    editor->OnLButtonDown({33, 8}, keyLButton);
    editor->OnLButtonUp({30, 8}, 0);
    EXPECT_EQ(doc->m_tools.m_nPenGradient, 3);
    EXPECT_EQ(H(30, 8), 60);
    EXPECT_EQ(H(33, 8), 20);
    // A release outside the map is ignored.
    editor->OnLButtonDown({250, 8}, keyLButton);
    editor->OnLButtonUp({260, 8}, 0);
    EXPECT_EQ(H(250, 8), 0);

    EXPECT_EQ(GradientDirection(0, 5, 5, 2, 8, 0, 9), 6);
    EXPECT_EQ(GradientDirection(0, 5, 5, 8, 2, 9, 0), 6); // the anchor is high: left, below
    EXPECT_EQ(GradientDirection(3, 5, 5, 2, 2, 0, 9), 4);
}

TEST_F(MapEditorTest, BrushToolsGrabOnRightReleaseAndStampRelativeHeights) {
    doc->m_tools.m_nTool = toolBrushHeight;
    SetH(3, 3, 40);
    SetH(3, 4, 45);
    doc->m_map.m_tile[CellIndex(4, 3)] = 7;
    doc->AdoptFile("saved.ter"); // the map as saved
    editor->OnRButtonDown({3, 3}, keyRButton);
    editor->OnRButtonUp({4, 4}, 0);
    ASSERT_EQ(doc->m_nLastBrush, 0);
    EXPECT_EQ(doc->m_change.m_bModified, 1); // a new brush is a change of the map's file
    EXPECT_EQ(doc->m_brush[0].lastCol, 1);
    EXPECT_EQ(doc->m_brush[0].lastRow, 1);
    EXPECT_EQ(doc->m_brush[0].brushTile[1][0], 7);

    // With the brush selected, Ctrl+left stamps relative to the clicked cell's height.
    doc->m_sel.m_nSelKind = selCustomBrush;
    doc->m_sel.m_nSelItem = 0;
    SetH(50, 50, 100);
    editor->OnLButtonDown({50, 50}, keyLButton | keyControl);
    EXPECT_EQ(H(50, 50), 100);
    EXPECT_EQ(H(50, 51), 105);
    EXPECT_EQ(doc->m_map.m_tile[CellIndex(51, 50)], 0); // heights only
    // Undoing the stamp brings the planes back to the saved map, but not its brushes: the
    // map stays modified.
    while (doc->Undo()) {
    }
    EXPECT_EQ(H(50, 51), 0);
    EXPECT_EQ(doc->m_change.m_bModified, 1);
    SetH(50, 50, 100);
    // Without a custom brush selected, the brush tools change nothing.
    doc->m_sel.m_nSelKind = selGroupVersion;
    editor->OnLButtonDown({60, 60}, keyLButton);
    EXPECT_EQ(H(60, 61), 0);

    // In the rectangle style the right drag only moves the anchor; 60 x 3 grabs keep 50 x 3.
    doc->m_tools.m_nDrawStyle = styleRect;
    editor->OnRButtonDown({9, 9}, keyRButton);
    editor->OnRButtonUp({7, 8}, 0);
    EXPECT_EQ(doc->m_nLastBrush, 0);
    EXPECT_EQ(editor->m_ptAnchor.x, 7);
    EXPECT_EQ(editor->m_ptAnchor.y, 8);
    doc->m_tools.m_nDrawStyle = styleDraw;
    doc->m_tools.m_nTool = toolGradiatedShape;
    editor->OnRButtonDown({100, 20}, keyRButton);
    editor->OnRButtonUp({159, 22}, 0);
    ASSERT_EQ(doc->m_nLastBrush, 1);
    EXPECT_EQ(doc->m_brush[1].lastCol, 49);
    EXPECT_EQ(doc->m_brush[1].lastRow, 2);
    // Twenty brushes fill the table; the next grab does nothing.
    for (int i = 0; i < 25; ++i) {
        editor->OnRButtonDown({1, 1}, keyRButton);
        editor->OnRButtonUp({1, 1}, 0);
    }
    EXPECT_EQ(doc->m_nLastBrush, 19);
}

TEST_F(MapEditorTest, CustomBrushStampsHeightsAndTilesClippedAtTheMapEdge) {
    // A 3 x 2 brush whose cells all differ; two stored heights lie outside 0..255.
    BrushRecord& b = doc->m_brush[0];
    b.lastCol = 2;
    b.lastRow = 1;
    for (int a = 0; a < 3; ++a)
        for (int r = 0; r < 2; ++r) {
            b.brushHeight[a][r] = static_cast<std::int16_t>(10 + 10 * a + r);
            b.brushTile[a][r] = static_cast<std::uint16_t>(100 + 10 * a + r);
            b.brushMirror[a][r] = static_cast<std::uint8_t>(1 + a);
            b.brushFlip[a][r] = static_cast<std::uint8_t>(1 + r);
        }
    b.brushHeight[1][1] = -20;
    b.brushHeight[2][1] = 300;
    // Entries beyond the brush's size are never stamped.
    b.brushHeight[3][0] = b.brushHeight[0][2] = 77;
    b.brushTile[3][0] = b.brushTile[0][2] = 55;
    doc->m_nLastBrush = 0;
    doc->m_sel.m_nSelKind = selCustomBrush;
    doc->m_sel.m_nSelItem = 0;

    using Cell = std::tuple<int, int, int, int>; // height, tile, mirror, flip
    auto cell = [&](int x, int y) {
        const int i = CellIndex(x, y);
        return Cell{doc->m_map.m_height[i], doc->m_map.m_tile[i], doc->m_map.m_mirror[i],
                    doc->m_map.m_flip[i]};
    };
    // The stamp at (x, y) and a ring of one cell around it, as far as the planes reach.
    auto expectStamp = [&](int x, int y, bool heights, bool tiles, int offset, Cell rest) {
        for (int cx = std::max(x - 1, 0); cx <= x + 3; ++cx)
            for (int cy = std::max(y - 1, 0); cy <= y + 2; ++cy) {
                const int a = cx - x, r = cy - y;
                const bool in = a >= 0 && a <= 2 && r >= 0 && r <= 1 && doc->InMap(cx, cy);
                Cell want = rest;
                if (in && heights)
                    std::get<0>(want) = std::clamp(b.brushHeight[a][r] + offset, 0, 255);
                if (in && tiles)
                    want = {std::get<0>(want), b.brushTile[a][r], b.brushMirror[a][r],
                            b.brushFlip[a][r]};
                EXPECT_EQ(cell(cx, cy), want) << cx << "," << cy;
            }
    };

    // Stamps go through ApplyTool as a click does, so a compiler dropping the call to the stamp
    // (see StampCustomBrush) fails here. Both planes, as stored (v = 0): the clicked cell's
    // height does not matter.
    SetH(20, 30, 90);
    editor->ApplyTool(20, 30, 0, opBrushBoth);
    expectStamp(20, 30, true, true, 0, Cell{0, 0, 0, 0});
    // Heights relative to the clicked cell (v = 1): shifted by 50 - 10, tiles untouched.
    SetH(40, 40, 50);
    editor->ApplyTool(40, 40, 1, opBrushHeight);
    expectStamp(40, 40, true, false, 40, Cell{0, 0, 0, 0});
    EXPECT_EQ(H(41, 41), 20); // -20 shifted, then kept within 0..255
    // Tiles only: heights untouched.
    for (int x = 59; x <= 63; ++x)
        for (int y = 59; y <= 62; ++y)
            SetH(x, y, 8);
    editor->ApplyTool(60, 60, 1, opBrushTiles);
    expectStamp(60, 60, false, true, 0, Cell{8, 0, 0, 0});

    // At the lower-right corner only the cells inside the 256 x 256 map change, though the
    // planes go on to 512 cells.
    editor->ApplyTool(254, 255, 1, opBrushBoth);
    expectStamp(254, 255, true, true, -10, Cell{0, 0, 0, 0});
    EXPECT_EQ(cell(255, 255), (Cell{10, 110, 2, 1}));
    // Up and left of the map: the cells that fall inside take the brush's lower-right part;
    // a click outside the map has no height to stamp relative to, so v = 1 stamps as stored.
    editor->ApplyTool(-1, -1, 1, opBrushBoth);
    expectStamp(-1, -1, true, true, 0, Cell{0, 0, 0, 0});
    EXPECT_EQ(cell(1, 0), (Cell{255, 121, 3, 2}));

    // A damaged size is cut to the 50 x 50 record; a negative width is an empty brush.
    b.lastCol = 100;
    b.lastRow = 0;
    b.brushHeight[49][0] = 33;
    editor->ApplyTool(100, 100, 0, opBrushHeight);
    EXPECT_EQ(H(149, 100), 33);
    EXPECT_EQ(H(150, 100), 0);
    EXPECT_EQ(H(100, 101), 0);
    b.lastCol = -1;
    editor->ApplyTool(120, 120, 0, opBrushBoth);
    EXPECT_EQ(cell(120, 120), (Cell{0, 0, 0, 0}));
}

TEST_F(MapEditorTest, WeightedRaiseOffsetHeightAndSpray) {
    doc->m_tools.m_nHeightStep = 4;
    doc->m_tools.m_bGradiatedDraw = 1;
    SelectPenRow(*doc, 3); // 3x3, weights 33 52 33 / 52 100 52 / ...
    editor->ApplyTool(10, 10, 1, opAddHeight);
    EXPECT_EQ(H(11, 11), 4);
    EXPECT_EQ(H(12, 11), 2);               // ScaleByWeight(4, 52)
    EXPECT_EQ(H(10, 10), 1);               // ScaleByWeight(4, 33)
    EXPECT_EQ(ScaleByWeight(-1, 0), -1);   // never less than one step
    EXPECT_EQ(ScaleByWeight(-2, 100), -1); // rounded as the positive amounts are

    // Offset Height with the wipe fill: the cell and its lower-right neighbour get half.
    doc->m_tools.m_bGradiatedDraw = 0;
    doc->m_tools.m_bOffsetHeight = 1;
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 3;
    for (int i = 0; i < kPlaneCells; ++i)
        doc->m_map.m_height[i] = 0;
    doc->m_tools.m_nPen = fillWipeTile;
    editor->ApplyTool(0, 0, 1, opAddHeight);
    EXPECT_EQ(H(0, 0), 2);
    EXPECT_EQ(H(1, 1), 4); // its own half and its upper-left neighbour's
    EXPECT_EQ(H(2, 2), 4);
    SelectPenRow(*doc, 0); // with a pen row the check box has no effect
    editor->ApplyTool(0, 0, 1, opAddHeight);
    EXPECT_EQ(H(0, 0), 6);
    EXPECT_EQ(H(1, 1), 4);

    // Spray keeps about half of the cells of the whole map.
    doc->m_tools.m_bOffsetHeight = 0;
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 256;
    for (int i = 0; i < kPlaneCells; ++i)
        doc->m_map.m_height[i] = 0;
    doc->m_tools.m_bSpray = 1;
    doc->m_tools.m_nHeightStep = 1;
    Random::Seed(1234);
    doc->m_tools.m_nPen = fillEntireMap;
    editor->ApplyTool(0, 0, 1, opAddHeight);
    const int raised = std::accumulate(doc->m_map.m_height.begin(), doc->m_map.m_height.end(), 0);
    EXPECT_NEAR(raised, 32768, 800);
    // A custom brush selected: fills of other operations do nothing.
    doc->m_tools.m_bSpray = 0;
    doc->m_sel.m_nSelKind = selCustomBrush;
    editor->ApplyTool(0, 0, 1, opAddHeight);
    EXPECT_EQ(std::accumulate(doc->m_map.m_height.begin(), doc->m_map.m_height.end(), 0), raised);
}

TEST_F(MapEditorTest, SmoothingOnInnerCellsEdgesAndCorners) {
    CMainDoc& d = *doc;
    // The inner cell (5, 5) has four neighbours at 13; the corner (0, 0) has 26 and 0; the edge
    // cell (20, 0) has 39, 0 and 0.
    for (auto [x, y] : {std::pair{4, 5}, {6, 5}, {5, 4}, {5, 6}})
        SetH(x, y, 13);
    SetH(1, 0, 26);
    SetH(19, 0, 39);
    const struct {
        void (*tool)(CMainDoc&, int, int, int);
        int x, y, from, weight, to;
    } cases[] = {
        {SmoothCell, 5, 5, 0, 100, 10},   {SmoothCell, 5, 5, 0, 50, 5},
        {SmoothCell, 5, 5, 12, 100, 12},  // the mean differs by 1: no change
        {RoughenCell, 5, 5, 12, 100, 12}, // away from the mean: 12 - 0 (trunc of 0.77)
        {RoughenCell, 5, 5, 0, 100, 0},   // clamped
        {SmoothCell, 0, 0, 0, 100, 10},   // a corner uses its two neighbours only
        {SmoothCell, 20, 0, 0, 100, 10},  // an edge its three
    };
    for (const auto& c : cases) {
        SetH(c.x, c.y, c.from);
        c.tool(d, c.x, c.y, c.weight);
        EXPECT_EQ(H(c.x, c.y), c.to) << c.x << "," << c.y << " from " << c.from;
    }
    // Fast smoothing (right button) is three passes.
    SetH(5, 5, 0);
    doc->m_tools.m_nTool = toolSmooth;
    editor->OnRButtonDown({5, 5}, keyRButton);
    EXPECT_EQ(H(5, 5), 12); // 0 -> 10 -> 12 -> 12
    // A 1 x 1 map has no neighbours: unchanged.
    d.m_map.m_nSizeX = d.m_map.m_nSizeY = 1;
    SetH(0, 0, 50);
    SmoothCell(d, 0, 0, 100);
    EXPECT_EQ(H(0, 0), 50);
}

} // namespace
