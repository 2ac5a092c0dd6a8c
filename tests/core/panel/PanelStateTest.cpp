#include "PanelState.h"

#include "MainDoc.h"
#include "PenDialogs.h"
#include "TestSupport.h"
#include "ToolCodes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// The document's pen: number, shape, width, height and gradient.
std::tuple<int, int, float, float, int> PenOf(const CMainDoc& d) {
    return {d.m_tools.m_nPen, d.m_tools.m_nPenShape, d.m_tools.m_fPenWidth, d.m_tools.m_fPenHeight,
            d.m_tools.m_nPenGradient};
}

// The panel itself as a view: it must never be told of its own changes.
struct PanelView : CDocObserver {
    void OnDocUpdate(CDocObserver*, int) override { ADD_FAILURE() << "panel notified of itself"; }
};

// Checks every hideable control, both labels, the status lines and the tool code against the
// panel's rules for the current state.
void ExpectPanelFollowsRules(const PanelState& p, const CMainDoc& doc) {
    const bool custom = doc.m_sel.m_nSelKind == selCustomBrush;
    const int mode = p.m_nEditMode;
    const int style = p.m_nDrawStyle;
    const PanelVisibility& v = p.m_visible;
    for (int m = 0; m < kEditModes; ++m)
        EXPECT_EQ(v.modeButton[m], m >= 7 ? custom
                                          : !custom && (m != 1 || style == styleRect) &&
                                                (m != 5 || doc.m_sel.m_bMultiTileAllowed == 1))
            << "mode button " << m;
    EXPECT_EQ(v.spray, !custom);
    EXPECT_EQ(v.saveBrush && v.loadBrush, custom);
    EXPECT_EQ(v.heightScaleList && v.gradiatedDraw, mode == 0);
    EXPECT_EQ(v.autoRandomize, mode == 4 || mode == 5);
    EXPECT_EQ(v.penList, style == styleDraw && !custom);
    EXPECT_EQ(v.fillList, style == styleFill && !custom);
    EXPECT_EQ(v.offsetHeight, style == styleFill && !custom);
    EXPECT_EQ(p.m_strPenLabel, style == styleDraw ? "Pen" : style == styleFill ? "Fill" : "");
    EXPECT_EQ(p.m_strHeightScaleLabel, mode == 0 ? "Height Scale" : "");
    ASSERT_GE(mode, 0);
    EXPECT_TRUE(v.modeButton[mode]) << "the checked mode's button is hidden";
    const EditModeRow& row = kEditModeTable[mode];
    EXPECT_EQ(p.m_status, Lines(row.lines, row.lines + row.lineCount));
    EXPECT_EQ(doc.m_tools.m_nTool, row.tool);
    EXPECT_EQ(doc.m_tools.m_nDrawStyle, style);
}

class PanelStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_doc->AddObserver(&m_self);
        m_doc->AddObserver(&m_view);
    }
    void StartOnSamples() {
        ASSERT_TRUE(m_doc->OnNewDocument(SampleWorkDir()));
        m_panel.FirstUpdate();
    }
    void Choose(std::initializer_list<std::string> path) {
        const int id = m_panel.m_tree.Find(path);
        ASSERT_NE(id, TileTree::kNone);
        m_panel.SelectTreeItem(id);
    }
    std::string Selected() const { return m_panel.m_tree.At(m_panel.m_tree.Selected()).text; }
    std::string SelectedGroup() const {
        return m_doc->m_tiles.m_tileGroup[m_doc->m_sel.m_nSelGroup].strCode;
    } // outlives the document, which may still close it
    std::unique_ptr<CMainDoc> m_doc = std::make_unique<CMainDoc>();
    PanelView m_self;
    CountingView m_view;
    PanelState m_panel{*m_doc, &m_self};
};

