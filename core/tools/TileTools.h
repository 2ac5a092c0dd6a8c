#pragma once

#include <cstdint>
#include <utility>

class CMainDoc;

// The tile tools: drawing the selected tile slot, turning and randomising orientations,
// picking a tile up from the map, and multi-tile painting, in which each cell's piece is
// resolved from its neighbours' painted corners so that painted areas get matching borders.

// Piece codes: which of a cell's corners belong to the painted terrain (0..12), 13 = none.
constexpr int kPieceNone = 13;
extern const int SlotOfPiece[14];

// Corner bits of a cell. NW is the corner toward (x - 1, y - 1), the upper left on screen.
enum PieceCorner {
    cornerNW = 1,
    cornerNE = 2,
    cornerSW = 4,
    cornerSE = 8,
    cornerAll = 15,
};
// The painted corners of piece code `piece` as corner bits (0 for kPieceNone or no piece code).
int PieceCorners(int piece);

// Index of the last alternative of strip item `s` for the current selection kind (< 0: empty).
int LastAlternative(const CMainDoc& doc, int s);
// The tile and orientation (mirror + 256 x flip) to paint for item `s`: an entry of the single-
// tile list for selection kind 1, otherwise an alternative of tile slot `s` of the selected group
// version (random when auto-randomize is on). An empty list gives its entry 0 as stored; a
// selection outside the library gives (0, 0).
std::pair<std::uint16_t, std::uint16_t> PickTile(const CMainDoc& doc, int s);

void RotateTile(CMainDoc& doc, int x, int y);
void SpinTile(CMainDoc& doc, int x, int y);
void ResetTile(CMainDoc& doc, int x, int y);
// Selects the group, version, kind and item that first hold `tile`; true when one was found.
bool GrabTile(CMainDoc& doc, int tile);

// Multi-tile painting works on the 14 tile slots of the selected group version, whatever the
// selection kind, and does nothing when the selection names no group of the library.

// The first tile slot (0..13) of the selected group version holding `tile`, -1 if none.
int FindSlot(const CMainDoc& doc, int tile);
// The piece code of `tile` drawn with `mirror` and `flip` (each counts only when it equals 1).
int ClassifyTile(const CMainDoc& doc, int tile, int mirror, int flip);
// Clears (value 1) or paints (any other value) the map corner point shared by the 2 x 2 block
// whose upper-left cell is (x, y), then resolves the block and the cells beside it.
void MultiTilePaint(CMainDoc& doc, int x, int y, int value);
// Adds the painted corners of the piece of `slot` (as the slot's list stores it) to the cell.
void PlaceCorner(CMainDoc& doc, int x, int y, int slot);
// Chooses the cell's piece from the painted corners of its four side neighbours.
void ResolveCell(CMainDoc& doc, int x, int y);

// The tile and orientation a left click of the Tile mode draws (the first alternative when
// several are drawn at random). False when the selection draws no single tile.
bool PreviewSelectedTile(const CMainDoc& doc, std::uint16_t& tile, std::uint16_t& orientation);

// The cell operation "draw the selected tile slot" at (x, y).
void DrawSelectedTile(CMainDoc& doc, int x, int y);
