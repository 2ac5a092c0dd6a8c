#pragma once

#include "FileError.h"
#include "Limits.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CMainDoc;

// T3D export: every cell becomes two textured triangles on the height surface, 128 units per
// cell and 16 units per height step, written as UnrealEd brush text (lines end with CR LF). A
// piece of P x P cells goes to one file; "Entire Map" writes one file per whole piece.

// Piece sizes by the export dialog's size index: "50x50", "32x32", "16x16", "8x8".
constexpr int kT3dPieceSizes[] = {50, 32, 16, 8};
constexpr int kT3dSizeChoices = 4;

// The export choices the tool panel keeps between exports. The dialog itself always opens on
// its defaults.
struct T3dChoices {
    int m_nT3dSize = 2;     // index into kT3dPieceSizes
    int m_nT3dLocation = 0; // 0: "Upper-Left Corner", 1: "Entire Map"
    int m_nPieceX = 16;
    int m_nPieceY = 16;

    // Stores the dialog's indices and the piece size they stand for.
    void Accept(int sizeIndex, int location);
};

// The heights of the surface's corners: entry (i, j) = 16 x height of cell (i, j) for
// i, j < 512, and 0 on the plane's own edge (i or j = 512). Corners on the map's right and
// lower edges therefore take the plane's cells just outside the map.
class T3dCornerGrid {
public:
    explicit T3dCornerGrid(const std::uint8_t* heightPlane);
    int Z(int i, int j) const { return m_z[static_cast<std::size_t>(i) * kWorkStride + j]; }

private:
    std::vector<std::uint16_t> m_z;
};

// Whether the quad of a cell whose corners have the heights a = (x, y), b = (x, y + 1),
// c = (x + 1, y) and d = (x + 1, y + 1) is split along B-C (else along A-D). The highest corner
// (the first of A, B, C, D among equals) picks the diagonal through the other pair, unless the
// quad is folded much more steeply along the other diagonal. Every export of the surface uses
// this choice, so that all of them show the same triangles.
bool SplitsAlongBC(int a, int b, int c, int d);

// Appends one eight-line polygon record to `file` for the triangle P1, P2, P3. An empty
// `textureName` (a cell without a tile) leaves the " Texture=..." part out of the first line.
// The origin line carries the height of the triangle's plane above X = 0, Y = 0, computed from
// its integer normal with single-precision factors and truncated toward zero, as the engine's
// own exporters do; coordinates are those of the map's world (|X|, |Y| <= 65536,
// |Z| <= 4080), for which the normal's sum of squares is exact.
void WriteT3dPolygon(std::string& file, std::string_view textureName, int X1, int X2, int X3,
                     int Y1, int Y2, int Y3, int Z1, int Z2, int Z3, int mirror, int flip);

// Appends the text of the piece of `pieceSize` x `pieceSize` cells whose upper-left cell is
// (x0, y0) to `file`. Returns the number of its cells that have no tile name.
int WriteT3dPiece(std::string& file, const CMainDoc& doc, const T3dCornerGrid& grid, int x0, int y0,
                  int pieceSize);

// Writes that piece to `path`: the file is replaced only once it is complete. Throws FileError.
// Returns the number of cells without a tile name.
int ExportT3dPiece(const CMainDoc& doc, const T3dCornerGrid& grid, int x0, int y0, int pieceSize,
                   const std::filesystem::path& path);

// The letters of piece index `index` in a piece file's name: A ... Z, then AA, AB, ...
std::string T3dPieceLetters(int index);

// The file of piece (i, j) of an "Entire Map" export to `path`: the file name is split at its
// first "." and " X<letters i>-Y<letters j>" goes in between ("hills.t3d" -> "hills XB-YA.t3d").
std::filesystem::path T3dPiecePath(const std::filesystem::path& path, int i, int j);

// The number of files an export with `choices` writes: 1 for the upper-left corner, else the
// whole pieces of the map (none when the map is smaller than one piece).
int T3dPiecesToWrite(const CMainDoc& doc, const T3dChoices& choices);

// Told after each piece with the pieces written so far and the pieces to write; returns false
// to stop the export there.
using T3dProgress = std::function<bool(int written, int total)>;

struct T3dExportResult {
    int piecesTotal = 0;
    int piecesWritten = 0;
    int cellsWithoutTile = 0; // among the pieces written
    bool stopped = false;     // the progress callback asked to stop
    // The piece file that could not be written; the export ended there.
    std::optional<FileError> failure;
};

// The whole command's writing: one piece at (0, 0) to `path` (location 0), or every whole piece
// of the map, columns of pieces outer and rows inner, each to its T3dPiecePath (location 1).
// The document is not changed. Files written before a failure or a stop stay.
T3dExportResult ExportT3d(const CMainDoc& doc, const T3dChoices& choices,
                          const std::filesystem::path& path, const T3dProgress& progress = {});
