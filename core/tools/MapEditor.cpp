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
int BrushOpOf(int tool) {
    return tool == toolBrushTiles    ? opBrushTiles
           : tool == toolBrushHeight ? opBrushHeight
                                     : opBrushBoth;
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
    m_doc.SetModifiedFlag();
    m_doc.UpdateAllViews(nullptr);
}

// ---- mouse handlers ----

void MapEditor::SetRectanglePen(int x0, int y0, int x1, int y1) {
    m_doc.m_tools.m_nPenShape = 0;
    m_doc.m_tools.m_fPenWidth = static_cast<float>(x1 - x0 + 1);
    m_doc.m_tools.m_fPenHeight = static_cast<float>(y1 - y0 + 1);
}

void MapEditor::OnLButtonDown(CellPair c, int keys) {
    m_doc.SaveUndo();
    m_ptAnchor = m_ptLast = c;
    if (m_doc.m_tools.m_nDrawStyle == styleRect)
        return;
    const bool ctrl = keys & keyControl;
    switch (m_doc.m_tools.m_nTool) {
    case toolModifyHeight:
        ApplyTool(c.x, c.y, 1, opAddHeight);
        break;
    case toolSingleTile:
        ApplyTool(c.x, c.y, 0, opDrawTile);
        break;
    case toolMultiTile:
        ApplyTool(c.x, c.y, 6, opMultiTile);
        break;
    case toolHeightLevel:
        ApplyTool(c.x, c.y, m_doc.m_tools.m_nHeightLevel, opSetHeight);
        if (m_doc.m_tools.m_bGradiatedDraw)
            ApplyTool(c.x, c.y, 0, opSmooth);
        break;
    case toolSmooth:
        ApplyTool(c.x, c.y, 0, ctrl ? opRoughen : opSmooth);
        break;
    case toolSpin:
        ApplyTool(c.x, c.y, 0, opSpinTile);
        break;
    case toolBrushTiles:
    case toolBrushHeight:
    case toolBrushBoth:
        ApplyTool(c.x, c.y, ctrl ? 1 : 0, BrushOpOf(m_doc.m_tools.m_nTool));
        break;
    default:
        break;
    }
}

void MapEditor::OnRButtonDown(CellPair c, int keys) {
    if (m_doc.m_tools.m_nTool != toolHeightLevel)
        m_doc.SaveUndo();
    m_ptAnchor = m_ptLast = c;
    if (m_doc.m_tools.m_nDrawStyle == styleRect)
        return;
    const bool shift = keys & keyShift;
    switch (m_doc.m_tools.m_nTool) {
    case toolModifyHeight:
        ApplyTool(c.x, c.y, -1, opAddHeight);
        break;
    case toolSingleTile:
    case toolMultiTile:
        if (shift) {
            if (InMap(c))
                GrabTile(m_doc, m_doc.m_map.m_tile[CellIndex(c.x, c.y)]);
        } else {
            ApplyTool(c.x, c.y, m_doc.m_tools.m_nTool == toolSingleTile ? 0 : 1,
                      m_doc.m_tools.m_nTool == toolSingleTile ? opRotateTile : opMultiTile);
        }
        break;
    case toolHeightLevel:
        if (InMap(c)) // "Get Height" reads only map cells
            m_doc.m_tools.m_nHeightLevel = static_cast<std::uint8_t>(HeightAt(c));
        break;
    case toolSmooth:
        for (int pass = 0; pass < 3; ++pass)
            ApplyTool(c.x, c.y, 0, opSmooth);
        break;
    case toolSpin:
        ApplyTool(c.x, c.y, 0, opResetTile);
        break;
    default: // brush tools and the gradiated shape grab at release
        break;
    }
}

