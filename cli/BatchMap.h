#pragma once

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
