#pragma once

struct BrushRecord;
class CMainDoc;

// What the Custom Brush Action dialog asks for.
enum BrushAction {
    brushActionNone = 0,
    brushActionDelete = 1,
    brushActionFlipVertically = 2,
    brushActionFlipHorizontally = 3,
};

// Turns the brush upside down: row b and row lastRow - b change places in every column, and every
// cell's flip value is inverted, so that each tile is drawn upside down as well.
void FlipBrushVertically(BrushRecord& brush);
// Mirrors the brush left to right: columns change places and every mirror value is inverted.
void FlipBrushHorizontally(BrushRecord& brush);
// Removes brush `k`; the brushes after it move down one slot. The freed last slot keeps its old
// contents. Does nothing for an index that holds no brush.
void DeleteBrush(CMainDoc& doc, int k);

// Carries out `action` on brush `k`: marks the map modified, asks the strip to rebuild and
// updates every view. Returns false (and changes nothing) for an unknown action or a slot
// without a brush.
bool ApplyBrushAction(CMainDoc& doc, int k, int action);