void MapEditor::OnMouseMove(CellPair c, int keys) {
    m_ptHover = c;
    if (m_doc.m_tools.m_nDrawStyle == styleRect || (c.x == m_ptLast.x && c.y == m_ptLast.y))
        return;
    const bool left = keys & keyLButton, right = keys & keyRButton;
    const bool shift = keys & keyShift, ctrl = keys & keyControl;
    switch (m_doc.m_tools.m_nTool) {
    case toolModifyHeight:
        if (left)
            ApplyTool(c.x, c.y, 1, opAddHeight);
        else if (right)
            ApplyTool(c.x, c.y, -1, opAddHeight);
        break;
    case toolSingleTile:
    case toolMultiTile: {
        const bool single = m_doc.m_tools.m_nTool == toolSingleTile;
        if (left) {
            ApplyTool(c.x, c.y, single ? 0 : 6, single ? opDrawTile : opMultiTile);
        } else if (right) {
            if (shift) {
                if (InMap(c))
                    GrabTile(m_doc, m_doc.m_map.m_tile[CellIndex(c.x, c.y)]);
            } else {
                ApplyTool(c.x, c.y, single ? 0 : 1, single ? opRotateTile : opMultiTile);
            }
        }
        break;
    }
    case toolHeightLevel:
        if (left)
            ApplyTool(c.x, c.y, m_doc.m_tools.m_nHeightLevel, opSetHeight);
        break;
    case toolSmooth:
        if (left) {
            ApplyTool(c.x, c.y, 0, ctrl ? opRoughen : opSmooth);
        } else if (right) {
            for (int pass = 0; pass < 3; ++pass)
                ApplyTool(c.x, c.y, 0, opSmooth);
        }
        break;
    case toolSpin:
        if (left)
            ApplyTool(c.x, c.y, 0, opSpinTile);
        else if (right)
            ApplyTool(c.x, c.y, 0, opResetTile);
        break;
    case toolBrushTiles:
    case toolBrushHeight:
    case toolBrushBoth:
        if (left)
            ApplyTool(c.x, c.y, ctrl ? 1 : 0, BrushOpOf(m_doc.m_tools.m_nTool));
        break;
    default:
        break;
    }
    m_ptLast = c;
}

void MapEditor::OnRButtonUp(CellPair r, int keys) {
    const int x0 = std::min(m_ptAnchor.x, r.x), x1 = std::max(m_ptAnchor.x, r.x);
    const int y0 = std::min(m_ptAnchor.y, r.y), y1 = std::max(m_ptAnchor.y, r.y);
    const int tool = m_doc.m_tools.m_nTool;
    if (m_doc.m_tools.m_nDrawStyle != styleRect) {
        if (tool >= toolBrushTiles && tool <= toolGradiatedShape)
            GrabBrush(x0, y0, x1, y1);
        return;
    }
    SetRectanglePen(x0, y0, x1, y1);
    const CellPair corner{x0, y0};
    const bool shift = keys & keyShift;
    switch (tool) {
    case toolModifyHeight:
        ApplyTool(x0, y0, -1, opAddHeight);
        break;
    case toolSingleTile:
    case toolMultiTile:
        if (shift) {
            if (InMap(corner))
                GrabTile(m_doc, m_doc.m_map.m_tile[CellIndex(x0, y0)]);
        } else {
            ApplyTool(x0, y0, tool == toolSingleTile ? 0 : 1,
                      tool == toolSingleTile ? opRotateTile : opMultiTile);
        }
        break;
    case toolHeightLevel:
        if (InMap(corner))
            m_doc.m_tools.m_nHeightLevel = static_cast<std::uint8_t>(HeightAt(corner));
        break;
    case toolSmooth:
        for (int pass = 0; pass < 3; ++pass)
            ApplyTool(x0, y0, 0, opSmooth);
        break;
    case toolSpin:
        ApplyTool(x0, y0, 0, opResetTile);
        break;
    case toolBrushTiles:
    case toolBrushHeight:
    case toolBrushBoth:
        m_ptAnchor = corner;
        break;
    default:
        break;
    }
}

void MapEditor::OnLButtonUp(CellPair r, int keys) {
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
    const bool ctrl = keys & keyControl;
    switch (m_doc.m_tools.m_nTool) {
    case toolModifyHeight:
        ApplyTool(x0, y0, 1, opAddHeight);
        break;
    case toolSingleTile:
        ApplyTool(x0, y0, 0, opDrawTile);
        break;
    case toolMultiTile:
        ApplyTool(x0, y0, 6, opMultiTile);
        break;
    case toolHeightLevel:
        ApplyTool(x0, y0, m_doc.m_tools.m_nHeightLevel, opSetHeight);
        if (m_doc.m_tools.m_bGradiatedDraw)
            ApplyTool(x0, y0, 0, opSmooth);
        break;
    case toolSmooth:
        ApplyTool(x0, y0, 0, ctrl ? opRoughen : opSmooth);
        break;
    case toolSpin:
        ApplyTool(x0, y0, 0, opSpinTile);
        break;
    case toolBrushTiles:
    case toolBrushHeight:
    case toolBrushBoth:
        ApplyTool(x0, y0, ctrl ? 1 : 0, BrushOpOf(m_doc.m_tools.m_nTool));
        break;
    case toolGradiatedShape:
        if (!cornersInMap)
            break; // the ramp's ends must be map cells
        m_doc.m_tools.m_nHeightLevel = static_cast<std::uint8_t>(std::min(hA, hR));
        ApplyTool(x0, y0, std::abs(hA - hR) + 1, opGradiatedHeight);
        break;
    default:
        break;
    }
}
