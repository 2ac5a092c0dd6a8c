#pragma once

#include <functional>

class CMainDoc;

// One row of the Pen list: its text and the pen it selects.
struct PenRow {
    const char* text;
    int shape; // 0 square, 1 circle
    float width;
    float height;
};
constexpr int kPenRows = 13;
extern const PenRow kPenTable[kPenRows];

// Copies pen row `row` (0..12) into the document's pen fields (direction 4).
void SelectPenRow(CMainDoc& doc, int row);

// Weight 0..100 of one footprint cell: (a1, a2) its offset from the footprint's centre, (a3, a4)
// its column and row as the footprint loop numbers them.
int PenWeight(const CMainDoc& doc, double a1, double a2, double a3, double a4);

// Visits the cells of the current pen anchored at (x, y) in footprint order with their weights.
// A square starts at (x, y); a circle is centred on it.
void ForEachFootprintCell(const CMainDoc& doc, int x, int y,
                          const std::function<void(int cx, int cy, int weight)>& visit);
