#include "MapEditor.h"

#include "Fills.h"
#include "HeightTools.h"
#include "Pens.h"
#include "Random.h"
#include "TileTools.h"
#include "ToolCodes.h"

#include <algorithm>
#include <cstdlib>

namespace {
bool IsBrushOp(int op) {
    return op == opBrushTiles || op == opBrushHeight || op == opBrushBoth;
}
} // namespace

// ---- dispatch ----

void MapEditor::ApplyTool(int x, int y, int value, int op) {
    if (IsBrushOp(op)) {
        // The brush keeps its relief relative to the clicked cell: the offset is taken from the
        // selected brush's upper-left height (only meaningful with a custom brush selected).
        int offset = 0;
        const int k = m_doc.m_sel.m_nSelItem;
        if (m_doc.InMap(x, y) && k >= 0 && k < kMaxBrushes)
            offset = HeightAt({x, y}) - m_doc.m_brush[k].brushHeight[0][0];
        ApplyFootprintCell(x, y, value, op, offset);
        return;
    }
    if (m_doc.m_tools.m_nPen >= fillFloodTile && m_doc.m_tools.m_nPen <= fillEntireMap) {
        PerformFill(m_doc, m_doc.m_tools.m_nPen, x, y,
                    [&](int cx, int cy) { ApplyFootprintCell(cx, cy, value, op, 100); });
        return;
    }
    ForEachFootprintCell(m_doc, x, y, [&](int cx, int cy, int weight) {
        ApplyFootprintCell(cx, cy, value, op, weight);
    });
}

void MapEditor::ApplyFootprintCell(int x, int y, int value, int op, int weight) {
    if (m_doc.m_tools.m_bSpray && 2 * Random::Next() / Random::kMax > 0)
        return; // each cell is kept with probability one half
    switch (m_doc.m_sel.m_nSelKind) {
    case selGroupVersion:
    case selSingleTiles:
        ApplyCellOp(x, y, value, op, weight, 0, 0);
        break;
    case selGroupStamp:
        StampGroup(x, y, value, op, weight);
        break;
    case selCustomBrush:
        if (IsBrushOp(op))
            StampCustomBrush(x, y, value, op, weight);
        break;
    default:
        break;
    }
}

void MapEditor::ApplyCellOp(int x, int y, int value, int op, int weight, int mirror, int flip) {
    switch (op) {
    case opAddHeight: {
        int d = value * m_doc.m_tools.m_nHeightStep;
        if (m_doc.m_tools.m_bGradiatedDraw)
            d = ScaleByWeight(d, weight);
        if (m_doc.m_tools.m_bOffsetHeight && m_doc.m_tools.m_nPen >= fillFloodTile &&
            m_doc.m_tools.m_nPen <= fillWipeTile) {
            d /= 2;
            m_doc.AddHeight(x + 1, y + 1, d);
        }
        m_doc.AddHeight(x, y, d);
        break;
    }
    case opDrawTile:
        DrawSelectedTile(m_doc, x, y);
        break;
    case opRotateTile:
        RotateTile(m_doc, x, y);
        break;
    case opSetHeight:
        m_doc.SetHeight(x, y, static_cast<std::uint8_t>(value));
        break;
    case opSmooth:
        SmoothCell(m_doc, x, y, weight);
        break;
    case opSpinTile:
        SpinTile(m_doc, x, y);
        break;
    case opResetTile:
        ResetTile(m_doc, x, y);
        break;
    case opRoughen:
        RoughenCell(m_doc, x, y, weight);
        break;
    case opMultiTile:
        MultiTilePaint(m_doc, x, y, value);
        break;
    case opGradiatedHeight:
        m_doc.SetHeight(x, y,
                        static_cast<std::uint8_t>(ScaleByWeight(value, weight) +
                                                  m_doc.m_tools.m_nHeightLevel - 1));
        break;
    case opSetTileFlags:
        m_doc.SetTileFlags(x, y, static_cast<std::uint16_t>(value),
                           static_cast<std::uint8_t>(mirror), static_cast<std::uint8_t>(flip));
        break;
    default: // brush operations act only through the brush stamp
        break;
    }
}

// ---- brushes and group stamps ----

