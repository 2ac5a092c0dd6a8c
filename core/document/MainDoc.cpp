#include "MainDoc.h"

#include <algorithm>
#include <cstring>

CMainDoc::CMainDoc() {
    std::memset(m_work, 0, sizeof m_work);
    std::memset(m_brush, 0, sizeof m_brush);
}

bool CMainDoc::OnNewDocument(const std::filesystem::path& workDir) {
    m_strWorkDir = workDir.string();
    m_loadReport = m_tiles.LoadTileLibrary(workDir);
    if (m_loadReport.status != TileLoadReport::Status::Ok)
        return false;

    m_map.ClearPlanes();
    m_history = UndoHistory();
    SelectTile(0, 0, 0);
    ResetSettings();
    std::memset(m_brush, 0, sizeof m_brush);
    m_nLastBrush = -1;
    RedrawAll();
    m_change.m_bModified = 0;
    return true;
}

void CMainDoc::ResetSettings() {
    m_sel.m_nSelItem = 0;
    const ToolSettings defaults;
    // The draw style, the pen's shape and the height level outlive a new map.
    m_tools.m_nHeightStep = defaults.m_nHeightStep;
    m_tools.m_nPen = defaults.m_nPen;
    m_tools.m_bOffsetHeight = defaults.m_bOffsetHeight;
    m_tools.m_bGradiatedDraw = defaults.m_bGradiatedDraw;
    m_tools.m_bAutoRandomize = defaults.m_bAutoRandomize;
    m_tools.m_bSpray = defaults.m_bSpray;
    m_tools.m_bCustomPen = defaults.m_bCustomPen;
    m_tools.m_nGradientSetting = defaults.m_nGradientSetting;
    m_tools.m_nPenGradient = defaults.m_nPenGradient;
    m_tools.m_nTool = defaults.m_nTool;
    // The shading base stays where the slider is.
    const int shadeBase = m_view.m_nShadeBase;
    m_view = ViewSettings{};
    m_view.m_nShadeBase = shadeBase;
}

void CMainDoc::SelectTile(int group, int version, int kind) {
    m_sel.m_nSelGroup = group;
    m_sel.m_nSelVersion = version;
    m_sel.m_nSelKind = kind;
    m_sel.m_bStripChanged = 1;
}

// ---- cell operations: each change of a plane marks the map modified ----

void CMainDoc::SetTileFlags(int x, int y, std::uint16_t tile, std::uint8_t mirror,
                            std::uint8_t flip) {
    if (!InMap(x, y))
        return;
    const int i = CellIndex(x, y);
    m_map.m_tile[i] = tile;
    m_map.m_mirror[i] = mirror;
    m_map.m_flip[i] = flip;
    m_change.m_bModified = 1;
    MarkCellDirty(x, y);
}

void CMainDoc::SetTile(int x, int y, std::uint16_t tile, std::uint16_t orientation) {
    SetTileFlags(x, y, tile, static_cast<std::uint8_t>(orientation & 0xFF),
                 static_cast<std::uint8_t>(orientation >> 8));
}

void CMainDoc::AddHeight(int x, int y, int amount) {
    if (!InMap(x, y))
        return;
    const int i = CellIndex(x, y);
    // Widen before adding so that extreme amounts cannot overflow.
    const long long h = static_cast<long long>(m_map.m_height[i]) + amount;
    m_map.m_height[i] = static_cast<std::uint8_t>(std::clamp<long long>(h, 0, 255));
    m_change.m_bModified = 1;
    MarkHeightDirty(x, y);
}

void CMainDoc::SetHeight(int x, int y, std::uint8_t value) {
    if (!InMap(x, y))
        return;
    m_map.m_height[CellIndex(x, y)] = value;
    m_change.m_bModified = 1;
    MarkHeightDirty(x, y);
}

int CMainDoc::CellHasTile(int x, int y, std::uint16_t tile) const {
    return m_map.m_tile[CellIndex(x, y)] == tile ? 1 : 0;
}

void CMainDoc::MarkHeightDirty(int x, int y) {
    MarkCellDirty(x, y);
    // Gouraud shading blends each cell with its lower-right neighbours, so the cells above and
    // to the left of a changed height change too.
    if (m_view.m_bGouraud) {
        MarkCellDirty(x - 1, y);
        MarkCellDirty(x, y - 1);
        MarkCellDirty(x - 1, y - 1);
    }
}

// ---- redraw bookkeeping ----

void CMainDoc::MarkCellDirty(int x, int y) {
    // Redraw bookkeeping only: view options mark cells too, so this never sets m_bModified.
    RedrawTracking& r = m_redraw;
    if (r.m_bRedrawAll)
        return;
    for (int i = 0; i <= r.m_nLastDirty; ++i)
        if (r.m_dirtyCell[i].x == x && r.m_dirtyCell[i].y == y)
            return;
    if (r.m_nLastDirty >= kMaxDirty - 1) {
        RedrawAll();
        return;
    }
    r.m_dirtyCell[++r.m_nLastDirty] = CellPair{x, y};
}

void CMainDoc::RedrawAll() {
    m_redraw.m_bRedrawAll = 1;
    m_redraw.m_nLastDirty = -1;
}

int CMainDoc::ShadeOffset(int x, int y) const {
    if (!InMap(x, y) || m_view.m_nHeightViewScale == -1)
        return 0;
    return m_map.m_height[CellIndex(x, y)] - m_view.m_nShadeBase;
}

// ---- change tracking ----

void CMainDoc::AdoptFile(const std::string& path) {
    m_change.m_strPathName = path;
    m_history.MarkSaved({&m_map, &m_change.m_strPathName});
    m_change.m_bModified = 0;
}

void CMainDoc::MarkBrushesChanged() {
    m_change.m_bModified = 1;
    m_history.ForgetSaved();
}

// ---- undo ----

void CMainDoc::SaveUndo(std::string label) {
    m_history.Begin({&m_map, &m_change.m_strPathName}, std::move(label));
    ++m_change.m_nSnapshots;
}

bool CMainDoc::Undo() {
    if (!m_history.Undo({&m_map, &m_change.m_strPathName}))
        return false;
    m_change.m_bModified = m_history.AtSaved() ? 0 : 1;
    return true;
}

bool CMainDoc::Redo() {
    if (!m_history.Redo({&m_map, &m_change.m_strPathName}))
        return false;
    m_change.m_bModified = m_history.AtSaved() ? 0 : 1;
    return true;
}

// ---- the mini map's overview picture ----

void CMainDoc::OpenOverview() {
    m_overview = Picture(std::max(1, m_map.m_nSizeX), std::max(1, m_map.m_nSizeY));
    RedrawAll();
}

void CMainDoc::RefitOverview() {
    if (!HasOverview())
        return;
    OpenOverview();
    UpdateAllViews(nullptr, hintOverviewResized);
}

void CMainDoc::RequestJump(int x, int y, CDocObserver* sender) {
    m_ptJump = CellPair{x, y};
    UpdateAllViews(sender, hintJumpToCell);
}

// ---- views ----

void CMainDoc::AddObserver(CDocObserver* observer) {
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end())
        m_observers.push_back(observer);
}

void CMainDoc::RemoveObserver(CDocObserver* observer) {
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer),
                      m_observers.end());
}

void CMainDoc::UpdateAllViews(CDocObserver* sender, int hint) {
    // Copy: an observer may unregister itself while being notified.
    const std::vector<CDocObserver*> observers = m_observers;
    for (CDocObserver* o : observers)
        if (o != sender)
            o->OnDocUpdate(sender, hint);
}
