#include "HeightTools.h"

#include "MainDoc.h"

int ScaleByWeight(int amount, int weight) {
    const int scaled = (amount * weight + 49) / 100;
    if (scaled != 0)
        return scaled;
    return amount > 0 ? 1 : -1;
}

namespace {

// Moves the height by weight x 10/13 x (target difference), truncated; `away` reverses it.
void Level(CMainDoc& doc, int x, int y, int weight, bool away) {
    if (!doc.InMap(x, y))
        return;
    int sum = 0, n = 0;
    auto add = [&](int nx, int ny) {
        sum += doc.m_map.m_height[CellIndex(nx, ny)];
        ++n;
    };
    if (x > 0)
        add(x - 1, y);
    if (x < doc.m_map.m_nSizeX - 1)
        add(x + 1, y);
    if (y > 0)
        add(x, y - 1);
    if (y < doc.m_map.m_nSizeY - 1)
        add(x, y + 1);
    if (n == 0) // a 1 x 1 map: nothing to level against
        return;
    const int h = doc.m_map.m_height[CellIndex(x, y)];
    const int mean = sum / n;
    const int diff = away ? h - mean : mean - h;
    const int d = static_cast<int>(weight * 0.7692307692307692 * diff * 0.01);
    doc.AddHeight(x, y, d);
    doc.MarkCellDirty(x, y);
}

} // namespace

void SmoothCell(CMainDoc& doc, int x, int y, int weight) {
    Level(doc, x, y, weight, false);
}

void RoughenCell(CMainDoc& doc, int x, int y, int weight) {
    Level(doc, x, y, weight, true);
}

int GradientDirection(int axis, int anchorX, int anchorY, int releaseX, int releaseY,
                      int anchorHeight, int releaseHeight) {
    // Where the high end lies: the release cell when it is at least as high, else the anchor.
    const bool releaseLeft = releaseX < anchorX;
    const bool releaseAbove = releaseY < anchorY;
    const bool releaseHigh = releaseHeight >= anchorHeight;
    const bool left = releaseHigh ? releaseLeft : !releaseLeft;
    const bool above = releaseHigh ? releaseAbove : !releaseAbove;
    switch (axis) {
    case 0:
        return left ? (above ? 0 : 6) : (above ? 2 : 8);
    case 1:
        return above ? 1 : 7;
    case 2:
        return left ? 3 : 5;
    default:
        return 4;
    }
}
