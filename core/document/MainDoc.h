#pragma once

#include "BrushRecord.h"
#include "CellPlanes.h"
#include "Limits.h"
#include "Picture.h"
#include "TileLibrary.h"
#include "UndoHistory.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class CMainDoc;

// What an update is about, for observers that care (0: anything may have changed).
enum DocHint {
    hintNone = 0,
    hintJumpToCell = 1,      // the map view shows m_ptJump at its top left
    hintOverviewResized = 2, // the overview picture was recreated at the map's size
    hintOverviewDrawn = 3,   // the map view drew into the overview picture
};

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

// How the map view shows the map.
struct ViewSettings {
    int m_nZoomStep = 1;
    int m_nCellPixels = 128;
    int m_bGrid = 0;
    int m_bScaleMarker = 0;
    int m_nShadeBase = 0;
    int m_nHeightViewScale = 8;
    int m_bGouraud = 0;
    // The cells the map view shows (partly shown ones included), kept current by its paint.
    int m_nVisibleX = 0;
    int m_nVisibleY = 0;
    int m_nVisibleCols = 0;
    int m_nVisibleRows = 0;
};

// How the mouse edits the map: tool, draw style, pen and the tools' options.
struct ToolSettings {
    int m_nTool = 1;
    int m_nDrawStyle = 0;
    int m_nPen = 0;
    int m_nHeightStep = 1;
    std::uint8_t m_nHeightLevel = 0;
    int m_bOffsetHeight = 0;
    int m_bGradiatedDraw = 0;
    int m_bAutoRandomize = 0;
    int m_bSpray = 0;
    int m_bCustomPen = 0;
    int m_nPenShape = 0;
    float m_fPenWidth = 1.0f;
    float m_fPenHeight = 1.0f;
    int m_nGradientSetting = 3; // the Gradient dialog's direction
    int m_nPenGradient = 4;
};

// What the tile tree and the brush strip have selected.
struct Selection {
    int m_nSelGroup = 0;
    int m_nSelVersion = 0;
    int m_nSelItem = 0;
    int m_nSelKind = 0;
    int m_bMultiTileAllowed = 0;
    int m_bStripChanged = 1;
};

// What the map view must draw at its next paint. Never part of the map's change tracking.
struct RedrawTracking {
    int m_bRedrawAll = 1;
    int m_nLastDirty = -1;
    CellPair m_dirtyCell[kMaxDirty] = {};
};

// Whether the map differs from its file, and which file that is.
struct ChangeTracking {
    // 1 once the planes, the size or the brushes changed since the map was created, loaded or
    // saved: closing the map then asks whether to save it.
    int m_bModified = 0;
    // The file the map was last saved to or loaded from; empty for a new map.
    std::string m_strPathName;
    int m_nSnapshots = 0; // undo steps begun: one per stroke
};

// One map: its cell planes and size, its tile library, custom brushes, the tool and view
// settings that the tool panel writes, and the bookkeeping that tells the map view what to
// redraw. The planes live on the heap; the document itself is still large (the work plane and
// the brushes): create it on the heap.
class CMainDoc {
public:
    CMainDoc();
    CMainDoc(const CMainDoc&) = delete;
    CMainDoc& operator=(const CMainDoc&) = delete;

    CellPlanes m_map; // the live map
    UndoHistory m_history;
    TileLibrary m_tiles;
    std::uint16_t m_work[kWorkStride * kWorkStride];

    std::string m_strWorkDir;
    BrushRecord m_brush[kMaxBrushes];
    int m_nLastBrush = -1;
    int m_nUniqueTiles = 0;

    ViewSettings m_view;
    ToolSettings m_tools;
    Selection m_sel;
    RedrawTracking m_redraw;
    ChangeTracking m_change;

    // The mini map's picture, one pixel per cell, kept current by the map view; null while no
    // mini map is open.
    Picture m_overview;
    // The cell a mini map click asked the map view to show at its top left.
    CellPair m_ptJump{0, 0};

    // The new-map step: reads the tiles of `workDir`/Textures, clears the planes, selects
    // group 0 and resets the settings. Returns false when the tile folder holds no .bmp file
    // or a tile file could not be opened; LastLoadReport() tells which and lists the files
    // that could not be used.
    bool OnNewDocument(const std::filesystem::path& workDir = std::filesystem::current_path());
    const TileLoadReport& LastLoadReport() const { return m_loadReport; }

    // ---- cell operations: outside the map size they do nothing ----
    bool InMap(int x, int y) const { return m_map.InMap(x, y); }
    void SetTileFlags(int x, int y, std::uint16_t tile, std::uint8_t mirror, std::uint8_t flip);
    void SetTile(int x, int y, std::uint16_t tile, std::uint16_t orientation);
    void AddHeight(int x, int y, int amount);
    void SetHeight(int x, int y, std::uint8_t value);
    int CellHasTile(int x, int y, std::uint16_t tile) const;

    // ---- redraw bookkeeping ----
    void MarkCellDirty(int x, int y);
    void RedrawAll();
    int ShadeOffset(int x, int y) const;

    // ---- change tracking ----
    void SetModifiedFlag(bool modified = true) { m_change.m_bModified = modified ? 1 : 0; }
    // After a save to or a load from `path`: the map is named after that file and unmodified.
    void AdoptFile(const std::string& path);
    // The custom brushes changed (a grab, a load, a delete or a flip). They are not in the undo
    // history, so undoing strokes no longer leads back to the saved state: the map stays
    // modified until it is saved again.
    void MarkBrushesChanged();

    // ---- undo ----
    // Begins an undo step named `label` ("Raise Land"): what changes until the next step
    // begins is undone in one go.
    void SaveUndo(std::string label = "Edit");
    // Step back or forward; the modified flag follows (clear at the saved state). False when
    // there is nothing to undo or redo. The caller redraws.
    bool Undo();
    bool Redo();
    // Ends the step begun last (a stroke at button up, a command once done), so that the Edit
    // menu can name it.
    void EndStep() { m_history.Commit({&m_map, &m_change.m_strPathName}); }

    // ---- selection ----
    void SelectTile(int group, int version, int kind);

    // ---- the mini map's overview picture ----
    bool HasOverview() const { return !m_overview.IsNull(); }
    // Creates the overview (black) at the map's size; the next full redraw fills it.
    void OpenOverview();
    void CloseOverview() { m_overview = Picture(); }
    // After a size change: recreates an open overview at the new size and tells the views.
    void RefitOverview();
    // Asks the map view to show cell (x, y) at its top left.
    void RequestJump(int x, int y, CDocObserver* sender);

    // ---- views ----
    void AddObserver(CDocObserver* observer);
    void RemoveObserver(CDocObserver* observer);
    void UpdateAllViews(CDocObserver* sender, int hint = hintNone);

private:
    void MarkHeightDirty(int x, int y);
    void ResetSettings();

    TileLoadReport m_loadReport;
    std::vector<CDocObserver*> m_observers;
};
