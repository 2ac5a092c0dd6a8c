#include "MainDoc.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace {

// A document after the new-map step, on a tile folder holding two tiles.
class MainDocTest : public ::testing::Test {
protected:
    void SetUp() override {
        WritePlainTiles(m_dir.Path(), {0x00102030, 0x00405060});
        ASSERT_TRUE(m_doc->OnNewDocument(m_dir.Path()));
        m_doc->m_redraw.m_bRedrawAll = 0; // as after a paint
        m_doc->m_redraw.m_nLastDirty = -1;
    }

    bool IsDirty(int x, int y) const {
        for (int i = 0; i <= m_doc->m_redraw.m_nLastDirty; ++i)
            if (m_doc->m_redraw.m_dirtyCell[i].x == x && m_doc->m_redraw.m_dirtyCell[i].y == y)
                return true;
        return false;
    }

    TempDir m_dir;
    std::unique_ptr<CMainDoc> m_doc = std::make_unique<CMainDoc>();
};

TEST_F(MainDocTest, NewMapIs256SquareWithClearedPlanesAndDefaultSettings) {
    CMainDoc& d = *m_doc;
    EXPECT_EQ(d.m_map.m_nSizeX, 256);
    EXPECT_EQ(d.m_map.m_nSizeY, 256);
    EXPECT_EQ(d.m_tiles.m_nLastTile, 1);
    EXPECT_EQ(d.m_view.m_nCellPixels, 128);
    EXPECT_EQ(d.m_sel.m_bStripChanged, 1);
    EXPECT_EQ(d.m_strWorkDir, m_dir.Path().string());

    // A second new map resets the settings and planes but keeps the size, the shade base and
    // the draw style, and starts a new undo history.
    d.m_map.m_nSizeX = 40;
    d.m_view.m_nShadeBase = 77;
    d.m_tools.m_nDrawStyle = 2;
    d.m_tools.m_nTool = 5;
    d.m_view.m_bGrid = 1;
    d.m_brush[3].lastCol = 4;
    d.m_nLastBrush = 3;
    d.SetHeight(1, 1, 9);
    d.SaveUndo();
    ASSERT_TRUE(d.OnNewDocument(m_dir.Path()));
    EXPECT_EQ(d.m_map.m_nSizeX, 40);
    EXPECT_EQ(d.m_view.m_nShadeBase, 77);
    EXPECT_EQ(d.m_tools.m_nDrawStyle, 2);
    EXPECT_EQ(d.m_tools.m_nTool, 1);
    EXPECT_EQ(d.m_view.m_bGrid, 0);
    EXPECT_EQ(d.m_brush[3].lastCol, 0);
    EXPECT_EQ(d.m_nLastBrush, -1);
    EXPECT_EQ(d.m_map.m_height[CellIndex(1, 1)], 0);
    EXPECT_FALSE(d.Undo());
    EXPECT_EQ(d.m_redraw.m_bRedrawAll, 1);
}

TEST_F(MainDocTest, NewMapFailsWithoutTilesAndKeepsTheDocument) {
    TempDir empty;
    std::filesystem::create_directories(empty / "Textures");
    m_doc->SetHeight(3, 3, 50);
    EXPECT_FALSE(m_doc->OnNewDocument(empty.Path()));
    EXPECT_EQ(m_doc->LastLoadReport().status, TileLoadReport::Status::NoTiles);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(3, 3)], 50);
}

