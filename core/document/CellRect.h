#pragma once

// A rectangle of map cells: upper-left cell (x, y), w columns, h rows.
struct CellRect {
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
};
