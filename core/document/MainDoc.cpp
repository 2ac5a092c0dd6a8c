#include "MainDoc.h"

#include <algorithm>
#include <cstring>

CMainDoc::CMainDoc() {
    std::memset(m_height, 0, sizeof m_height);
    std::memset(m_tile, 0, sizeof m_tile);
    std::memset(m_mirror, 0, sizeof m_mirror);
    std::memset(m_flip, 0, sizeof m_flip);
    std::memset(m_undoHeight, 0, sizeof m_undoHeight);
    std::memset(m_undoTile, 0, sizeof m_undoTile);
    std::memset(m_undoMirror, 0, sizeof m_undoMirror);
    std::memset(m_undoFlip, 0, sizeof m_undoFlip);
    std::memset(m_work, 0, sizeof m_work);
    std::memset(m_brush, 0, sizeof m_brush);
    std::memset(m_dirtyCell, 0, sizeof m_dirtyCell);
}

CMainDoc::~CMainDoc() {
    CloseMiniMap();
    CloseGradient();
}

bool CMainDoc::OnNewDocument(const std::filesystem::path& workDir) {
    m_strWorkDir = workDir.string();
    m_loadReport = LoadTileLibrary(workDir);
    if (m_loadReport.status != TileLoadReport::Status::Ok)
        return false;

    std::memset(m_height, 0, sizeof m_height);
    std::memset(m_tile, 0, sizeof m_tile);
    std::memset(m_mirror, 0, sizeof m_mirror);
    std::memset(m_flip, 0, sizeof m_flip);
    SelectTile(0, 0, 0);
    ResetSettings();
    std::memset(m_brush, 0, sizeof m_brush);
    m_nLastBrush = -1;
    RedrawAll();
    m_bModified = 0;
    return true;
}

void CMainDoc::ResetSettings() {
    m_nSelItem = 0;
    m_nZoomStep = 1;
    m_nCellPixels = 128;
    m_nHeightStep = 1;
    m_nPen = 0;
    m_bOffsetHeight = 0;
    m_bGradiatedDraw = 0;
    m_bAutoRandomize = 0;
    m_bSpray = 0;
    m_bGrid = 0;
    m_bScaleMarker = 0;
    m_bCustomPen = 0;
    m_nGradientSetting = 3;
    m_nPenGradient = 4;
    m_nTool = 1;
    m_nHeightViewScale = 8;
    m_bGouraud = 0;
}

void CMainDoc::SelectTile(int group, int version, int kind) {
    m_nSelGroup = group;
    m_nSelVersion = version;
    m_nSelKind = kind;
    m_bStripChanged = 1;
}

// ---- cell operations ----

void CMainDoc::SetTileFlags(int x, int y, std::uint16_t tile, std::uint8_t mirror,
                            std::uint8_t flip) {
    if (!InMap(x, y))
        return;
    const int i = CellIndex(x, y);
    m_tile[i] = tile;
    m_mirror[i] = mirror;
    m_flip[i] = flip;
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
    const long long h = static_cast<long long>(m_height[i]) + amount;
    m_height[i] = static_cast<std::uint8_t>(std::clamp<long long>(h, 0, 255));
    MarkHeightDirty(x, y);
}

void CMainDoc::SetHeight(int x, int y, std::uint8_t value) {
    if (!InMap(x, y))
        return;
    m_height[CellIndex(x, y)] = value;
    MarkHeightDirty(x, y);
}

int CMainDoc::CellHasTile(int x, int y, std::uint16_t tile) const {
    return m_tile[CellIndex(x, y)] == tile ? 1 : 0;
}

void CMainDoc::MarkHeightDirty(int x, int y) {
    MarkCellDirty(x, y);
    // Gouraud shading blends each cell with its lower-right neighbours, so the cells above and
    // to the left of a changed height change too.
    if (m_bGouraud) {
        MarkCellDirty(x - 1, y);
        MarkCellDirty(x, y - 1);
        MarkCellDirty(x - 1, y - 1);
    }
}

// ---- redraw bookkeeping ----

void CMainDoc::MarkCellDirty(int x, int y) {
    // Every cell operation marks its cell: that is where an edit makes the map modified.
    m_bModified = 1;
    if (m_bRedrawAll)
        return;
    for (int i = 0; i <= m_nLastDirty; ++i)
        if (m_dirtyCell[i].x == x && m_dirtyCell[i].y == y)
            return;
    if (m_nLastDirty >= kMaxDirty - 1) {
        RedrawAll();
        return;
    }
    m_dirtyCell[++m_nLastDirty] = CellPair{x, y};
}

void CMainDoc::RedrawAll() {
    m_bRedrawAll = 1;
    m_nLastDirty = -1;
}

int CMainDoc::ShadeOffset(int x, int y) const {
    if (!InMap(x, y) || m_nHeightViewScale == -1)
        return 0;
    return m_height[CellIndex(x, y)] - m_nShadeBase;
}

// ---- undo ----

void CMainDoc::SaveUndo() {
    std::memcpy(m_undoHeight, m_height, sizeof m_height);
    std::memcpy(m_undoTile, m_tile, sizeof m_tile);
    std::memcpy(m_undoMirror, m_mirror, sizeof m_mirror);
    std::memcpy(m_undoFlip, m_flip, sizeof m_flip);
    m_bUndoSaved = 1;
}

void CMainDoc::SwapUndo() {
    // The first bytes of the work plane serve as the exchange buffer.
    static_assert(sizeof(m_work) >= sizeof(m_tile));
    auto swapPlane = [this](void* live, void* undo, std::size_t bytes) {
        std::memcpy(m_work, live, bytes);
        std::memcpy(live, undo, bytes);
        std::memcpy(undo, m_work, bytes);
    };
    swapPlane(m_height, m_undoHeight, sizeof m_height);
    swapPlane(m_tile, m_undoTile, sizeof m_tile);
    swapPlane(m_mirror, m_undoMirror, sizeof m_mirror);
    swapPlane(m_flip, m_undoFlip, sizeof m_flip);
    m_bModified = 1;
}

// ---- companion windows ----

bool CMainDoc::IsMiniMapOpen() {
    if (!m_pMiniMap)
        return false;
    if (m_pMiniMap->IsAlive())
        return true;
    CloseMiniMap();
    return false;
}

bool CMainDoc::IsGradientOpen() {
    if (!m_pGradientDlg)
        return false;
    if (m_pGradientDlg->IsOpen())
        return true;
    CloseGradient();
    return false;
}

int CMainDoc::GradientSetting() {
    // A closed but not yet destroyed dialog still holds the user's last choice.
    if (m_pGradientDlg)
        m_nGradientSetting = m_pGradientDlg->Direction();
    return m_nGradientSetting;
}

void CMainDoc::CloseMiniMap() {
    if (!m_pMiniMap)
        return;
    CMiniMapLink* p = m_pMiniMap;
    m_pMiniMap = nullptr;
    p->DestroyWindow();
}

void CMainDoc::CloseGradient() {
    if (!m_pGradientDlg)
        return;
    CGradientLink* p = m_pGradientDlg;
    m_pGradientDlg = nullptr;
    p->DestroyWindow();
}

void CMainDoc::RefreshMiniMap() {
    if (!IsMiniMapOpen())
        return;
    m_pMiniMap->SetPictureSize(m_nSizeX, m_nSizeY);
    m_pMiniMap->BuildPicture();
    RedrawAll();
    UpdateAllViews(nullptr);
    m_pMiniMap->Repaint();
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
