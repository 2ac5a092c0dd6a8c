#include "PanelState.h"

#include "MainDoc.h"
#include "Pens.h"
#include "ToolCodes.h"
#include "Zoom.h"

const EditModeRow kEditModeTable[kEditModes] = {
    {"&Height", 3, {"Modify Height", "L: Raise Land", "R: Lower Land"}, toolModifyHeight},
    {"Gradient",
     3,
     {"Gradiated Shape Mode", "L: Draw Shape in Height With", "    Gradiated Fill"},
     toolGradiatedShape},
    {"&Flat Land", 3, {"Draw Height Level", "L: Draw Height", "R: Get Height"}, toolHeightLevel},
    {"&Leveling",
     3,
     {"Smooth Height Surface", "L: Slow Smoothing", "R: Fast Smoothing"},
     toolSmooth},
    {"&Tile",
     4,
     {"Draw Single Tile", "L: Draw Tile", "R: Rotate Tile", "Shift-R: Grab Tile"},
     toolSingleTile},
    {"&MultiTile",
     4,
     {"Draw Multi Tile", "L: Draw Tiles", "R: Clear Tiles", "Shift-R: Grab Tile"},
     toolMultiTile},
    {"&Spin", 3, {"Spin Tiles", "L: Spin Tile", "R: Reset Tile"}, toolSpin},
    {"Brush: Tiles Only",
     3,
     {"Brush Tiles Only", "L: Draw Brush", "R: Grab Brush"},
     toolBrushTiles},
    {"Brush: Height Only",
     5,
     {"Brush Height Only", "L: Draw Brush Fixed Height", "CTRL-L: Use UL As", "    Base Height",
      "R: Grab Brush"},
     toolBrushHeight},
    {"Brush: Height&&Tiles",
     5,
     {"Brush Height&Tiles", "L: Draw Brush Fixed Height", "CTRL-L: Use UL As", "    Base Height",
      "R: Grab Brush"},
     toolBrushBoth},
};

const char* const kViewScaleText[kViewScaleRows] = {"None", "4",  "8",   "16",
                                                    "32",   "64", "128", "256"};
const int kViewScaleValue[kViewScaleRows] = {-1, 4, 8, 16, 32, 64, 128, 256};

const char* const kFillText[kFillRows] = {"Flood Fill  [Tile]", "Flood Fill  [Height]",
                                          "Wipe Fill  [Tile]", "Entire Map"};

const char* const kDrawStyleText[kDrawStyles] = {"Draw", "Pen", "Fill", "Brush", "Rect"};

