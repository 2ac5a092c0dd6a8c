#pragma once

#include "FileError.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CMainDoc;

// The height format file group: three headerless planes of 512 x 512 bytes (the byte of cell
// (x, y) at offset x * 512 + y, whatever the map size) and a text index naming them.
//   file 1 "<front>1.RAW"  heights
//   file 2 "<front>2.RAW"  texture numbers: 1 + the tile's rank among the library tiles in use
//                          (kept to its low 8 bits); 0 for a cell without a library tile
//   file 3 "<front>3.RAW"  rotation codes (RotationCode)
//   file 4 "<front>4.TXT"  "TERRAIN HEIGHTMAP=... TEXTUREMAP=... ROTMAP=...", then one
//                          "TERRATEX INDEX=k TEXTUREFILE=<tile name>.PCX" line per texture number,
//                          lines ending in CR LF
// <front> is the part of the chosen file name before its first ".".

struct HeightGroupNames {
    std::string heights;
    std::string textures;
    std::string rotations;
    std::string index;
    // The four names in file order.
    std::vector<std::string> All() const { return {heights, textures, rotations, index}; }
};

// The names of the group for the chosen file name `title` (without folder): "hills.raw" gives
// hills1.RAW, hills2.RAW, hills3.RAW and hills4.TXT.
HeightGroupNames HeightGroupNamesFor(const std::string& title);

// The rotation code of a cell (non-zero counts as set): the rotation tool's steps (mirror, flip)
// = (0,0), (1,0), (1,1), (0,1) give 0, 4, 2, 6.
std::uint8_t RotationCode(std::uint8_t mirror, std::uint8_t flip);

// The four files' contents, built from a document.
struct HeightGroup {
    HeightGroupNames names;
    std::vector<std::uint8_t> heights;
    std::vector<std::uint8_t> textures;
    std::vector<std::uint8_t> rotations;
    std::string index;
    int texturesInUse = 0; // library tiles found in the tile plane
    // Texture numbers above 255 do not fit file 2's bytes: they were kept to their low 8 bits.
    bool Wrapped() const { return texturesInUse > 255; }
};

HeightGroup BuildHeightGroup(const CMainDoc& doc, const std::string& title);

// A file of the group could not be written. The files before it were written completely and
// stay; the failed one and those after it were not written (no partial file is left).
class HeightGroupError : public FileError {
public:
    HeightGroupError(const FileError& cause, std::vector<std::string> written)
        : FileError(cause), m_written(std::move(written)) {}
    const std::vector<std::string>& Written() const { return m_written; }

private:
    std::vector<std::string> m_written;
};

// Writes the group for the chosen file `chosen` into that file's folder (the chosen file itself
// is not written), each file through a temporary file (AtomicFile), in file order. Returns what
// was written; throws HeightGroupError when a file fails. The document is not changed.
HeightGroup ExportHeightGroup(const CMainDoc& doc, const std::filesystem::path& chosen);
