#pragma once

// Scroll geometry of the map view. The scroll position is kept in sixths of a cell whatever the
// zoom, so it always names the top-left visible cell and survives zoom changes.

constexpr int ScrollUnitsPerCell = 6;

// Scroll extent along an axis of `cells` cells: room for the map plus 1036 units, so the far
// end of the map can be scrolled into view at every zoom.
constexpr int ScrollExtent(int cells) {
    return cells * ScrollUnitsPerCell + 1036;
}

// A page is a tenth of the extent, a line a tenth of a page.
constexpr int ScrollPageStep(int extent) {
    return extent / 10;
}
constexpr int ScrollLineStep(int extent) {
    return ScrollPageStep(extent) / 10;
}

// Largest scroll position for a client size of `clientPixels` pixels.
constexpr int ScrollMaximum(int extent, int clientPixels) {
    return extent > clientPixels ? extent - clientPixels : 0;
}

// First visible cell for a scroll position.
constexpr int FirstVisibleCell(int scrollPos) {
    return scrollPos / ScrollUnitsPerCell;
}

// Map cell along one axis under client pixel `pixel`. Not clamped to the map.
constexpr int CellUnderPoint(int pixel, int scrollPos, int cellPixels) {
    return pixel / cellPixels + scrollPos / ScrollUnitsPerCell;
}