TEST_F(PanelStateTest, FirstUpdateAndTheTreeOfTheSampleSetInBothKindsOfStyle) {
    m_doc->m_view.m_nShadeBase = 90;
    m_doc->m_tools.m_nPenShape = 1;
    m_doc->m_tools.m_fPenWidth = 7.0f;
    m_doc->m_tools.m_nPenGradient = 0;
    StartOnSamples();
    EXPECT_EQ(m_panel.m_nEditMode, 0);
    EXPECT_EQ(m_panel.m_nDrawStyle, styleDraw);
    EXPECT_EQ(m_panel.m_bFirstUpdate, 0);
    EXPECT_EQ(m_doc->m_view.m_nShadeBase, 0);
    EXPECT_EQ(PenOf(*m_doc), std::make_tuple(0, 0, 1.0f, 1.0f, 4));
    EXPECT_EQ(SelectedGroup(), "GRDI");
    EXPECT_EQ(m_doc->m_sel.m_nSelKind, selGroupVersion);
    EXPECT_EQ(m_doc->m_sel.m_bMultiTileAllowed, 1);
    EXPECT_GT(m_view.updates, 0);
    ExpectPanelFollowsRules(m_panel, *m_doc);
    const Lines tree = {"GRDI",        "  Version 0",      "    Single Tiles",
                        "  Version 1", "    Single Tiles", "RKGR",
                        "  Version 0", "    Single Tiles", "SAWA",
                        "  Version 0", "    Single Tiles", "SNRK",
                        "  Version 0"};
    EXPECT_EQ(m_panel.m_tree.Outline(), tree);
    EXPECT_EQ(Selected(), "GRDI");

    // It runs once only.
    m_doc->m_tools.m_nTool = toolSpin;
    m_panel.FirstUpdate();
    EXPECT_EQ(m_doc->m_tools.m_nTool, toolSpin);

    m_panel.SetDrawStyle(styleBrush);
    EXPECT_EQ(m_panel.m_tree.Outline(), Lines({"GRDI Brushes", "Custom Brushes"}));
    EXPECT_EQ(Selected(), "Custom Brushes");
    m_panel.SetDrawStyle(styleFill);
    EXPECT_EQ(m_panel.m_tree.Outline(), tree);
}

TEST_F(PanelStateTest, TreeSortsGroupsButSelectsTheFirstInsertedOne) {
    const char* codes[] = {"SNRK", "GRDI", "RKGR", "SAWA"};
    for (int g = 0; g < 4; ++g)
        m_doc->m_tiles.m_tileGroup[g].Init(codes[g]);
    m_doc->m_tiles.m_nLastGroup = 3;
    TileGroup& grdi = m_doc->m_tiles.m_tileGroup[1];
    grdi.versionUsed[0] = grdi.versionUsed[2] = 1;
    grdi.lastEntry[2][15] = 0; // one single tile
    m_doc->m_tiles.m_tileGroup[0].multiUsed[0] = 1;
    m_doc->m_tiles.m_tileGroup[2].multiUsed[4] = 1;
    m_doc->m_tiles.m_tileGroup[3].multiUsed[5] = 1; // only pictures 0..4 make a brush item

    m_panel.FirstUpdate();
    EXPECT_EQ(m_panel.m_tree.Outline(), Lines({"GRDI", "  Version 0", "  Version 2",
                                               "    Single Tiles", "RKGR", "SAWA", "SNRK"}));
    EXPECT_EQ(Selected(), "SNRK");
    EXPECT_EQ(m_doc->m_sel.m_nSelGroup, 0);
    Choose({"GRDI", "Version 2", "Single Tiles"});
    EXPECT_EQ(m_doc->m_sel.m_nSelGroup, 1);
    EXPECT_EQ(m_doc->m_sel.m_nSelVersion, 2);
    EXPECT_EQ(m_doc->m_sel.m_nSelKind, selSingleTiles);

    m_panel.SetDrawStyle(styleBrush);
    EXPECT_EQ(m_panel.m_tree.Outline(), Lines({"RKGR Brushes", "SNRK Brushes", "Custom Brushes"}));
    Choose({"SNRK Brushes"});
    EXPECT_EQ(m_doc->m_sel.m_nSelGroup, 0);
    EXPECT_EQ(m_doc->m_sel.m_nSelKind, selGroupStamp);
}

