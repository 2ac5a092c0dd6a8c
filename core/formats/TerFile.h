#pragma once

#include "CellPlanes.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CMainDoc;
class CDocObserver;

// TER map files: a sequence of chunks, each a tag byte followed by its payload (little-endian):
//   'M' int32 512, int32 512        plane capacity, ignored on reading
//   'S' int32 sizeX, int32 sizeY
//   'H' heights, 'D' tile indices (uint16), 'A' mirror flags, 'B' flip flags: columns
//       x = 0 ... sizeX (one beyond the map) of sizeY cells each
//   'T' the tile-name table (TileNameTable.h); reading ends after it
// Other bytes between chunks are skipped. Plane chunks use the size of the last 'S' read so far.

// A map read from a TER file and not yet applied to a document. Reading starts from a copy of
// the document, so that what the file does not replace stays as it was.
struct TerMap {
    CellPlanes planes;                  // tile indices as stored: indices into tileNames
    bool hasNameTable = false;          // false: the file ended before its 'T' chunk
    std::vector<std::string> tileNames; // the file's tile-name table

    static TerMap FromDocument(const CMainDoc& doc);
};

// What a successful load found.
struct TerLoadResult {
    // False when the file ended before its tile-name table: its tile indices were taken as they
    // are and may not match the current tile library.
    bool hadNameTable = false;
    // Names of the file's table that the tile library lacks; their cells now hold kMissingTile.
    int unmatchedNames = 0;
};

// Reads a whole TER file held in memory into `map`, which holds the starting state. Returns false
// and says why in `error` when the file cannot be used; `map` is then to be discarded.
bool ParseTer(const std::uint8_t* data, std::size_t size, TerMap& map, std::string& error);

// Puts a parsed map into the document: renumbers the tile indices of the map's cells by name
// against the document's tile library (when the file had a name table), copies sizes and planes
// and asks for a full redraw. The undo copy, brushes, library and settings are not touched.
TerLoadResult ApplyTerMap(CMainDoc& doc, TerMap& map);

// Reads `path` into the document and updates every view but `sender`. The whole file is read and
// checked first: a file that cannot be used throws FileError and leaves the document unchanged.
TerLoadResult LoadTerFile(CMainDoc& doc, const std::filesystem::path& path,
                          CDocObserver* sender = nullptr);

// Writes the document to `path`, replacing it only once the whole file is written (AtomicFile).
// Throws FileError on failure; an existing file then stays as it was. The document is not changed.
void SaveTerFile(const CMainDoc& doc, const std::filesystem::path& path);
