#include "BrushActions.h"

#include "MainDoc.h"

#include <algorithm>
#include <utility>

namespace {

std::uint8_t Inverse(std::uint8_t v) {
    return v == 0 ? 1 : 0;
}

// The last column and row index within the record's 50 x 50 cells (-1: none).
int LastCol(const BrushRecord& b) {
    return std::clamp<int>(b.lastCol, -1, 49);
}
int LastRow(const BrushRecord& b) {
    return std::clamp<int>(b.lastRow, -1, 49);
}

} // namespace

void FlipBrushVertically(BrushRecord& b) {
    const int lastRow = LastRow(b);
    for (int a = 0; a <= LastCol(b); ++a) {
        for (int r = 0; r <= lastRow / 2; ++r) {
            const int t = lastRow - r;
            std::swap(b.brushHeight[a][r], b.brushHeight[a][t]);
            std::swap(b.brushTile[a][r], b.brushTile[a][t]);
            std::swap(b.brushMirror[a][r], b.brushMirror[a][t]);
            // A middle row (r == t) has its flips inverted in place.
            const std::uint8_t top = b.brushFlip[a][r], bottom = b.brushFlip[a][t];
            b.brushFlip[a][r] = Inverse(bottom);
            b.brushFlip[a][t] = Inverse(top);
        }
    }
}

void FlipBrushHorizontally(BrushRecord& b) {
    const int lastCol = LastCol(b);
    for (int a = 0; a <= lastCol / 2; ++a) {
        const int t = lastCol - a;
        for (int r = 0; r <= LastRow(b); ++r) {
            std::swap(b.brushHeight[a][r], b.brushHeight[t][r]);
            std::swap(b.brushTile[a][r], b.brushTile[t][r]);
            std::swap(b.brushFlip[a][r], b.brushFlip[t][r]);
            const std::uint8_t left = b.brushMirror[a][r], right = b.brushMirror[t][r];
            b.brushMirror[a][r] = Inverse(right);
            b.brushMirror[t][r] = Inverse(left);
        }
    }
}

void DeleteBrush(CMainDoc& doc, int k) {
    const int last = std::min(doc.m_nLastBrush, kMaxBrushes - 1);
    if (k < 0 || k > last)
        return;
    for (int i = k; i < last; ++i)
        doc.m_brush[i] = doc.m_brush[i + 1];
    doc.m_nLastBrush = last - 1;
}

bool ApplyBrushAction(CMainDoc& doc, int k, int action) {
    if (k < 0 || k > doc.m_nLastBrush || k >= kMaxBrushes)
        return false;
    switch (action) {
    case brushActionDelete:
        DeleteBrush(doc, k);
        break;
    case brushActionFlipVertically:
        FlipBrushVertically(doc.m_brush[k]);
        break;
    case brushActionFlipHorizontally:
        FlipBrushHorizontally(doc.m_brush[k]);
        break;
    default:
        return false;
    }
    doc.MarkBrushesChanged();
    doc.m_sel.m_bStripChanged = 1;
    doc.UpdateAllViews(nullptr);
    return true;
}