void MapEditor::StampCustomBrush(int x, int y, int value, int op, int offset) {
    const int k = m_doc.m_sel.m_nSelItem;
    if (k < 0 || k > m_doc.m_nLastBrush || k >= kMaxBrushes)
        return;
    const BrushRecord& b = m_doc.m_brush[k];
    if (b.lastCol < 0)
        return;
    // Stored sizes beyond 50 x 50 (from a damaged file) are cut to the record.
    const int lastCol = std::min<int>(b.lastCol, 49), lastRow = std::clamp<int>(b.lastRow, -1, 49);
    // Each cell takes its stored height (shifted by the offset with v = 1), then its tile.
    // The cell's values are read first, outside the blocks that write: with the reads beside the
    // writes GCC 12.2 at -O1/-O2 declares this function pure and deletes every call to it
    // (reproduced in tests/repro/Gcc12DroppedStampLoop.cpp).
    const bool heights = op == opBrushHeight || op == opBrushBoth;
    const bool tiles = op == opBrushTiles || op == opBrushBoth;
    for (int a = 0; a <= lastCol; ++a) {
        for (int r = 0; r <= lastRow; ++r) {
            const int height = b.brushHeight[a][r];
            const int tile = b.brushTile[a][r];
            const int mirror = b.brushMirror[a][r];
            const int flip = b.brushFlip[a][r];
            if (heights) {
                // Shifted heights are kept within 0..255 rather than wrapped.
                const int h = std::clamp(height + (value == 1 ? offset : 0), 0, 255);
                ApplyCellOp(x + a, y + r, h, opSetHeight, 100, 0, 0);
            }
            if (tiles)
                ApplyCellOp(x + a, y + r, tile, opSetTileFlags, 100, mirror, flip);
        }
    }
}

void MapEditor::StampGroup(int x, int y, int value, int op, int weight) {
    const int g = m_doc.m_sel.m_nSelGroup, n = m_doc.m_sel.m_nSelItem;
    if (g < 0 || g > m_doc.m_tiles.m_nLastGroup || n < 0 || n >= kMultiPictures)
        return;
    const TileGroup& group = m_doc.m_tiles.m_tileGroup[g];
    if (group.multiMaxCol[n] < 0)
        return;
    for (int a = 0; a <= std::min<int>(group.multiMaxCol[n], 9); ++a) {
        for (int r = 0; r <= std::clamp<int>(group.multiMaxRow[n], -1, 9); ++r) {
            if (op == opDrawTile)
                m_doc.SetTileFlags(x + a, y + r, group.multiTile[n][a][r], 0, 0);
            else
                ApplyCellOp(x + a, y + r, value, op, weight, 0, 0);
        }
    }
}

void MapEditor::GrabBrush(int x0, int y0, int x1, int y1) {
    if (m_doc.m_nLastBrush >= kMaxBrushes - 1)
        return;
    // Only map cells are read: the rectangle is clipped to the map.
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, m_doc.m_map.m_nSizeX - 1);
    y1 = std::min(y1, m_doc.m_map.m_nSizeY - 1);
    if (x1 < x0 || y1 < y0)
        return;
    x1 = std::min(x1, x0 + 49);
    y1 = std::min(y1, y0 + 49);
    BrushRecord& b = m_doc.m_brush[++m_doc.m_nLastBrush];
    b.lastCol = static_cast<std::int8_t>(x1 - x0);
    b.lastRow = static_cast<std::int8_t>(y1 - y0);
    for (int c = x0; c <= x1; ++c) {
        for (int r = y0; r <= y1; ++r) {
            const int i = CellIndex(c, r);
            b.brushHeight[c - x0][r - y0] = m_doc.m_map.m_height[i];
            b.brushTile[c - x0][r - y0] = m_doc.m_map.m_tile[i];
            b.brushMirror[c - x0][r - y0] = m_doc.m_map.m_mirror[i];
            b.brushFlip[c - x0][r - y0] = m_doc.m_map.m_flip[i];
        }
    }
    m_doc.MarkBrushesChanged();
    m_doc.UpdateAllViews(nullptr);
}

// ---- mouse handlers ----