namespace {

constexpr int kFirstBrushMode = 7;
const std::string kBrushesSuffix = " Brushes";
const std::string kCustomBrushes = "Custom Brushes";
const std::string kVersionPrefix = "Version ";

int Toggled(int flag) {
    return flag == 0 ? 1 : 0;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The version digit of a "Version v" item: its ninth character.
int VersionOf(const std::string& text) {
    const std::size_t at = kVersionPrefix.size();
    if (text.size() <= at || text[at] < '0' || text[at] >= '0' + kVersions)
        return 0;
    return text[at] - '0';
}

} // namespace

PanelState::PanelState(CMainDoc& doc, CDocObserver* sender) : m_doc(doc), m_pSender(sender) {}

bool PanelState::IsCustomBrushState() const {
    return m_doc.m_sel.m_nSelKind == selCustomBrush;
}

void PanelState::UpdateViews() {
    m_doc.UpdateAllViews(m_pSender);
}

void PanelState::FirstUpdate() {
    if (!m_bFirstUpdate)
        return;
    m_doc.m_sel.m_bMultiTileAllowed = 1;
    m_nDrawStyle = styleBrush;
    // The style is still unset, so this stores Brush in the document without a tree.
    ApplyEditMode(0);
    m_doc.m_view.m_nShadeBase = 0;
    m_doc.m_tools.m_nPenShape = 0;
    m_doc.m_tools.m_fPenWidth = 1.0f;
    m_doc.m_tools.m_fPenHeight = 1.0f;
    m_doc.m_tools.m_nPenGradient = 4;
    // Leaving Brush fills the tree with the tile groups and selects the first one.
    SetDrawStyle(styleDraw);
    m_bFirstUpdate = 0;
}

void PanelState::ApplyEditMode(int mode) {
    if (mode == m_nEditMode || mode < 0 || mode >= kEditModes)
        return;
    PanelVisibility& v = m_visible;
    if (IsCustomBrushState()) {
        if (mode < kFirstBrushMode)
            mode = kFirstBrushMode;
        for (int m = 0; m < kEditModes; ++m)
            v.modeButton[m] = m >= kFirstBrushMode;
        v.saveBrush = v.loadBrush = true;
        v.spray = false;
        v.offsetHeight = false;
        v.penList = v.fillList = false;
        m_strPenLabel.clear();
    } else {
        SetDrawStyle(m_nDrawStyle);
        if (mode >= kFirstBrushMode)
            mode = 3;
        for (int m = 0; m < kEditModes; ++m)
            v.modeButton[m] = m < kFirstBrushMode;
        v.saveBrush = v.loadBrush = false;
        v.spray = true;
        // Gradiated shapes are dragged as rectangles: the mode exists only in Rect.
        v.modeButton[1] = m_nDrawStyle == styleRect;
        if (m_nDrawStyle != styleRect && mode == 1)
            mode = 4;
        v.modeButton[5] = m_doc.m_sel.m_bMultiTileAllowed != 0;
        if (!m_doc.m_sel.m_bMultiTileAllowed && mode == 5)
            mode = 4;
    }

    m_nEditMode = mode;
    m_status.clear();

    const bool heightMode = mode == 0;
    m_strHeightScaleLabel = heightMode ? "Height Scale" : "";
    v.heightScaleList = heightMode;
    v.gradiatedDraw = heightMode;

    // The Gradient dialog belongs to the gradiated shape mode: any other mode closes it.
    v.gradientWindow = mode == 1;

    const EditModeRow& row = kEditModeTable[mode];
    m_status.assign(row.lines, row.lines + row.lineCount);
    m_doc.m_tools.m_nTool = row.tool;
    if (mode == 3)
        m_doc.m_tools.m_nHeightLevel = 0;
    v.autoRandomize = mode == 4 || mode == 5;
}

void PanelState::SetDrawStyle(int style) {
    if (style < 0 || style >= kDrawStyles)
        return;
    if (style == m_nDrawStyle && !m_bStyleUnset)
        return;
    m_bStyleUnset = 0;
    const bool rebuildTree = (m_nDrawStyle == styleBrush) != (style == styleBrush);
    m_doc.m_tools.m_nDrawStyle = style;
    m_nDrawStyle = style;
    if (rebuildTree)
        FillTileTree();
    ReapplyEditMode();

    PanelVisibility& v = m_visible;
    // The lists belong to the ordinary modes; the custom-brush state keeps them hidden.
    const bool lists = !IsCustomBrushState();
    if (style == styleDraw) {
        m_strPenLabel = "Pen";
        v.penList = lists;
        v.fillList = false;
        v.offsetHeight = false;
        OnPenRow(m_nPenIndex);
    } else if (style == styleFill) {
        m_strPenLabel = "Fill";
        v.penList = false;
        v.fillList = lists;
        OnFillRow(m_nFillIndex);
        v.offsetHeight = lists;
    } else {
        m_strPenLabel.clear();
        v.penList = v.fillList = v.offsetHeight = false;
    }
}

// Applies the current mode again in full, so that its visibility rules follow a new style or
// tree selection.
void PanelState::ReapplyEditMode() {
    const int mode = m_nEditMode;
    m_nEditMode = -1;
    ApplyEditMode(mode);
}

void PanelState::FillTileTree() {
    m_tree.Clear();
    if (m_nDrawStyle == styleBrush) {
        for (int g = 0; g <= m_doc.m_tiles.m_nLastGroup; ++g) {
            const TileGroup& group = m_doc.m_tiles.m_tileGroup[g];
            bool stamps = false;
            for (int n = 0; n < 5; ++n)
                stamps = stamps || group.multiUsed[n] != 0;
            if (stamps)
                m_tree.AddItem(group.strCode + kBrushesSuffix);
        }
        m_tree.SortTopLevel();
        // Added after sorting so that it always comes last.
        SelectTreeItem(m_tree.AddItem(kCustomBrushes));
        return;
    }

    for (int g = 0; g <= m_doc.m_tiles.m_nLastGroup; ++g) {
        const TileGroup& group = m_doc.m_tiles.m_tileGroup[g];
        const int groupItem = m_tree.AddItem(group.strCode);
        if (g == 0)
            SelectTreeItem(groupItem);
        for (int v = 0; v < kVersions; ++v) {
            if (group.versionUsed[v] < 0)
                continue;
            const int versionItem =
                m_tree.AddItem(kVersionPrefix + static_cast<char>('0' + v), groupItem);
            // lastEntry is the index of the last tile (-1: none), so a version with one
            // single tile offers it too.
            if (group.lastEntry[v][15] >= 0)
                m_tree.AddItem("Single Tiles", versionItem);
        }
    }
    m_tree.SortTopLevel();
    // Without any group nothing can be selected; custom brushes are not offered outside Brush,
    // so their state ends here rather than leaving only the brush modes with nothing to pick.
    if (m_tree.Selected() == TileTree::kNone && IsCustomBrushState())
        m_doc.m_sel.m_nSelKind = selGroupVersion;
}

void PanelState::SelectTreeItem(int id) {
    if (id < 0 || id >= m_tree.Count() || id == m_tree.Selected())
        return;
    m_tree.SetSelected(id);
    OnTreeSelectionChanged();
}

void PanelState::OnTreeSelectionChanged() {
    const int id = m_tree.Selected();
    const std::string& text = m_tree.At(id).text;
    m_doc.m_sel.m_bMultiTileAllowed = 0;

    if (m_nDrawStyle == styleBrush) {
        if (text == kCustomBrushes) {
            m_doc.m_sel.m_nSelKind = selCustomBrush;
            m_doc.m_sel.m_nSelItem = 1;
            UpdateViews();
            m_doc.m_sel.m_bStripChanged = 1;
        } else if (EndsWith(text, kBrushesSuffix)) {
            m_doc.m_sel.m_nSelKind = selGroupStamp;
            const std::string code = text.substr(0, 4);
            for (int g = 0; g <= m_doc.m_tiles.m_nLastGroup; ++g)
                if (m_doc.m_tiles.m_tileGroup[g].strCode == code)
                    m_doc.SelectTile(g, 0, selGroupStamp);
        }
    } else {
        m_doc.m_sel.m_nSelKind = selGroupVersion;
        std::string code;
        int version = 0;
        const int parent = m_tree.At(id).parent;
        switch (m_tree.Depth(id)) {
        case 0: // a group
            code = text;
            m_doc.m_sel.m_bMultiTileAllowed = 1;
            break;
        case 1: // "Version v"
            code = m_tree.At(parent).text;
            version = VersionOf(text);
            m_doc.m_sel.m_bMultiTileAllowed = 1;
            break;
        default: // "Single Tiles"
            m_doc.m_sel.m_nSelKind = selSingleTiles;
            code = m_tree.At(m_tree.At(parent).parent).text;
            version = VersionOf(m_tree.At(parent).text);
            break;
        }
        for (int g = 0; g <= m_doc.m_tiles.m_nLastGroup; ++g)
            if (m_doc.m_tiles.m_tileGroup[g].strCode == code)
                m_doc.SelectTile(g, version, m_doc.m_sel.m_nSelKind);
    }

    // The MultiTile button and the custom-brush state follow the new selection.
    if (m_nEditMode >= 0)
        ReapplyEditMode();
    UpdateViews();
}

// ---- commands ----

void PanelState::OnZoom(int k) {
    if (k < 0 || k >= kZoomButtons)
        return;
    m_nZoomIndex = k;
    ApplyZoom(m_doc, k);
    UpdateViews();
}

void PanelState::OnViewScaleRow(int row) {
    if (row < 0 || row >= kViewScaleRows)
        return;
    m_nViewScaleIndex = row;
    m_doc.m_view.m_nHeightViewScale = kViewScaleValue[row];
    m_doc.RedrawAll();
    UpdateViews();
}

void PanelState::OnShadeBase(int position) {
    m_doc.m_view.m_nShadeBase = position;
    m_doc.RedrawAll();
    UpdateViews();
}

void PanelState::OnGouraud() {
    m_doc.m_view.m_bGouraud = Toggled(m_doc.m_view.m_bGouraud);
    m_doc.RedrawAll();
    UpdateViews();
}

void PanelState::OnGrid() {
    m_doc.m_view.m_bGrid = Toggled(m_doc.m_view.m_bGrid);
    // Any dirty cell makes the view draw its frame again, lines included.
    if (m_doc.m_view.m_bGrid)
        m_doc.MarkCellDirty(1, 1);
    else
        m_doc.RedrawAll();
    UpdateViews();
}

void PanelState::OnScaleMarker() {
    m_doc.m_view.m_bScaleMarker = Toggled(m_doc.m_view.m_bScaleMarker);
    if (!m_doc.m_view.m_bScaleMarker)
        m_doc.RedrawAll();
    UpdateViews();
}

bool PanelState::OnMiniMap() {
    m_bMiniMap = Toggled(m_bMiniMap);
    return m_bMiniMap != 0;
}

bool PanelState::OnEditModeButton(int mode) {
    ApplyEditMode(mode);
    return mode == 1 && m_nEditMode == 1;
}

bool PanelState::OnStyleButton(int style) {
    SetDrawStyle(style);
    return style == stylePen;
}

void PanelState::OnHeightScaleRow(int row) {
    if (row < 0 || row >= kHeightScaleRows)
        return;
    m_nHeightScaleIndex = row;
    m_doc.m_tools.m_nHeightStep = row + 1;
}

void PanelState::OnPenRow(int row) {
    // No row (after a custom pen): the custom pen's values stay.
    if (row < 0 || row >= kPenRows) {
        m_nPenIndex = -1;
        m_doc.m_tools.m_nPen = -1;
        return;
    }
    m_nPenIndex = row;
    SelectPenRow(m_doc, row);
}

void PanelState::OnFillRow(int row) {
    if (row < 0 || row >= kFillRows)
        return;
    m_doc.m_tools.m_nPen = fillFloodTile + row;
    m_nFillIndex = row;
    m_doc.m_tools.m_fPenWidth = 1.0f;
    m_doc.m_tools.m_fPenHeight = 1.0f;
}

void PanelState::OnGradiatedDraw() {
    m_doc.m_tools.m_bGradiatedDraw = Toggled(m_doc.m_tools.m_bGradiatedDraw);
}

void PanelState::OnAutoRandomize() {
    m_doc.m_tools.m_bAutoRandomize = Toggled(m_doc.m_tools.m_bAutoRandomize);
}

void PanelState::OnSpray() {
    m_doc.m_tools.m_bSpray = Toggled(m_doc.m_tools.m_bSpray);
}

void PanelState::OnOffsetHeight() {
    m_doc.m_tools.m_bOffsetHeight = Toggled(m_doc.m_tools.m_bOffsetHeight);
}

void PanelState::OnUndo() {
    if (!m_doc.Undo())
        return;
    m_doc.RedrawAll();
    m_doc.RefitOverview(); // the step may have changed the map's size
    UpdateViews();
}

void PanelState::OnRedo() {
    if (!m_doc.Redo())
        return;
    m_doc.RedrawAll();
    m_doc.RefitOverview();
    UpdateViews();
}
