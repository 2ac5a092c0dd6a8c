#pragma once

#include "BrushRecord.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

class CMainDoc;
class CDocObserver;

// TBR brush files hold one custom brush (little-endian, no header):
//   15,008 bytes   the brush record as it lies in memory (BrushRecord.h)
//   int32 N + N+1 name slots of 8 bytes: the tile-name table (TileNameTable.h)
// The brush's tile indices are indices into the file's table, so a brush saved with one tile
// library keeps its pictures when loaded with another.

constexpr std::size_t kTbrRecordSize = 15008;

// A brush read from a TBR file and not yet put into a document.
struct TbrBrush {
    BrushRecord record{};               // tile indices as stored: indices into tileNames
    std::vector<std::string> tileNames; // the file's tile-name table
};

// The bytes of a TBR file holding `brush` with the tile names `names` (entry k: tile k).
std::vector<std::uint8_t> EncodeTbr(const BrushRecord& brush, std::span<const std::string> names);

// Reads a whole TBR file held in memory. Returns false and says why in `error` when the file
// cannot be used: shorter than its record, extent bytes outside -1 ... 49, no count or a count
// outside -1 ... 499, or names cut off. Bytes after the name table are ignored.
bool ParseTbr(const std::uint8_t* data, std::size_t size, TbrBrush& brush, std::string& error);

// Renumbers the brush's tile indices within its extent by name against `libraryNames` (entries
// outside the extent stay as read). Returns the brush record ready for a document.
BrushRecord RenumberTbrBrush(const TbrBrush& brush, std::span<const std::string> libraryNames);

// Writes brush `k` of the document with the library's tile names to `path`, replacing it only
// once the whole file is written. Throws FileError on failure; an existing file then stays as it
// was. The document is not changed.
void SaveTbrFile(const CMainDoc& doc, int k, const std::filesystem::path& path);

// Reads `path` into the next free brush slot and updates every view but `sender`. Returns the
// slot, or -1 without reading anything when all slots are taken. The whole file is read and
// checked first: a file that cannot be used throws FileError and leaves the brushes unchanged.
// The selection does not change.
int LoadTbrFile(CMainDoc& doc, const std::filesystem::path& path, CDocObserver* sender = nullptr);