namespace {

// When a row of the action table applies.
enum Phase {
    phaseDown = 1,   // button pressed (Draw, Pen, Fill and Brush styles)
    phaseMove = 2,   // mouse entered a new cell with the button held
    phaseRectUp = 4, // button released at the end of a Rect drag
    phaseAll = phaseDown | phaseMove | phaseRectUp,
};

enum Button { buttonLeft, buttonRight };

// Where an action's value comes from.
enum ValueKind {
    valueFixed,       // the row's value
    valueHeightLevel, // the height level of the Height Level tool
    valueCtrlFlag,    // 1 with Ctrl held (stamps relative to the clicked cell), else 0
};

// What a row does besides (or instead of) applying a cell operation.
enum Special {
    specialNone,
    specialGrabTile,    // Shift + right button: select the tile under the mouse
    specialPickLevel,   // right button of Height Level: take the cell's height as the level
    specialAnchorRect,  // right release of a brush Rect: the corner becomes the anchor
    specialSmoothAfter, // then smooth the footprint once when gradiated drawing is on
};

// One action of the mouse: for a tool, a button and the state of Ctrl and Shift, which value
// and cell operation act, how many times, in which phases.
struct ToolAction {
    int tool;
    Button button;
    int keyMask;  // the keys that matter for this row
    int keyValue; // their state
    int phases;
    ValueKind valueKind;
    int value;
    int op;
    int passes;
    Special special;
};

// First matching row wins.
constexpr ToolAction kToolActions[] = {
    {toolModifyHeight, buttonLeft, 0, 0, phaseAll, valueFixed, 1, opAddHeight, 1, specialNone},
    {toolSingleTile, buttonLeft, 0, 0, phaseAll, valueFixed, 0, opDrawTile, 1, specialNone},
    {toolMultiTile, buttonLeft, 0, 0, phaseAll, valueFixed, 6, opMultiTile, 1, specialNone},
    {toolHeightLevel, buttonLeft, 0, 0, phaseDown | phaseRectUp, valueHeightLevel, 0, opSetHeight,
     1, specialSmoothAfter},
    {toolHeightLevel, buttonLeft, 0, 0, phaseMove, valueHeightLevel, 0, opSetHeight, 1,
     specialNone},
    {toolSmooth, buttonLeft, keyControl, keyControl, phaseAll, valueFixed, 0, opRoughen, 1,
     specialNone},
    {toolSmooth, buttonLeft, 0, 0, phaseAll, valueFixed, 0, opSmooth, 1, specialNone},
    {toolSpin, buttonLeft, 0, 0, phaseAll, valueFixed, 0, opSpinTile, 1, specialNone},
    {toolBrushTiles, buttonLeft, 0, 0, phaseAll, valueCtrlFlag, 0, opBrushTiles, 1, specialNone},
    {toolBrushHeight, buttonLeft, 0, 0, phaseAll, valueCtrlFlag, 0, opBrushHeight, 1, specialNone},
    {toolBrushBoth, buttonLeft, 0, 0, phaseAll, valueCtrlFlag, 0, opBrushBoth, 1, specialNone},

    {toolModifyHeight, buttonRight, 0, 0, phaseAll, valueFixed, -1, opAddHeight, 1, specialNone},
    {toolSingleTile, buttonRight, keyShift, keyShift, phaseAll, valueFixed, 0, 0, 0,
     specialGrabTile},
    {toolSingleTile, buttonRight, 0, 0, phaseAll, valueFixed, 0, opRotateTile, 1, specialNone},
    {toolMultiTile, buttonRight, keyShift, keyShift, phaseAll, valueFixed, 0, 0, 0,
     specialGrabTile},
    {toolMultiTile, buttonRight, 0, 0, phaseAll, valueFixed, 1, opMultiTile, 1, specialNone},
    {toolHeightLevel, buttonRight, 0, 0, phaseDown | phaseRectUp, valueFixed, 0, 0, 0,
     specialPickLevel},
    {toolSmooth, buttonRight, 0, 0, phaseAll, valueFixed, 0, opSmooth, 3, specialNone},
    {toolSpin, buttonRight, 0, 0, phaseAll, valueFixed, 0, opResetTile, 1, specialNone},
    {toolBrushTiles, buttonRight, 0, 0, phaseRectUp, valueFixed, 0, 0, 0, specialAnchorRect},
    {toolBrushHeight, buttonRight, 0, 0, phaseRectUp, valueFixed, 0, 0, 0, specialAnchorRect},
    {toolBrushBoth, buttonRight, 0, 0, phaseRectUp, valueFixed, 0, 0, 0, specialAnchorRect},
};

const ToolAction* FindAction(int tool, Button button, int keys, Phase phase) {
    for (const ToolAction& a : kToolActions)
        if (a.tool == tool && a.button == button && (keys & a.keyMask) == a.keyValue &&
            (a.phases & phase))
            return &a;
    return nullptr;
}

// Ends the stroke's undo step when the release has done its work.
struct ReleaseStroke {
    CMainDoc& doc;
    explicit ReleaseStroke(CMainDoc& d) : doc(d) {}
    ~ReleaseStroke() { doc.EndStep(); }
    ReleaseStroke(const ReleaseStroke&) = delete;
    ReleaseStroke& operator=(const ReleaseStroke&) = delete;
};

const char* const kFillStepLabel[] = {"Flood Fill", "Flood Fill Height", "Wipe Fill",
                                      "Fill Entire Map"};

} // namespace

