#pragma once

#include <functional>

class CMainDoc;

// Applies `apply(x, y)` (the footprint cell step, weight 100) to the cells of a fill seeded at
// (x, y): fill is one of fillFloodTile, fillFloodHeight, fillWipeTile, fillEntireMap. A seed
// outside the map does nothing; otherwise the whole view is redrawn afterwards.
//
// The flood fills visit cells exactly in the order of the recursive scanline fill (a run along
// x, then for each cell of the run the fill above and then the fill below), but keep their
// pending work on the heap, so any region up to 512 x 512 cells completes. Visited cells are
// marked in the document's work plane.
void PerformFill(CMainDoc& doc, int fill, int x, int y, const std::function<void(int, int)>& apply);
