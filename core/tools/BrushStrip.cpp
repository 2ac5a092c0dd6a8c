#include "BrushStrip.h"

#include "FrameOps.h"
#include "MainDoc.h"
#include "TileTools.h"
#include "ToolCodes.h"

#include <algorithm>

namespace {

constexpr int kTilePixels = 128;
constexpr int kSingleKindSlot = 15; // the single-tile list

// The selected group, or null when the selection names no group or version of the library.
const TileGroup* SelectedGroup(const CMainDoc& doc) {
    const int g = doc.m_sel.m_nSelGroup;
    if (g < 0 || g > doc.m_tiles.m_nLastGroup || g >= kMaxGroups || doc.m_sel.m_nSelVersion < 0 ||
        doc.m_sel.m_nSelVersion >= kVersions)
        return nullptr;
    return &doc.m_tiles.m_tileGroup[g];
}

// The picture of tile `t`, or null when the library has no picture for it.
const Picture* TilePicture(const CMainDoc& doc, int t) {
    if (t < 0 || t > doc.m_tiles.m_nLastTile || t >= kMaxTiles)
        return nullptr;
    const Picture& p = doc.m_tiles.m_hTileDib[static_cast<std::size_t>(t)];
    return p.width >= kTilePixels && p.height >= kTilePixels ? &p : nullptr;
}

// Draws a stamp of (lastCol + 1) x (lastRow + 1) pieces into item box `i`. `piece(a, b, tile,
// mirror, flip)` fills in a piece's tile and orientation.
template <class Piece>
void DrawPieces(Picture& back, const CMainDoc& doc, int i, int lastCol, int lastRow, int bright,
                Piece piece) {
    const int s = StripDivisor(std::max(lastCol, lastRow));
    const int size = kTilePixels / s;
    for (int a = 0; a <= lastCol; ++a) {
        for (int b = 0; b <= lastRow; ++b) {
            // The piece is read before the block that draws it (see StampCustomBrush).
            int tile = 0, mirror = 0, flip = 0;
            piece(a, b, tile, mirror, flip);
            if (const Picture* p = TilePicture(doc, tile))
                DrawTile(back, kStripItemPixels * i + size * a, size * b + 1, *p, bright, flip,
                         mirror, s);
        }
    }
}

void DrawItem(Picture& back, const CMainDoc& doc, int i, int bright) {
    const TileGroup* group = SelectedGroup(doc);
    switch (doc.m_sel.m_nSelKind) {
    case selGroupVersion:
    case selSingleTiles: {
        if (group == nullptr)
            return;
        const int v = doc.m_sel.m_nSelVersion;
        const bool single = doc.m_sel.m_nSelKind == selSingleTiles;
        const int slot = single ? kSingleKindSlot : i + 1;
        const int e = single ? i : 0; // alternative 0 of the item
        if (slot >= kKindSlots || e >= kMaxEntries)
            return;
        if (const Picture* p = TilePicture(doc, group->entryTile[v][slot][e]))
            DrawTile(back, kStripItemPixels * i, 1, *p, bright, group->entryFlip[v][slot][e],
                     group->entryMirror[v][slot][e], kTilePixels / kStripItemPixels);
        break;
    }
    case selGroupStamp:
        if (group == nullptr || i >= kMultiPictures)
            return;
        // Pieces hold tile indices 0..255 and are drawn without orientation.
        DrawPieces(back, doc, i, std::clamp<int>(group->multiMaxCol[i], -1, 9),
                   std::clamp<int>(group->multiMaxRow[i], -1, 9), bright,
                   [&](int a, int b, int& tile, int&, int&) { tile = group->multiTile[i][a][b]; });
        break;
    case selCustomBrush: {
        if (i >= kMaxBrushes)
            return;
        const BrushRecord& brush = doc.m_brush[i];
        DrawPieces(back, doc, i, std::clamp<int>(brush.lastCol, -1, 49),
                   std::clamp<int>(brush.lastRow, -1, 49), bright,
                   [&](int a, int b, int& tile, int& mirror, int& flip) {
                       tile = brush.brushTile[a][b];
                       mirror = brush.brushMirror[a][b];
                       flip = brush.brushFlip[a][b];
                   });
        break;
    }
    default:
        break;
    }
}

} // namespace

int LastItem(const CMainDoc& doc) {
    const TileGroup* group = SelectedGroup(doc);
    switch (doc.m_sel.m_nSelKind) {
    case selGroupVersion:
        return 13;
    case selSingleTiles:
        return group == nullptr
                   ? -1
                   : std::min<int>(group->lastEntry[doc.m_sel.m_nSelVersion][kSingleKindSlot],
                                   kMaxEntries - 1);
    case selGroupStamp: {
        int last = -1;
        for (int n = 0; group != nullptr && n < kMultiPictures; ++n)
            if (group->multiUsed[n] != 0)
                last = n;
        return last;
    }
    case selCustomBrush:
        return std::min(doc.m_nLastBrush, kMaxBrushes - 1);
    default:
        return 0;
    }
}

int StripDivisor(int m) {
    int s = 2;
    for (int fits = 1; m >= fits && s < kTilePixels; fits *= 2)
        s *= 2;
    return s;
}

int SelectedBrush(const CMainDoc& doc) {
    if (doc.m_sel.m_nSelKind != selCustomBrush || doc.m_sel.m_nSelItem < 0)
        return -1;
    return std::min(doc.m_sel.m_nSelItem, LastItem(doc));
}

void ClampStripSelection(CMainDoc& doc) {
    const int n = LastItem(doc);
    if (doc.m_sel.m_nSelItem > n && n >= 0)
        doc.m_sel.m_nSelItem = n;
}

const Picture& BrushStrip::Paint(CMainDoc& doc) {
    doc.m_sel.m_bStripChanged = 0;
    ClampStripSelection(doc);
    const int n = LastItem(doc);
    // Wide enough for every item: a single-tile list may hold more than 20.
    const int width = std::max(kStripMinWidth, kStripItemPixels * (n + 1) + 1);
    if (m_back.width != width)
        m_back = Picture(width, kStripPictureHeight);
    else
        std::fill(m_back.pixels.begin(), m_back.pixels.end(), 0u);
    for (int i = 0; i <= n; ++i)
        if (LastAlternative(doc, i) >= 0)
            DrawItem(m_back, doc, i, i == doc.m_sel.m_nSelItem ? kStripHighlight : 0);
    return m_back;
}

bool StripLeftClick(CMainDoc& doc, int x) {
    const int i = StripItemAt(x);
    if (i < 0 || i > LastItem(doc) || i == doc.m_sel.m_nSelItem)
        return false;
    doc.m_sel.m_nSelItem = i;
    return true;
}

int StripRightClick(CMainDoc& doc, int x) {
    const int i = StripItemAt(x);
    if (i < 0)
        return -1;
    doc.m_sel.m_nSelItem = i;
    const bool onBrush =
        i <= LastItem(doc) && doc.m_sel.m_nSelKind == selCustomBrush && doc.m_nLastBrush >= 0;
    ClampStripSelection(doc);
    return onBrush ? i : -1;
}
