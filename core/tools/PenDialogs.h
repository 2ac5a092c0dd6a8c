#pragma once

class CMainDoc;

// The pen that the Create Custom Pen dialog edits: whole-cell sizes along x and y.
struct CustomPen {
    int shape = 0;    // 0 square, 1 circle
    int horz = 1;     // width in cells
    int vert = 1;     // height in cells
    int gradient = 4; // direction 0..8, 4 = centre
};

constexpr int kMinCustomPenSize = 1;
constexpr int kMaxCustomPenSize = 255;

// The document's current pen as the dialog shows it (sizes truncated to whole cells).
CustomPen CurrentCustomPen(const CMainDoc& doc);

// Stores a confirmed custom pen in the document's pen fields. The chosen Pen row (m_nPen)
// is left as it was.
void ApplyCustomPen(CMainDoc& doc, const CustomPen& pen);

// The axis a newly created Gradient dialog shows: a negative setting is first reset to 3.
int GradientOpeningAxis(CMainDoc& doc);
