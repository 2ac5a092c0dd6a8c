#include "BrushActions.h"
#include "MainDoc.h"
#include "MapEditor.h"
#include "TestSupport.h"
#include "ToolCodes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// A brush of (lastCol + 1) x (lastRow + 1) cells whose entries all differ; flags are 0 or 1.
BrushRecord Numbered(int lastCol, int lastRow, int seed) {
    BrushRecord b{};
    b.lastCol = static_cast<std::int8_t>(lastCol);
    b.lastRow = static_cast<std::int8_t>(lastRow);
    for (int a = 0; a < 50; ++a)
        for (int r = 0; r < 50; ++r) {
            b.brushHeight[a][r] = static_cast<std::int16_t>(seed + 100 * a + r);
            b.brushTile[a][r] = static_cast<std::uint16_t>(seed + 7 * a + 3 * r);
            b.brushMirror[a][r] = static_cast<std::uint8_t>((a + r + seed) & 1);
            b.brushFlip[a][r] = static_cast<std::uint8_t>((a * r + seed) & 1);
        }
    return b;
}

bool Same(const BrushRecord& x, const BrushRecord& y) {
    return std::memcmp(&x, &y, sizeof x) == 0;
}

TEST(BrushActionsTest, FlipsMoveRowsOrColumnsAndInvertTheirFlags) {
    // One row: a vertical flip inverts every flip and moves nothing.
    BrushRecord one = Numbered(4, 0, 1);
    const BrushRecord before = one;
    FlipBrushVertically(one);
    for (int a = 0; a < 50; ++a)
        for (int r = 0; r < 50; ++r) {
            const bool in = a <= 4 && r == 0;
            EXPECT_EQ(one.brushFlip[a][r],
                      in ? 1 - before.brushFlip[a][r] : before.brushFlip[a][r]);
            EXPECT_EQ(one.brushHeight[a][r], before.brushHeight[a][r]);
            EXPECT_EQ(one.brushMirror[a][r], before.brushMirror[a][r]);
        }
    // Three rows (and three columns): one flip exchanges the outer rows (columns), twice restores.
    const BrushRecord three = Numbered(2, 2, 2);
    BrushRecord v = three, h = three;
    FlipBrushVertically(v);
    FlipBrushHorizontally(h);
    for (int a = 0; a <= 2; ++a)
        for (int r = 0; r <= 2; ++r) {
            EXPECT_EQ(v.brushHeight[a][r], three.brushHeight[a][2 - r]);
            EXPECT_EQ(v.brushTile[a][r], three.brushTile[a][2 - r]);
            EXPECT_EQ(v.brushMirror[a][r], three.brushMirror[a][2 - r]);
            EXPECT_EQ(v.brushFlip[a][r], 1 - three.brushFlip[a][2 - r]);
            EXPECT_EQ(h.brushHeight[a][r], three.brushHeight[2 - a][r]);
            EXPECT_EQ(h.brushFlip[a][r], three.brushFlip[2 - a][r]);
            EXPECT_EQ(h.brushMirror[a][r], 1 - three.brushMirror[2 - a][r]);
        }
    EXPECT_EQ(v.brushHeight[0][3], three.brushHeight[0][3]); // beyond the extent: untouched
    FlipBrushVertically(v);
    FlipBrushHorizontally(h);
    EXPECT_TRUE(Same(v, three));
    EXPECT_TRUE(Same(h, three));
}

TEST(BrushActionsTest, DeletingMovesLaterBrushesDownAndActionsMarkTheMapModified) {
    auto doc = std::make_unique<CMainDoc>();
    CMainDoc& d = *doc;
    for (int k = 0; k < 3; ++k)
        d.m_brush[k] = Numbered(k, k, 10 * k);
    d.m_nLastBrush = 2;
    d.AdoptFile("saved.ter");
    CountingView view;
    d.AddObserver(&view);
    d.m_sel.m_bStripChanged = 0;

    EXPECT_FALSE(ApplyBrushAction(d, 3, brushActionDelete)); // no brush there
    EXPECT_FALSE(ApplyBrushAction(d, 0, brushActionNone));
    EXPECT_EQ(d.m_change.m_bModified, 0);
    EXPECT_EQ(view.updates, 0);

    EXPECT_TRUE(ApplyBrushAction(d, 0, brushActionDelete));
    EXPECT_EQ(d.m_nLastBrush, 1);
    EXPECT_TRUE(Same(d.m_brush[0], Numbered(1, 1, 10)));
    EXPECT_TRUE(Same(d.m_brush[1], Numbered(2, 2, 20)));
    EXPECT_TRUE(Same(d.m_brush[2], Numbered(2, 2, 20))); // the freed slot keeps its contents
    EXPECT_EQ(d.m_change.m_bModified, 1);
    EXPECT_EQ(d.m_sel.m_bStripChanged, 1);
    EXPECT_EQ(view.updates, 1);
    // Brushes are not in the undo history: undoing a stroke no longer reaches the saved state.
    d.SaveUndo("Raise Land");
    d.SetHeight(1, 1, 5);
    ASSERT_TRUE(d.Undo());
    EXPECT_EQ(d.m_change.m_bModified, 1);

    // Twenty brushes fill the table; after a delete a grab works again.
    MapEditor editor(d);
    d.m_tools.m_nTool = toolBrushBoth;
    auto grab = [&] {
        editor.OnRButtonDown({0, 0}, keyRButton);
        editor.OnRButtonUp({1, 0}, 0);
    };
    for (int i = 0; i < 19; ++i)
        grab();
    EXPECT_EQ(d.m_nLastBrush, 19);
    EXPECT_TRUE(ApplyBrushAction(d, 19, brushActionFlipHorizontally));
    EXPECT_EQ(d.m_brush[19].brushMirror[0][0], 1);
    EXPECT_TRUE(ApplyBrushAction(d, 5, brushActionDelete));
    EXPECT_EQ(d.m_nLastBrush, 18);
    grab();
    EXPECT_EQ(d.m_nLastBrush, 19);
    EXPECT_EQ(d.m_brush[19].lastCol, 1);
    d.RemoveObserver(&view);
}

} // namespace
