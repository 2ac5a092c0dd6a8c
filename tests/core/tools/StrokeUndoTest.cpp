#include "MainDoc.h"
#include "MapEditor.h"
#include "Pens.h"
#include "Random.h"
#include "TestSupport.h"
#include "ToolCodes.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

// Every tool in the Draw and Rect styles, with either button and with Shift or Ctrl held: a
// stroke takes exactly one undo snapshot (none for the level pick of Height Level's right
// button), and Ctrl+Z brings back the planes as they were before it.
class StrokeUndoTest : public ::testing::TestWithParam<std::tuple<int, int, int, int>> {
protected:
    static void SetUpTestSuite() {
        s_doc = new CMainDoc;
        UseNamedTiles(*s_doc);
    }
    static void TearDownTestSuite() {
        delete s_doc;
        s_doc = nullptr;
    }
    static CMainDoc* s_doc;
};
CMainDoc* StrokeUndoTest::s_doc = nullptr;

TEST_P(StrokeUndoTest, OneSnapshotPerStrokeAndUndoRestoresThePlanes) {
    const auto [tool, style, button, keys] = GetParam();
    CMainDoc& doc = *s_doc;
    // Relief and mixed tiles, so that every tool has something to change.
    for (int x = 0; x < 40; ++x)
        for (int y = 0; y < 40; ++y) {
            doc.m_map.m_height[CellIndex(x, y)] =
                static_cast<std::uint8_t>(100 + (x * 7 + y * 3) % 50);
            doc.m_map.m_tile[CellIndex(x, y)] =
                static_cast<std::uint16_t>((x + y) % (doc.m_tiles.m_nLastTile + 1));
        }
    doc.m_nLastBrush = 0;
    BrushRecord& brush = doc.m_brush[0];
    brush.lastCol = brush.lastRow = 2;
    for (int a = 0; a < 3; ++a)
        for (int r = 0; r < 3; ++r) {
            brush.brushHeight[a][r] = static_cast<std::int16_t>(20 + a + r);
            brush.brushTile[a][r] = 1;
        }
    const bool brushTool = tool >= toolBrushTiles && tool <= toolBrushBoth;
    doc.SelectTile(0, 0, brushTool ? selCustomBrush : selGroupVersion);
    doc.m_sel.m_nSelItem = 0;
    doc.m_tools.m_nTool = tool;
    doc.m_tools.m_nDrawStyle = style;
    SelectPenRow(doc, 2);
    doc.m_tools.m_nHeightLevel = 30;
    doc.m_tools.m_bGradiatedDraw = 1;
    Random::Seed(11);

    const CellPlanes before = doc.m_map;
    const int snapshots = doc.m_change.m_nSnapshots;
    MapEditor editor(doc);
    const int held = (button == 0 ? keyLButton : keyRButton) | keys;
    const CellPair path[] = {{10, 10}, {11, 10}, {12, 11}, {14, 13}};
    if (button == 0)
        editor.OnLButtonDown(path[0], held);
    else
        editor.OnRButtonDown(path[0], held);
    for (const CellPair& c : path)
        editor.OnMouseMove(c, held);
    if (button == 0)
        editor.OnLButtonUp(path[3], keys);
    else
        editor.OnRButtonUp(path[3], keys);

    const int expected = (button == 1 && tool == toolHeightLevel) ? 0 : 1;
    ASSERT_EQ(doc.m_change.m_nSnapshots - snapshots, expected);
    if (expected == 1)
        doc.Undo();
    EXPECT_TRUE(doc.m_map == before);
}

INSTANTIATE_TEST_SUITE_P(EveryToolStyleButtonAndKey, StrokeUndoTest,
                         ::testing::Combine(::testing::Range(0, 10),
                                            ::testing::Values(int{styleDraw}, int{styleRect}),
                                            ::testing::Values(0, 1),
                                            ::testing::Values(0, int{keyShift}, int{keyControl})));

} // namespace
