#include "MainDoc.h"
#include "MapEditor.h"
#include "MapSize.h"
#include "Pens.h"
#include "Random.h"
#include "TestSupport.h"
#include "ToolCodes.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

namespace {

// A long random session of every tool, style, button and key, with resizes and clears between:
// undoing it all gives back every earlier state in turn, redoing it all the last one.
TEST(UndoHistoryTest, ARandomSessionUndoesToTheStartAndRedoesToTheEnd) {
    auto doc = std::make_unique<CMainDoc>();
    UseNamedTiles(*doc);
    CMainDoc& d = *doc;
    MapEditor editor(d);
    std::mt19937 rng(2024);
    Random::Seed(5);
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    d.m_nLastBrush = 0;
    d.m_brush[0].lastCol = d.m_brush[0].lastRow = 3;

    std::vector<CellPlanes> states{d.m_map};
    for (int step = 0; step < 300; ++step) {
        const int what = pick(20);
        if (what == 0) {
            d.SaveUndo("Resize Map");
            ApplyMapSize(d, 1 + pick(512), 1 + pick(512));
            d.EndStep();
        } else if (what == 1) {
            ClearMapPlanes(d);
        } else {
            const int tool = pick(10);
            d.m_tools.m_nTool = tool;
            d.m_tools.m_nDrawStyle = pick(2) ? styleRect : styleDraw;
            SelectPenRow(d, pick(13));
            if (pick(8) == 0)
                d.m_tools.m_nPen = fillFloodTile + pick(4);
            d.SelectTile(0, pick(2),
                         tool >= toolBrushTiles && tool <= toolBrushBoth ? selCustomBrush
                                                                         : selGroupVersion);
            d.m_sel.m_nSelItem = pick(14);
            d.m_tools.m_nHeightLevel = static_cast<std::uint8_t>(pick(256));
            const int keys = pick(3) == 0 ? keyShift : pick(2) == 0 ? keyControl : 0;
            const bool left = pick(2) == 0;
            const int held = (left ? keyLButton : keyRButton) | keys;
            CellPair c{pick(300), pick(300)};
            left ? editor.OnLButtonDown(c, held) : editor.OnRButtonDown(c, held);
            for (int m = pick(4); m > 0; --m) {
                c = {c.x + pick(9) - 4, c.y + pick(9) - 4};
                editor.OnMouseMove(c, held);
            }
            left ? editor.OnLButtonUp(c, keys) : editor.OnRButtonUp(c, keys);
        }
        // A step that changed nothing is no step: record only real changes.
        if (!(d.m_map == states.back()))
            states.push_back(d.m_map);
    }
    ASSERT_GT(states.size(), 50u);
    ASSERT_EQ(d.m_history.Steps() + 1, static_cast<int>(states.size()));
    for (std::size_t i = states.size() - 1; i-- > 0;) {
        ASSERT_TRUE(d.Undo()) << i;
        ASSERT_TRUE(d.m_map == states[i]) << "after undoing to state " << i;
    }
    EXPECT_FALSE(d.Undo());
    // The new map's planes; the map stays modified only if a brush was grabbed on the way.
    EXPECT_EQ(d.m_change.m_bModified, d.m_nLastBrush > 0 ? 1 : 0);
    while (d.Redo()) {
    }
    EXPECT_TRUE(d.m_map == states.back());
    EXPECT_EQ(d.m_change.m_bModified, 1);
}

// A thousand large noisy fills: the history stays within its memory bound by dropping the
// oldest steps, and the newest ones still undo exactly.
TEST(UndoHistoryTest, StaysWithinItsMemoryBoundAndKeepsTheNewestSteps) {
    auto doc = std::make_unique<CMainDoc>();
    CMainDoc& d = *doc;
    constexpr std::size_t kBound = 4u << 20; // a bound this test reaches quickly
    d.m_history.SetLimits(kBound, 100000);
    std::mt19937 rng(9);
    std::vector<CellPlanes> last;
    for (int step = 0; step < 1000; ++step) {
        d.SaveUndo("Flood Fill");
        for (int x = 0; x < 128; ++x)
            for (int y = 0; y < 128; ++y)
                d.SetHeight(x, y, static_cast<std::uint8_t>(rng()));
        d.EndStep();
        if (step >= 990)
            last.push_back(d.m_map);
        ASSERT_LE(d.m_history.Bytes(), kBound);
    }
    EXPECT_LT(d.m_history.Steps(), 1000);
    EXPECT_GE(d.m_history.Steps(), 100); // a step of 128 x 128 noisy heights costs about 17 KB
    for (int i = static_cast<int>(last.size()) - 2; i >= 0; --i) {
        ASSERT_TRUE(d.Undo());
        ASSERT_TRUE(d.m_map == last[static_cast<std::size_t>(i)]);
    }
    // Small strokes cost little: 200 strokes of a 15 x 15 pen stay within a few hundred KB.
    CMainDoc& e = *(doc = std::make_unique<CMainDoc>());
    for (int step = 0; step < 200; ++step) {
        e.SaveUndo("Raise Land");
        for (int x = 0; x < 15; ++x)
            for (int y = 0; y < 15; ++y)
                e.AddHeight(step + x, step % 50 + y, 1);
        e.EndStep();
    }
    EXPECT_EQ(e.m_history.Steps(), 200);
    EXPECT_LT(e.m_history.Bytes(), 400u * 1024);
}

} // namespace
