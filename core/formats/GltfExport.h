#pragma once

#include "CellRect.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

class CMainDoc;

// glTF export: the map, or a rectangle of its cells, as one textured triangle mesh in a binary
// glTF 2.0 file (.glb) for today's engines and 3D tools.
//
// The surface is the T3D export's: the same corner heights and the same two triangles per cell
// (SplitsAlongBC), with Y up, map x along +X and map y along +Z. A cell is `cellSize` metres
// square and a height step is an eighth of a cell; coordinates are absolute map positions, so
// regions exported one by one fit together. Front faces point up. Normals are smooth: each
// corner's comes from the slopes of the corner heights around it within the map.
//
// Every tile that the exported cells use becomes a material named after the tile whose base
// colour texture is the tile's picture as PNG, embedded in the file; cells without a tile share a
// plain grey material. Each cell shows its tile once across its square, mirrored and flipped as
// the map view draws it. Cells are grouped by material into one primitive each.

struct GltfOptions {
    std::optional<CellRect> region; // none: the whole map
    double cellSize = 1.0;          // metres per cell, > 0 and at most kMaxGltfCellSize
};

constexpr double kMaxGltfCellSize = 10000.0;

// Told as the export goes on with the steps done and the steps in all (a row of cells, a tile
// picture, the file); returns false to stop before the file is written.
using GltfProgress = std::function<bool(int done, int total)>;

struct GltfExportResult {
    bool stopped = false; // the progress callback asked to stop: no file was written
    int cells = 0;
    int cellsWithoutTile = 0;
    int materials = 0;
    std::uintmax_t bytes = 0; // the size of the file written
};

// Writes the .glb file to `path` through a temporary file and a rename, so an existing file is
// replaced only by a complete one. Throws FileError when the file cannot be written and
// std::invalid_argument for a region outside the map or a cell size out of range. The document
// is not changed.
GltfExportResult ExportGltf(const CMainDoc& doc, const GltfOptions& options,
                            const std::filesystem::path& path, const GltfProgress& progress = {});
