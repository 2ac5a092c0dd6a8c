#pragma once

#include "BrushRecord.h"
#include "Companions.h"
#include "Limits.h"
#include "TileLibrary.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CMainDoc;

// A view of a document. UpdateAllViews(sender) calls every observer but the sender.
class CDocObserver {
public:
    virtual ~CDocObserver() = default;
    virtual void OnDocUpdate(CDocObserver* sender, int hint) = 0;
};

struct CellPair {
    int x;
    int y;
};

// One map: its cell planes, size, tile library, custom brushes, the tool and view settings
// that the tool panel writes, and the bookkeeping that tells the map view what to redraw.
// The document is large (about 4 MB of planes): create it on the heap.
class CMainDoc : public TileLibrary {
public:
    CMainDoc();
    ~CMainDoc();
    CMainDoc(const CMainDoc&) = delete;
    CMainDoc& operator=(const CMainDoc&) = delete;

    // ---- cell planes: cell (x, y) at CellIndex(x, y) ----
    std::uint8_t m_height[kPlaneCells];
    std::uint16_t m_tile[kPlaneCells];
    std::uint8_t m_mirror[kPlaneCells];
    std::uint8_t m_flip[kPlaneCells];
    std::uint8_t m_undoHeight[kPlaneCells];
    std::uint16_t m_undoTile[kPlaneCells];
    std::uint8_t m_undoMirror[kPlaneCells];
    std::uint8_t m_undoFlip[kPlaneCells];
    int m_bUndoSaved = 0;
    std::uint16_t m_work[kWorkStride * kWorkStride];

    int m_nSizeX = 256;
    int m_nSizeY = 256;
    std::string m_strWorkDir;
    int m_bStripChanged = 1;

    BrushRecord m_brush[kMaxBrushes];
    int m_nLastBrush = -1;

    // ---- editing and view settings ----
    int m_bMultiTileAllowed = 0;
    int m_nSelGroup = 0;
    int m_nSelVersion = 0;
    int m_nSelItem = 0;
    int m_nSelKind = 0;
    int m_nZoomStep = 1;
    int m_nCellPixels = 128;
    int m_nHeightStep = 1;
    int m_nPen = 0;
    int m_bOffsetHeight = 0;
    int m_bGradiatedDraw = 0;
    int m_bAutoRandomize = 0;
    int m_bSpray = 0;
    int m_bGrid = 0;
    int m_bScaleMarker = 0;
    int m_nDrawStyle = 0;
    int m_bCustomPen = 0;
    int m_nPenShape = 0;
    float m_fPenWidth = 1.0f;
    float m_fPenHeight = 1.0f;
    int m_nGradientSetting = 3;
    int m_nPenGradient = 4;
    std::uint8_t m_nHeightLevel = 0;
    int m_nTool = 1;
    int m_nShadeBase = 0;
    int m_nHeightViewScale = 8;
    int m_bGouraud = 0;
    int m_nUniqueTiles = 0;

    // 1 once the planes, the size or the brushes changed since the map was created, loaded or
    // saved: closing the map then asks whether to save it.
    int m_bModified = 0;
    // The file the map was last saved to or loaded from; empty for a new map.
    std::string m_strPathName;
    void SetModifiedFlag(bool modified = true) { m_bModified = modified ? 1 : 0; }

    // ---- redraw bookkeeping ----
    int m_bRedrawAll = 1;
    int m_nLastDirty = -1;
    CellPair m_dirtyCell[kMaxDirty];

    // ---- companion windows (owned by the ui; the document keeps their addresses) ----
    CGradientLink* m_pGradientDlg = nullptr;
    CMiniMapLink* m_pMiniMap = nullptr;

    // The new-map step: reads the tiles of `workDir`/Textures, clears the planes, selects
    // group 0 and resets the settings. Returns false when the tile folder holds no .bmp file
    // or a tile file could not be opened; LastLoadReport() tells which and lists the files
    // that could not be used.
    bool OnNewDocument(const std::filesystem::path& workDir = std::filesystem::current_path());
    const TileLoadReport& LastLoadReport() const { return m_loadReport; }

    // ---- cell operations: outside the map size they do nothing ----
    bool InMap(int x, int y) const { return x >= 0 && y >= 0 && x < m_nSizeX && y < m_nSizeY; }
    void SetTileFlags(int x, int y, std::uint16_t tile, std::uint8_t mirror, std::uint8_t flip);
    void SetTile(int x, int y, std::uint16_t tile, std::uint16_t orientation);
    void AddHeight(int x, int y, int amount);
    void SetHeight(int x, int y, std::uint8_t value);
    int CellHasTile(int x, int y, std::uint16_t tile) const;

    void MarkCellDirty(int x, int y);
    void RedrawAll();
    int ShadeOffset(int x, int y) const;

    // ---- undo ----
    void SaveUndo();
    void SwapUndo();

    // ---- selection ----
    void SelectTile(int group, int version, int kind);

    // ---- companion windows ----
    bool IsMiniMapOpen();
    bool IsGradientOpen();
    int GradientSetting();
    void CloseMiniMap();
    void CloseGradient();
    void RefreshMiniMap();

    // ---- views ----
    void AddObserver(CDocObserver* observer);
    void RemoveObserver(CDocObserver* observer);
    void UpdateAllViews(CDocObserver* sender, int hint = 0);

private:
    void MarkHeightDirty(int x, int y);
    void ResetSettings();

    TileLoadReport m_loadReport;
    std::vector<CDocObserver*> m_observers;
};
