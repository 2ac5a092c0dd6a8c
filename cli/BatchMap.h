#pragma once

#include "CellRect.h"
#include "MainDoc.h"
#include "TerFile.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

// A map file read for a batch command: the file as parsed, and a document holding it whose tile
// library carries names only (no pictures), enough for every export.
struct BatchMap {
    TerMap file;
    std::unique_ptr<CMainDoc> doc;
};

// Reads and checks the whole TER file at `path`. Throws FileError when it cannot be used.
TerMap ReadTerMap(const std::filesystem::path& path);

// Reads `path` into a document. The tile names come from the map's own name table, or, when the
// map has none, from the .bmp files of `textures`; a map without a name table and no `textures`
// throws FileError saying that the tile folder is needed.
BatchMap LoadBatchMap(const std::filesystem::path& path,
                      const std::optional<std::filesystem::path>& textures);

struct BatchOptions;

// The map in a document whose tile library holds the pictures of the tile folder (--textures, or
// ./Textures), renumbered against that library as the editor's Load Map does. What the user
// should know about the tiles goes to `warnings`, to be printed once the output is written: a
// failed run prints its error alone. Throws FileError.
std::unique_ptr<CMainDoc> LoadWithTiles(const BatchOptions& opt, std::string& warnings);

// The cells that --region names (X,Y,W,H), or the whole map without it. Throws UsageError for a
// malformed region or one that does not lie inside the map.
CellRect RegionOf(const BatchOptions& opt, const CMainDoc& doc);