void MapEditor::Dispatch(int button, int phase, CellPair c, int keys) {
    const ToolAction* a = FindAction(m_doc.m_tools.m_nTool, static_cast<Button>(button), keys,
                                     static_cast<Phase>(phase));
    if (!a)
        return;
    switch (a->special) {
    case specialGrabTile:
        if (InMap(c))
            GrabTile(m_doc, m_doc.m_map.m_tile[CellIndex(c.x, c.y)]);
        return;
    case specialPickLevel:
        if (InMap(c)) // "Get Height" reads only map cells
            m_doc.m_tools.m_nHeightLevel = static_cast<std::uint8_t>(HeightAt(c));
        return;
    case specialAnchorRect:
        m_ptAnchor = c;
        return;
    default:
        break;
    }
    const int value = a->valueKind == valueHeightLevel ? m_doc.m_tools.m_nHeightLevel
                      : a->valueKind == valueCtrlFlag  ? ((keys & keyControl) ? 1 : 0)
                                                       : a->value;
    for (int pass = 0; pass < a->passes; ++pass)
        ApplyTool(c.x, c.y, value, a->op);
    if (a->special == specialSmoothAfter && m_doc.m_tools.m_bGradiatedDraw)
        ApplyTool(c.x, c.y, 0, opSmooth);
}

std::string MapEditor::StrokeLabel(int button, int keys) const {
    const int pen = m_doc.m_tools.m_nPen;
    if (pen >= fillFloodTile && pen <= fillEntireMap)
        return kFillStepLabel[pen - fillFloodTile];
    const bool left = button == buttonLeft;
    switch (m_doc.m_tools.m_nTool) {
    case toolModifyHeight:
        return left ? "Raise Land" : "Lower Land";
    case toolSingleTile:
        return left ? "Draw Tile" : (keys & keyShift) ? "Pick Tile" : "Turn Tile";
    case toolMultiTile:
        return left ? "Paint Terrain" : "Clear Terrain";
    case toolHeightLevel:
        return "Flat Land";
    case toolSmooth:
        return left && (keys & keyControl) ? "Roughen" : "Smooth";
    case toolSpin:
        return left ? "Spin Tiles" : "Reset Tiles";
    case toolBrushTiles:
    case toolBrushHeight:
    case toolBrushBoth:
        return left ? "Stamp Brush" : "Grab Brush";
    case toolGradiatedShape:
        return "Gradient";
    default:
        return "Edit";
    }
}

void MapEditor::SetRectanglePen(int x0, int y0, int x1, int y1) {
    m_doc.m_tools.m_nPenShape = 0;
    m_doc.m_tools.m_fPenWidth = static_cast<float>(x1 - x0 + 1);
    m_doc.m_tools.m_fPenHeight = static_cast<float>(y1 - y0 + 1);
}

bool MapEditor::RectDragCells(CellPair& from, CellPair& to) const {
    if (!m_bButtonDown || m_doc.m_tools.m_nDrawStyle != styleRect)
        return false;
    from = m_ptAnchor;
    to = m_ptHover;
    return true;
}