TEST_F(MainDocTest, HeightOperationsClampAndRespectTheMapSize) {
    CMainDoc& d = *m_doc;
    d.SetHeight(2, 3, 10);
    d.AddHeight(2, 3, 300);
    EXPECT_EQ(d.m_map.m_height[CellIndex(2, 3)], 255);
    d.SetHeight(2, 3, 10);
    d.AddHeight(2, 3, -300);
    EXPECT_EQ(d.m_map.m_height[CellIndex(2, 3)], 0);
    d.AddHeight(2, 3, 2147483647); // no overflow on extreme amounts
    EXPECT_EQ(d.m_map.m_height[CellIndex(2, 3)], 255);

    // Outside the map size nothing changes and nothing is marked, even inside the planes.
    d.m_map.m_nSizeX = 10;
    d.m_map.m_nSizeY = 20;
    d.m_redraw.m_nLastDirty = -1;
    d.SetHeight(10, 0, 5);
    d.AddHeight(0, 20, 5);
    d.SetHeight(-1, 0, 5);
    d.SetTileFlags(0, -1, 7, 1, 1);
    d.SetTile(10, 19, 7, 0x0101);
    EXPECT_EQ(d.m_map.m_height[CellIndex(10, 0)], 0);
    EXPECT_EQ(d.m_map.m_height[CellIndex(0, 20)], 0);
    EXPECT_EQ(d.m_map.m_tile[CellIndex(10, 19)], 0);
    EXPECT_EQ(d.m_redraw.m_nLastDirty, -1);
    d.SetHeight(9, 19, 5);
    EXPECT_EQ(d.m_map.m_height[CellIndex(9, 19)], 5);
}

TEST_F(MainDocTest, TileOperationsStoreIndexAndOrientation) {
    CMainDoc& d = *m_doc;
    const int i = CellIndex(4, 5);
    d.SetTile(4, 5, 3, 0x0100); // low byte mirror, high byte flip
    EXPECT_EQ(std::tuple(d.m_map.m_tile[i], d.m_map.m_mirror[i], d.m_map.m_flip[i]),
              std::tuple(3, 0, 1));
    d.SetTileFlags(4, 5, 999, 1, 0); // beyond the library: kept as it is
    EXPECT_EQ(std::tuple(d.m_map.m_tile[i], d.m_map.m_mirror[i], d.m_map.m_flip[i]),
              std::tuple(999, 1, 0));
    EXPECT_EQ(d.CellHasTile(4, 5, 999), 1);
    EXPECT_EQ(d.CellHasTile(4, 5, 3), 0);
    EXPECT_TRUE(IsDirty(4, 5));
}

TEST_F(MainDocTest, DirtyListRulesAndGouraudNeighbours) {
    CMainDoc& d = *m_doc;
    d.SetHeight(5, 5, 1);
    EXPECT_EQ(d.m_redraw.m_nLastDirty, 0);
    EXPECT_TRUE(IsDirty(5, 5));
    d.SetHeight(5, 5, 2); // the same cell again adds nothing
    EXPECT_EQ(d.m_redraw.m_nLastDirty, 0);

    d.m_redraw.m_nLastDirty = -1;
    d.m_view.m_bGouraud = 1;
    d.AddHeight(5, 5, 1);
    EXPECT_EQ(d.m_redraw.m_nLastDirty, 3);
    EXPECT_TRUE(IsDirty(5, 5) && IsDirty(4, 5) && IsDirty(5, 4) && IsDirty(4, 4));
    // At the map's corner the neighbours lie outside; they are still recorded, the paint
    // ignores them.
    d.m_redraw.m_nLastDirty = -1;
    d.SetHeight(0, 0, 9);
    EXPECT_TRUE(IsDirty(-1, -1));

    // 201 distinct cells fit; the 202nd turns the list into a full redraw.
    d.m_view.m_bGouraud = 0;
    d.m_redraw.m_nLastDirty = -1;
    for (int i = 0; i < kMaxDirty; ++i)
        d.MarkCellDirty(i, 7);
    EXPECT_EQ(d.m_redraw.m_nLastDirty, 200);
    EXPECT_EQ(d.m_redraw.m_bRedrawAll, 0);
    d.MarkCellDirty(300, 7);
    EXPECT_EQ(d.m_redraw.m_nLastDirty, -1);
    EXPECT_EQ(d.m_redraw.m_bRedrawAll, 1);
    d.MarkCellDirty(1, 1); // while a full redraw is pending nothing is recorded
    EXPECT_EQ(d.m_redraw.m_nLastDirty, -1);
}

TEST_F(MainDocTest, ShadeOffsetFollowsBaseScaleAndMapSize) {
    CMainDoc& d = *m_doc;
    d.SetHeight(1, 2, 30);
    d.m_view.m_nShadeBase = 100;
    EXPECT_EQ(d.ShadeOffset(1, 2), -70);
    d.m_view.m_nShadeBase = 0;
    EXPECT_EQ(d.ShadeOffset(1, 2), 30);
    EXPECT_EQ(d.ShadeOffset(-1, 2), 0);
    EXPECT_EQ(d.ShadeOffset(1, 256), 0);
    d.m_view.m_nHeightViewScale = -1;
    EXPECT_EQ(d.ShadeOffset(1, 2), 0);
}

