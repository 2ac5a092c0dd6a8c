#pragma once

#include "MainDoc.h"

#include <string>

// The map view's mouse handling: turns button presses, moves and releases at map cells into
// cell operations of the current tool, pen or fill, with one undo snapshot per stroke. The ui
// converts its events to cells and a key-state word (KeyState bits) and repaints afterwards.
class MapEditor {
public:
    explicit MapEditor(CMainDoc& doc) : m_doc(doc) {}

    CellPair m_ptAnchor{0, 0}; // where the last button went down
    CellPair m_ptLast{0, 0};   // the cell last handled
    CellPair m_ptHover{1, 1};  // the cell under the mouse
    int m_bButtonDown = 0;     // a button went down in the map and has not come up yet

    // While a Rect-style drag is in progress: its corner cells (anchor and the cell under the
    // mouse), for the map view to outline.
    bool RectDragCells(CellPair& from, CellPair& to) const;

    void OnLButtonDown(CellPair c, int keys);
    void OnRButtonDown(CellPair c, int keys);
    void OnMouseMove(CellPair c, int keys);
    void OnLButtonUp(CellPair c, int keys);
    void OnRButtonUp(CellPair c, int keys);

    // Applies a cell operation at (x, y): a brush stamp, the selected fill, or the pen footprint.
    void ApplyTool(int x, int y, int value, int op);
    // One footprint or fill cell: spray, then the selection kind decides what acts.
    void ApplyFootprintCell(int x, int y, int value, int op, int weight);
    // The cell operation itself.
    void ApplyCellOp(int x, int y, int value, int op, int weight, int mirror, int flip);

private:
    // Looks up what `button` (0 left, 1 right) does for the current tool and keys in `phase`,
    // and does it at cell c.
    void Dispatch(int button, int phase, CellPair c, int keys);
    // What the undo step of a stroke begun with `button` (0 left, 1 right) is called.
    std::string StrokeLabel(int button, int keys) const;
    void SetRectanglePen(int x0, int y0, int x1, int y1);
    void StampCustomBrush(int x, int y, int value, int op, int offset);
    void StampGroup(int x, int y, int value, int op, int weight);
    void GrabBrush(int x0, int y0, int x1, int y1);
    int HeightAt(CellPair c) const { return m_doc.m_map.m_height[CellIndex(c.x, c.y)]; }
    bool InMap(CellPair c) const { return m_doc.InMap(c.x, c.y); }

    CMainDoc& m_doc;
};
