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
    // One row: a vertical flip inverts the row's flips and moves nothing.
    BrushRecord one = Numbered(4, 0, 1), want = one;
    for (int a = 0; a <= 4; ++a)
        want.brushFlip[a][0] ^= 1;
    FlipBrushVertically(one);
    EXPECT_TRUE(Same(one, want));
    // Three rows (columns): the outer ones change places, inverting flips (mirrors); twice
    // restores the brush. Entries beyond the extent stay.
    const BrushRecord three = Numbered(2, 2, 2);
    BrushRecord v = three, h = three, wantV = three, wantH = three;
    for (int a = 0; a < 3; ++a)
        for (int r = 0; r < 3; ++r) {
            wantV.brushHeight[a][r] = three.brushHeight[a][2 - r];
            wantV.brushTile[a][r] = three.brushTile[a][2 - r];
            wantV.brushMirror[a][r] = three.brushMirror[a][2 - r];
            wantV.brushFlip[a][r] = three.brushFlip[a][2 - r] ^ 1;
            wantH.brushHeight[a][r] = three.brushHeight[2 - a][r];
            wantH.brushTile[a][r] = three.brushTile[2 - a][r];
            wantH.brushMirror[a][r] = three.brushMirror[2 - a][r] ^ 1;
            wantH.brushFlip[a][r] = three.brushFlip[2 - a][r];
        }
    FlipBrushVertically(v);
    FlipBrushHorizontally(h);
    EXPECT_TRUE(Same(v, wantV) && Same(h, wantH));
    FlipBrushVertically(v);
    FlipBrushHorizontally(h);
    EXPECT_TRUE(Same(v, three) && Same(h, three));
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
    EXPECT_EQ(d.m_change.m_bModified + view.updates, 0);

    EXPECT_TRUE(ApplyBrushAction(d, 0, brushActionDelete));
    EXPECT_EQ(d.m_nLastBrush, 1);
    EXPECT_TRUE(Same(d.m_brush[0], Numbered(1, 1, 10)) && Same(d.m_brush[1], Numbered(2, 2, 20)));
    EXPECT_TRUE(Same(d.m_brush[2], Numbered(2, 2, 20))); // the freed slot keeps its contents
    EXPECT_EQ(d.m_sel.m_bStripChanged + view.updates, 2);
    // Brushes are not in the undo history: undoing a stroke no longer reaches the saved state.
    d.SaveUndo("Raise Land");
    d.SetHeight(1, 1, 5);
    ASSERT_TRUE(d.Undo());
    EXPECT_EQ(d.m_change.m_bModified, 1);
    d.RemoveObserver(&view);

    // With twenty brushes a grab does nothing; after a delete it works again.
    MapEditor editor(d);
    d.m_tools.m_nTool = toolBrushBoth;
    for (int i = 0; i < 20; ++i) {
        if (i == 19) {
            EXPECT_TRUE(ApplyBrushAction(d, 5, brushActionDelete));
        }
        editor.OnRButtonDown({0, 0}, keyRButton);
        editor.OnRButtonUp({1, 0}, 0);
        EXPECT_EQ(d.m_nLastBrush, std::min(i + 2, 19));
    }
}

} // namespace
