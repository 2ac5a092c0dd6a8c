#pragma once

#include "TileTree.h"

#include <string>
#include <vector>

class CMainDoc;
class CDocObserver;

// ---- the panel's fixed tables ----

constexpr int kEditModes = 10;
constexpr int kMaxStatusLines = 5;

// One edit mode: its button caption (with the '&' of its mnemonic), the help lines of the
// status list and the tool code it selects.
struct EditModeRow {
    const char* button;
    int lineCount;
    const char* lines[kMaxStatusLines];
    int tool;
};
extern const EditModeRow kEditModeTable[kEditModes];

// Height View Scale list: row texts and the shading scale each row selects (-1: none).
constexpr int kViewScaleRows = 8;
extern const char* const kViewScaleText[kViewScaleRows];
extern const int kViewScaleValue[kViewScaleRows];

// Fill list: rows 0..3 select the fills 13..16.
constexpr int kFillRows = 4;
extern const char* const kFillText[kFillRows];

// Height Scale list: rows "1".."16" select height steps 1..16.
constexpr int kHeightScaleRows = 16;

constexpr int kDrawStyles = 5;
extern const char* const kDrawStyleText[kDrawStyles];

constexpr int kZoomButtons = 6;

// Which of the panel's hideable controls are shown. The other controls are always visible.
struct PanelVisibility {
    bool modeButton[kEditModes] = {true, true, true, true, true, true, true, true, true, true};
    bool saveBrush = true;
    bool loadBrush = true;
    bool spray = true;
    bool gradiatedDraw = true;
    bool autoRandomize = true;
    bool heightScaleList = true;
    bool penList = true;
    bool fillList = true;
    bool offsetHeight = true;
    bool gradientWindow = true; // false: an open Gradient dialog is closed
};

// The tool panel's state and rules, free of any toolkit: the edit mode, draw style, list rows,
// labels, status lines, control visibility and the tile tree. Every operation writes the
// document's tool and view fields and notifies the document's other views with `sender` (the
// panel) as the origin. The widget shows these fields after each operation and carries out
// the few things that need windows (opening dialogs) when an operation asks for them.
class PanelState {
public:
    PanelState(CMainDoc& doc, CDocObserver* sender);

    // ---- fields shown by the controls ----
    int m_nEditMode = -1;        // 0..9, -1 before the first update
    int m_nViewScaleIndex = 2;   // Height View Scale row ("8")
    int m_nPenIndex = 0;         // Pen list row, -1 after a custom pen: no row
    int m_nHeightScaleIndex = 0; // Height Scale row
    std::string m_strHeightScaleLabel;
    std::string m_strPenLabel;
    int m_nZoomIndex = 0; // checked zoom button
    int m_nFillIndex = 0; // Fill list row
    int m_nDrawStyle = 0; // 0..4: Draw, Pen, Fill, Brush, Rect
    int m_bMiniMap = 0;
    int m_bFirstUpdate = 1;
    int m_bStyleUnset = 1;

    std::vector<std::string> m_status; // the status list's help lines
    PanelVisibility m_visible;
    TileTree m_tree;

    // The one-time setup, due when the panel first shows or another view first updates the
    // document. Does nothing once it has run.
    void FirstUpdate();

    // Custom brushes are chosen in the tree: only the brush modes are offered.
    bool IsCustomBrushState() const;

    void ApplyEditMode(int mode);
    void SetDrawStyle(int style);
    void FillTileTree();
    // Makes `id` the tree's selected item and applies the selection rules when it changed.
    void SelectTreeItem(int id);

    // ---- commands ----
    void OnZoom(int k);
    void OnViewScaleRow(int row);
    void OnShadeBase(int position);
    void OnGouraud();
    void OnGrid();
    void OnScaleMarker();
    // Flips the Mini Map toggle and returns its new state, for the widget to open or close
    // the window.
    bool OnMiniMap();
    // The user closed the mini map window itself.
    void OnMiniMapClosed() { m_bMiniMap = 0; }
    // Returns true when the Gradient dialog is to be opened or brought to the front.
    bool OnEditModeButton(int mode);
    // Returns true when the Create Custom Pen dialog is to be shown ("Pen", every click).
    bool OnStyleButton(int style);
    // The custom pen was confirmed: the dialog has stored it; the Pen list shows no row.
    void OnCustomPenOk() { m_nPenIndex = -1; }
    void OnHeightScaleRow(int row);
    void OnPenRow(int row);
    void OnFillRow(int row);
    void OnGradiatedDraw();
    void OnAutoRandomize();
    void OnSpray();
    void OnOffsetHeight();
    void OnUndo();
    void OnRedo();

private:
    void ReapplyEditMode();
    void OnTreeSelectionChanged();
    void UpdateViews();

    CMainDoc& m_doc;
    CDocObserver* m_pSender;
};
