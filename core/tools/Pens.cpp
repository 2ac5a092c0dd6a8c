#include "Pens.h"

#include "MainDoc.h"

#include <cmath>

const PenRow kPenTable[kPenRows] = {
    {"Normal", 0, 1, 1},        {"2x2", 0, 2, 2},
    {"3x3 Cross", 1, 2, 2},     {"3x3", 0, 3, 3},
    {"5x5 Cross", 1, 4, 4},     {"5x5 Circle", 1, 5, 5},
    {"5x5 Square", 0, 5, 5},    {"7x7 Circle", 1, 7, 7},
    {" x7  Vert Bar", 0, 3, 7}, {" x7  Horiz Bar", 0, 7, 3},
    {"9x9 Circle", 1, 9, 9},    {"11x11 Circle", 1, 11, 11},
    {"15x15", 1, 15, 15},
};

void SelectPenRow(CMainDoc& doc, int row) {
    if (row < 0 || row >= kPenRows)
        return;
    doc.m_tools.m_nPen = row;
    doc.m_tools.m_nPenShape = kPenTable[row].shape;
    doc.m_tools.m_fPenWidth = kPenTable[row].width;
    doc.m_tools.m_fPenHeight = kPenTable[row].height;
    doc.m_tools.m_nPenGradient = 4;
}

int PenWeight(const CMainDoc& doc, double a1, double a2, double a3, double a4) {
    const double w = doc.m_tools.m_fPenWidth;
    const double h = doc.m_tools.m_fPenHeight;
    const double d = std::sqrt(w * w + h * h);
    const double m = w / 2 + a1;
    const double o = h / 2 + a2;
    // Along an axis of one cell the ramp has no length: such cells get the full weight.
    auto ramp = [](double pos, double size, bool rising) {
        if (size - 1 == 0)
            return 100.0;
        return rising ? 100 * pos / (size - 1) : 100 - 100 * pos / (size - 1);
    };
    double weight = 0;
    switch (doc.m_tools.m_nPenGradient) {
    case 0:
        weight = 100 * (1 - std::sqrt(m * m + o * o) / d);
        break;
    case 1:
        weight = ramp(a4, h, false);
        break;
    case 2:
        weight = 100 * (1 - std::sqrt((w - m) * (w - m) + o * o) / d);
        break;
    case 3:
        weight = ramp(a3, w, false);
        break;
    case 5:
        weight = ramp(a3, w, true);
        break;
    case 6:
        weight = 100 * (std::sqrt((w - m) * (w - m) + o * o) / d + 0.2);
        break;
    case 7:
        weight = ramp(a4, h, true);
        break;
    case 8:
        weight = 100 * (std::sqrt(m * m + o * o) / d + 0.2);
        break;
    default: // 4: the centre
        weight = 100 * (1 - std::sqrt(a1 * a1 + a2 * a2) /
                                std::sqrt((w / 2) * (w / 2) + (h / 2) * (h / 2)));
        break;
    }
    if (!(weight > 0)) // also catches a NaN from a degenerate pen
        return 0;
    if (weight > 100)
        return 100;
    return static_cast<int>(weight);
}

void ForEachFootprintCell(const CMainDoc& doc, int x, int y,
                          const std::function<void(int, int, int)>& visit) {
    const float w = doc.m_tools.m_fPenWidth;
    const float h = doc.m_tools.m_fPenHeight;
    if (doc.m_tools.m_nPenShape == 0) {
        const bool oddW = static_cast<long long>(w) % 2 != 0;
        const bool oddH = static_cast<long long>(h) % 2 != 0;
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                const double a1 = i - w / 2.0 + (oddW ? 0.5 : 0.0);
                const double a2 = j - h / 2.0 + (oddH ? 0.5 : 0.0);
                visit(x + i, y + j, PenWeight(doc, a1, a2, i, j));
            }
        }
    } else if (doc.m_tools.m_nPenShape == 1) {
        const float a = (w / 2) * (w / 2);
        const float b = (h / 2) * (h / 2);
        const int jMax = static_cast<int>(h);
        const int iMax = static_cast<int>(w);
        for (int j = -jMax; j <= h; ++j) {
            for (int i = -iMax; i <= w; ++i) {
                if (static_cast<double>(i) * i / a + static_cast<double>(j) * j / b <= 1.0)
                    visit(x + i, y + j, PenWeight(doc, i, j, i, j));
            }
        }
    }
}