TEST_F(PanelStateTest, EditModesFallBackAndTheGradientModeNeedsRect) {
    StartOnSamples();
    // The current mode again: nothing at all changes.
    m_panel.m_status.push_back("marker");
    m_doc->m_tools.m_nTool = toolSpin;
    const int updates = m_view.updates;
    m_panel.ApplyEditMode(0);
    EXPECT_EQ(m_panel.m_status.back(), "marker");
    EXPECT_EQ(m_doc->m_tools.m_nTool, toolSpin);
    EXPECT_EQ(m_view.updates, updates);

    m_doc->m_tools.m_nHeightLevel = 40;
    m_panel.ApplyEditMode(3);
    EXPECT_EQ(m_doc->m_tools.m_nHeightLevel, 0);
    ExpectPanelFollowsRules(m_panel, *m_doc);

    // Outside Rect the Gradient mode becomes single tiles and opens no dialog.
    EXPECT_FALSE(m_panel.OnEditModeButton(1));
    EXPECT_EQ(m_panel.m_nEditMode, 4);
    ExpectPanelFollowsRules(m_panel, *m_doc);
    EXPECT_FALSE(m_panel.OnStyleButton(styleRect));
    EXPECT_TRUE(m_panel.OnEditModeButton(1));
    EXPECT_EQ(m_panel.m_nEditMode, 1);
    ExpectPanelFollowsRules(m_panel, *m_doc);

    EXPECT_TRUE(m_panel.m_visible.gradientWindow);
    // Leaving Rect in mode 1 moves to mode 4 and closes the dialog.
    m_panel.SetDrawStyle(styleDraw);
    EXPECT_EQ(m_panel.m_nEditMode, 4);
    EXPECT_FALSE(m_panel.m_visible.gradientWindow);
    ExpectPanelFollowsRules(m_panel, *m_doc);
}

TEST_F(PanelStateTest, StylesSetPenAndFillAndKeepAConfirmedCustomPen) {
    StartOnSamples();
    m_panel.OnPenRow(8);
    EXPECT_EQ(PenOf(*m_doc), std::make_tuple(8, 0, 3.0f, 7.0f, 4));
    // The current style again changes nothing, but "Pen" asks for its dialog every time.
    m_doc->m_tools.m_fPenWidth = 9.0f;
    EXPECT_FALSE(m_panel.OnStyleButton(styleDraw));
    EXPECT_EQ(m_doc->m_tools.m_fPenWidth, 9.0f);
    EXPECT_TRUE(m_panel.OnStyleButton(stylePen));
    EXPECT_TRUE(m_panel.OnStyleButton(stylePen));
    ExpectPanelFollowsRules(m_panel, *m_doc);

    // A confirmed custom pen leaves the Pen list without a row; Draw then keeps the pen.
    ApplyCustomPen(*m_doc, CustomPen{1, 6, 4, 2});
    m_panel.OnCustomPenOk();
    m_panel.SetDrawStyle(styleDraw);
    EXPECT_EQ(m_panel.m_nPenIndex, -1);
    EXPECT_EQ(PenOf(*m_doc), std::make_tuple(-1, 1, 6.0f, 4.0f, 2));

    // Fill applies its row: a fill code and a 1 x 1 pen.
    m_panel.OnFillRow(2);
    m_panel.SetDrawStyle(styleFill);
    EXPECT_EQ(PenOf(*m_doc), std::make_tuple(fillWipeTile, 1, 1.0f, 1.0f, 2));
    ExpectPanelFollowsRules(m_panel, *m_doc);
}