void MapEditor::OnLButtonDown(CellPair c, int keys) {
    m_bButtonDown = 1;
    m_doc.SaveUndo(StrokeLabel(buttonLeft, keys));
    m_ptAnchor = m_ptLast = m_ptHover = c;
    if (m_doc.m_tools.m_nDrawStyle != styleRect)
        Dispatch(buttonLeft, phaseDown, c, keys);
}

void MapEditor::OnRButtonDown(CellPair c, int keys) {
    m_bButtonDown = 1;
    // The right button of Height Level only picks a level: nothing to undo.
    if (m_doc.m_tools.m_nTool != toolHeightLevel)
        m_doc.SaveUndo(StrokeLabel(buttonRight, keys));
    m_ptAnchor = m_ptLast = m_ptHover = c;
    if (m_doc.m_tools.m_nDrawStyle != styleRect)
        Dispatch(buttonRight, phaseDown, c, keys);
}

void MapEditor::OnMouseMove(CellPair c, int keys) {
    m_ptHover = c;
    if (m_doc.m_tools.m_nDrawStyle == styleRect || (c.x == m_ptLast.x && c.y == m_ptLast.y))
        return;
    const bool left = keys & keyLButton;
    if (!left && !(keys & keyRButton)) {
        m_ptLast = c;
        return;
    }
    // A fast move skips cells: the tool acts on every cell of the straight line from the last
    // handled cell, in order, so a stroke does not depend on the mouse's speed.
    const int dx = std::abs(c.x - m_ptLast.x), dy = -std::abs(c.y - m_ptLast.y);
    const int sx = m_ptLast.x < c.x ? 1 : -1, sy = m_ptLast.y < c.y ? 1 : -1;
    int err = dx + dy;
    CellPair p = m_ptLast;
    while (p.x != c.x || p.y != c.y) {
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            p.x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            p.y += sy;
        }
        Dispatch(left ? buttonLeft : buttonRight, phaseMove, p, keys);
    }
    m_ptLast = c;
}

void MapEditor::OnRButtonUp(CellPair r, int keys) {
    m_bButtonDown = 0;
    ReleaseStroke release(m_doc);
    const int x0 = std::min(m_ptAnchor.x, r.x), x1 = std::max(m_ptAnchor.x, r.x);
    const int y0 = std::min(m_ptAnchor.y, r.y), y1 = std::max(m_ptAnchor.y, r.y);
    if (m_doc.m_tools.m_nDrawStyle != styleRect) {
        const int tool = m_doc.m_tools.m_nTool;
        if (tool >= toolBrushTiles && tool <= toolGradiatedShape)
            GrabBrush(x0, y0, x1, y1);
        return;
    }
    SetRectanglePen(x0, y0, x1, y1);
    Dispatch(buttonRight, phaseRectUp, CellPair{x0, y0}, keys);
}

void MapEditor::OnLButtonUp(CellPair r, int keys) {
    m_bButtonDown = 0;
    ReleaseStroke release(m_doc);
    if (m_doc.m_tools.m_nDrawStyle != styleRect)
        return;
    const int x0 = std::min(m_ptAnchor.x, r.x), x1 = std::max(m_ptAnchor.x, r.x);
    const int y0 = std::min(m_ptAnchor.y, r.y), y1 = std::max(m_ptAnchor.y, r.y);
    SetRectanglePen(x0, y0, x1, y1);
    // The ramp between the anchor's and the release cell's heights sets the pen's gradient;
    // it is read only when both cells lie in the map.
    const bool cornersInMap = InMap(m_ptAnchor) && InMap(r);
    int hA = 0, hR = 0;
    if (cornersInMap) {
        hA = HeightAt(m_ptAnchor);
        hR = HeightAt(r);
        m_doc.m_tools.m_nPenGradient = GradientDirection(
            m_doc.m_tools.m_nGradientSetting, m_ptAnchor.x, m_ptAnchor.y, r.x, r.y, hA, hR);
    }
    if (m_doc.m_tools.m_nTool == toolGradiatedShape) {
        if (!cornersInMap)
            return; // the ramp's ends must be map cells
        m_doc.m_tools.m_nHeightLevel = static_cast<std::uint8_t>(std::min(hA, hR));
        ApplyTool(x0, y0, std::abs(hA - hR) + 1, opGradiatedHeight);
        return;
    }
    Dispatch(buttonLeft, phaseRectUp, CellPair{x0, y0}, keys);
}