TEST_F(MainDocTest, UndoAndRedoStepThroughStrokesWithSizeAndFileName) {
    CMainDoc& d = *m_doc;
    EXPECT_FALSE(d.Undo()); // nothing yet
    const CellPlanes start = d.m_map;

    // A drag over many cells, beyond the map size too: one step brings all of them back.
    d.SaveUndo("Raise Land");
    d.SetTileFlags(7, 8, 1, 1, 0);
    d.m_map.m_nSizeX = 512;
    for (int x = 0; x < 512; x += 3) {
        d.SetHeight(x, 9, static_cast<std::uint8_t>(x));
        d.SetTileFlags(x, 9, 1, 0, 1);
    }
    const CellPlanes afterStroke = d.m_map;
    d.SaveUndo("Load Map"); // a load also brings a file name
    d.m_map.ClearPlanes();
    d.m_map.m_nSizeY = 40;
    d.AdoptFile("/maps/a.ter");
    const CellPlanes loaded = d.m_map;
    d.SaveUndo("Draw Tile"); // a step that changes nothing is no step
    d.EndStep();
    EXPECT_EQ(d.m_history.UndoLabel(), "Load Map");

    ASSERT_TRUE(d.Undo());
    EXPECT_TRUE(d.m_map == afterStroke);
    EXPECT_EQ(d.m_change.m_strPathName, "");
    EXPECT_EQ(d.m_change.m_bModified, 1); // the saved state is the loaded file
    EXPECT_EQ(d.m_history.RedoLabel(), "Load Map");
    ASSERT_TRUE(d.Undo());
    EXPECT_TRUE(d.m_map == start);
    EXPECT_FALSE(d.Undo());
    ASSERT_TRUE(d.Redo());
    ASSERT_TRUE(d.Redo());
    EXPECT_TRUE(d.m_map == loaded);
    EXPECT_EQ(d.m_change.m_strPathName, "/maps/a.ter");
    EXPECT_EQ(d.m_change.m_bModified, 0); // back at the saved state
    EXPECT_FALSE(d.Redo());

    // A new stroke after undoing drops the redo steps.
    ASSERT_TRUE(d.Undo());
    d.SaveUndo("Lower Land");
    d.AddHeight(1, 1, 5);
    EXPECT_TRUE(d.Undo());
    EXPECT_TRUE(d.m_map == afterStroke);
    EXPECT_EQ(d.m_history.RedoLabel(), "Lower Land");
}

TEST_F(MainDocTest, UpdateAllViewsSkipsTheSender) {
    CountingView a, b;
    m_doc->AddObserver(&a);
    m_doc->AddObserver(&b);
    m_doc->AddObserver(&b); // registering twice notifies once
    m_doc->UpdateAllViews(&a, 5);
    EXPECT_EQ(a.updates, 0);
    EXPECT_EQ(b.updates, 1);
    EXPECT_EQ(b.lastSender, &a);
    EXPECT_EQ(b.lastHint, 5);
    m_doc->RemoveObserver(&b);
    m_doc->UpdateAllViews(nullptr);
    EXPECT_EQ(a.updates, 1);
    EXPECT_EQ(b.updates, 1);
}

TEST_F(MainDocTest, EditsAndUndoMarkTheMapModified) {
    EXPECT_EQ(m_doc->m_change.m_bModified, 0);
    m_doc->RedrawAll(); // a pending full redraw does not hide the change
    m_doc->AddHeight(3, 3, 1);
    EXPECT_EQ(m_doc->m_change.m_bModified, 1);
    m_doc->SetModifiedFlag(false); // as after a save
    m_doc->SetHeight(300, 3, 1);   // outside the map: nothing changes
    EXPECT_EQ(m_doc->m_change.m_bModified, 0);
    ASSERT_TRUE(m_doc->OnNewDocument(m_dir.Path()));
    EXPECT_EQ(m_doc->m_change.m_bModified, 0);
}

} // namespace
