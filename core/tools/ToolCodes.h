#pragma once

// Tool codes (m_nTool): what a click edits.
enum Tool {
    toolModifyHeight = 0,
    toolSingleTile = 1,
    toolMultiTile = 2,
    toolHeightLevel = 3,
    toolSmooth = 4,
    toolSpin = 5,
    toolBrushTiles = 6,
    toolBrushHeight = 7,
    toolBrushBoth = 8,
    toolGradiatedShape = 9,
};

// Draw styles (m_nDrawStyle). Only styleRect changes the mouse handling.
enum DrawStyle {
    styleDraw = 0,
    stylePen = 1,
    styleFill = 2,
    styleBrush = 3,
    styleRect = 4,
};

// Pen selections (m_nPen) beyond the 13 pen rows 0..12: the fills.
enum Fill {
    fillFloodTile = 13,
    fillFloodHeight = 14,
    fillWipeTile = 15,
    fillEntireMap = 16,
};

// Cell operations, passed down with a value and a weight.
enum CellOp {
    opAddHeight = 0,
    opDrawTile = 1,
    opRotateTile = 2,
    opSetHeight = 3,
    opSmooth = 4,
    opSpinTile = 5,
    opResetTile = 6,
    opRoughen = 7,
    opMultiTile = 8,
    opBrushTiles = 10,
    opBrushHeight = 11,
    opBrushBoth = 12,
    opGradiatedHeight = 13,
    opSetTileFlags = 101,
};

// Bits of the key-state word that comes with every mouse event.
enum KeyState {
    keyLButton = 0x0001,
    keyRButton = 0x0002,
    keyShift = 0x0004,
    keyControl = 0x0008,
};

// Selection kinds (m_nSelKind).
enum SelectionKind {
    selGroupVersion = 0,
    selSingleTiles = 1,
    selGroupStamp = 2,
    selCustomBrush = 3,
};