TEST_F(PanelStateTest, BrushStyleAndTreeChoicesMoveTheModeAndTheMultiTileButton) {
    StartOnSamples();
    m_panel.ApplyEditMode(5);
    m_doc->m_sel.m_bStripChanged = 0;
    m_panel.SetDrawStyle(styleBrush);
    EXPECT_TRUE(m_panel.IsCustomBrushState());
    EXPECT_EQ(m_doc->m_sel.m_nSelItem, 1);
    EXPECT_EQ(m_doc->m_sel.m_bStripChanged, 1);
    ExpectPanelFollowsRules(m_panel, *m_doc);
    m_panel.ApplyEditMode(9);
    ExpectPanelFollowsRules(m_panel, *m_doc);

    // A group's stamps leave the custom brushes: a brush mode becomes Leveling.
    Choose({"GRDI Brushes"});
    EXPECT_EQ(SelectedGroup(), "GRDI");
    EXPECT_EQ(m_doc->m_sel.m_nSelKind, selGroupStamp);
    EXPECT_EQ(m_panel.m_nEditMode, 3);
    ExpectPanelFollowsRules(m_panel, *m_doc);
    Choose({"Custom Brushes"});
    EXPECT_EQ(m_panel.m_nEditMode, 7);

    // Single tiles in MultiTile: Tile instead, until a group is chosen again.
    m_panel.SetDrawStyle(styleDraw);
    m_panel.ApplyEditMode(5);
    Choose({"GRDI", "Version 1", "Single Tiles"});
    EXPECT_EQ(m_doc->m_sel.m_nSelKind, selSingleTiles);
    EXPECT_EQ(m_doc->m_sel.m_nSelVersion, 1);
    EXPECT_EQ(m_panel.m_nEditMode, 4);
    ExpectPanelFollowsRules(m_panel, *m_doc);
    Choose({"SAWA"});
    EXPECT_EQ(SelectedGroup(), "SAWA");
    EXPECT_EQ(m_panel.m_nEditMode, 4);
    ExpectPanelFollowsRules(m_panel, *m_doc);
}

TEST_F(PanelStateTest, ViewCommandsRedrawAsNeededAndUndoSwapsOnceASnapshotExists) {
    StartOnSamples();
    m_doc->m_redraw.m_bRedrawAll = 0;
    m_panel.OnZoom(3);
    EXPECT_EQ(m_doc->m_view.m_nCellPixels, 16);
    EXPECT_EQ(m_doc->m_redraw.m_bRedrawAll, 1);
    m_panel.OnViewScaleRow(0);
    EXPECT_EQ(m_doc->m_view.m_nHeightViewScale, -1);

    // Grid on goes through the dirty list; off redraws everything. So does the marker.
    m_doc->m_redraw.m_bRedrawAll = 0;
    m_panel.OnGrid();
    m_panel.OnScaleMarker();
    EXPECT_EQ(m_doc->m_redraw.m_bRedrawAll, 0);
    ASSERT_EQ(m_doc->m_redraw.m_nLastDirty, 0);
    EXPECT_EQ(m_doc->m_redraw.m_dirtyCell[0].x, 1);
    EXPECT_EQ(m_doc->m_redraw.m_dirtyCell[0].y, 1);
    m_panel.OnGrid();
    EXPECT_EQ(m_doc->m_view.m_bGrid, 0);
    EXPECT_EQ(m_doc->m_redraw.m_bRedrawAll, 1);
    m_doc->m_redraw.m_bRedrawAll = 0;
    m_panel.OnScaleMarker();
    EXPECT_EQ(m_doc->m_redraw.m_bRedrawAll, 1);
    m_panel.OnShadeBase(40);
    m_panel.OnGouraud();
    // View options redraw but never make the map modified.
    EXPECT_EQ(m_doc->m_change.m_bModified, 0);

    const int updates = m_view.updates;
    m_panel.OnUndo();
    EXPECT_EQ(m_view.updates, updates);
    m_doc->SaveUndo();
    m_doc->SetHeight(2, 3, 50);
    m_panel.OnUndo();
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(2, 3)], 0);
    EXPECT_EQ(m_view.updates, updates + 1);
}

TEST_F(PanelStateTest, LibraryWithoutGroupsGivesAnEmptyTreeOrOnlyCustomBrushes) {
    m_panel.FirstUpdate();
    EXPECT_TRUE(m_panel.m_tree.Outline().empty());
    ExpectPanelFollowsRules(m_panel, *m_doc);
    m_panel.SetDrawStyle(styleBrush);
    EXPECT_EQ(m_panel.m_tree.Outline(), Lines({"Custom Brushes"}));
    EXPECT_EQ(m_panel.m_nEditMode, 7);
    // With nothing to select, leaving Brush also leaves the custom brushes.
    m_panel.SetDrawStyle(styleDraw);
    EXPECT_TRUE(m_panel.m_tree.Outline().empty());
    EXPECT_EQ(m_panel.m_nEditMode, 3);
    ExpectPanelFollowsRules(m_panel, *m_doc);
}

} // namespace
