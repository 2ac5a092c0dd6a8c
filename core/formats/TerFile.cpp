#include "TerFile.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "MainDoc.h"
#include "TileNameTable.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace fs = std::filesystem;

namespace {

// ---- writing ----

void PutI32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

// Columns 0 ... sizeX of a byte plane. A 512-wide map has no column 512 in memory; the file still
// carries it, as zeros.
void PutBytePlane(std::vector<std::uint8_t>& out, char tag, const std::uint8_t* plane, int sizeX,
                  int sizeY) {
    out.push_back(static_cast<std::uint8_t>(tag));
    for (int x = 0; x <= sizeX; ++x) {
        if (x < kMaxMapSize)
            out.insert(out.end(), plane + CellIndex(x, 0), plane + CellIndex(x, 0) + sizeY);
        else
            out.insert(out.end(), static_cast<std::size_t>(sizeY), 0);
    }
}

void PutTilePlane(std::vector<std::uint8_t>& out, const std::uint16_t* plane, int sizeX,
                  int sizeY) {
    out.push_back('D');
    for (int x = 0; x <= sizeX; ++x)
        for (int y = 0; y < sizeY; ++y) {
            const std::uint16_t v = x < kMaxMapSize ? plane[CellIndex(x, y)] : 0;
            out.push_back(static_cast<std::uint8_t>(v));
            out.push_back(static_cast<std::uint8_t>(v >> 8));
        }
}

std::vector<std::uint8_t> EncodeTer(const CMainDoc& doc) {
    const int sx = doc.m_map.m_nSizeX;
    const int sy = doc.m_map.m_nSizeY;
    std::vector<std::uint8_t> out;
    out.reserve(64 + static_cast<std::size_t>(sx + 1) * sy * 5 + kMaxTiles * kNameSlotSize);
    out.push_back('M');
    PutI32(out, kMaxMapSize);
    PutI32(out, kMaxMapSize);
    out.push_back('S');
    PutI32(out, sx);
    PutI32(out, sy);
    PutBytePlane(out, 'H', doc.m_map.m_height.data(), sx, sy);
    PutTilePlane(out, doc.m_map.m_tile.data(), sx, sy);
    PutBytePlane(out, 'A', doc.m_map.m_mirror.data(), sx, sy);
    PutBytePlane(out, 'B', doc.m_map.m_flip.data(), sx, sy);
    out.push_back('T');
    AppendTileNameTable(out, LibraryTileNames(doc.m_tiles));
    return out;
}

// ---- reading ----

// Bytes from memory.
class MemorySource {
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    int GetByte() { return m_pos < m_size ? m_data[m_pos++] : -1; }
    bool Read(std::uint8_t* dst, std::size_t n) {
        if (n > m_size - m_pos)
            return false;
        if (n == 0)
            return true;
        std::memcpy(dst, m_data + m_pos, n);
        m_pos += n;
        return true;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};

// Bytes from an open file. A read error is kept (with its errno) for the caller to report.
class FileSource {
public:
    explicit FileSource(std::FILE* file) : m_file(file) {}
    int GetByte() {
        const int c = std::getc(m_file);
        if (c == EOF)
            Check();
        return c == EOF ? -1 : c;
    }
    bool Read(std::uint8_t* dst, std::size_t n) {
        if (std::fread(dst, 1, n, m_file) == n)
            return true;
        Check();
        return false;
    }
    int Error() const { return m_error; }

private:
    void Check() {
        if (std::ferror(m_file) && m_error == 0)
            m_error = errno != 0 ? errno : EIO;
    }
    std::FILE* m_file;
    int m_error = 0;
};

const char* ChunkName(int tag) {
    switch (tag) {
    case 'M':
        return "plane capacity ('M' chunk)";
    case 'S':
        return "map size ('S' chunk)";
    case 'H':
        return "height plane ('H' chunk)";
    case 'D':
        return "tile plane ('D' chunk)";
    case 'A':
        return "mirror plane ('A' chunk)";
    case 'B':
        return "flip plane ('B' chunk)";
    default:
        return "tile-name table ('T' chunk)";
    }
}

template <class Source> bool ReadI32(Source& in, std::int32_t& value) {
    std::uint8_t b[4];
    if (!in.Read(b, 4))
        return false;
    value = static_cast<std::int32_t>(b[0] | (b[1] << 8) | (b[2] << 16) |
                                      (static_cast<std::uint32_t>(b[3]) << 24));
    return true;
}

// Columns 0 ... sizeX; a column beyond the planes (x = 512) is read and dropped.
template <class Source> bool ReadBytePlane(Source& in, const TerMap& map, std::uint8_t* plane) {
    std::uint8_t dropped[kMaxMapSize];
    for (int x = 0; x <= map.planes.m_nSizeX; ++x)
        if (!in.Read(x < kMaxMapSize ? plane + CellIndex(x, 0) : dropped, map.planes.m_nSizeY))
            return false;
    return true;
}

template <class Source> bool ReadTilePlane(Source& in, TerMap& map) {
    std::uint8_t column[2 * kMaxMapSize];
    for (int x = 0; x <= map.planes.m_nSizeX; ++x) {
        if (!in.Read(column, 2 * static_cast<std::size_t>(map.planes.m_nSizeY)))
            return false;
        if (x < kMaxMapSize)
            for (int y = 0; y < map.planes.m_nSizeY; ++y)
                map.planes.m_tile[CellIndex(x, y)] =
                    static_cast<std::uint16_t>(column[2 * y] | (column[2 * y + 1] << 8));
    }
    return true;
}

// Reads chunks until the 'T' chunk has been read or the file ends between two chunks.
template <class Source> bool ParseChunks(Source& in, TerMap& map, std::string& error) {
    map.hasNameTable = false;
    map.tileNames.clear();
    bool empty = true;
    bool known = false; // a chunk of a map was found
    for (;;) {
        const int tag = in.GetByte();
        if (tag < 0) {
            if (empty)
                error = "the file is empty";
            else if (!known)
                error = "it is not a TER map: no map chunk was found in it";
            return known;
        }
        empty = false;
        known = known || (tag != 0 && std::strchr("MSHDABT", tag) != nullptr);
        bool complete = true;
        switch (tag) {
        case 'M': {
            std::int32_t capacity[2];
            complete = ReadI32(in, capacity[0]) && ReadI32(in, capacity[1]);
            break;
        }
        case 'S': {
            std::int32_t sx = 0, sy = 0;
            if (!(complete = ReadI32(in, sx) && ReadI32(in, sy)))
                break;
            if (sx < 1 || sx > kMaxMapSize || sy < 1 || sy > kMaxMapSize) {
                error = "the map size " + std::to_string(sx) + " x " + std::to_string(sy) +
                        " is outside 1 ... " + std::to_string(kMaxMapSize) + " cells";
                return false;
            }
            map.planes.m_nSizeX = sx;
            map.planes.m_nSizeY = sy;
            break;
        }
        case 'H':
            complete = ReadBytePlane(in, map, map.planes.m_height.data());
            break;
        case 'D':
            complete = ReadTilePlane(in, map);
            break;
        case 'A':
            complete = ReadBytePlane(in, map, map.planes.m_mirror.data());
            break;
        case 'B':
            complete = ReadBytePlane(in, map, map.planes.m_flip.data());
            break;
        case 'T': {
            std::int32_t lastIndex = 0;
            if (!(complete = ReadI32(in, lastIndex)))
                break;
            const int count = TileNameSlotCount(lastIndex, error);
            if (count < 0)
                return false;
            std::vector<std::uint8_t> slots(static_cast<std::size_t>(count) * kNameSlotSize);
            if (!(complete = in.Read(slots.data(), slots.size())))
                break;
            map.tileNames = DecodeTileNameSlots(slots.data(), count);
            map.hasNameTable = true;
            return true; // anything after the table is not part of the map
        }
        default:
            break; // not a tag: skip the byte
        }
        if (!complete) {
            error = std::string("the file ends inside its ") + ChunkName(tag);
            return false;
        }
    }
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

TerMap TerMap::FromDocument(const CMainDoc& doc) {
    TerMap map;
    map.planes = doc.m_map;
    return map;
}

bool ParseTer(const std::uint8_t* data, std::size_t size, TerMap& map, std::string& error) {
    // Plane chunks read before any 'S' use the starting size, which must fit the planes too.
    if (map.planes.m_nSizeX < 1 || map.planes.m_nSizeX > kMaxMapSize || map.planes.m_nSizeY < 1 ||
        map.planes.m_nSizeY > kMaxMapSize) {
        error = "the map it is read into has no usable size";
        return false;
    }
    MemorySource in(data, size);
    return ParseChunks(in, map, error);
}

TerLoadResult ApplyTerMap(CMainDoc& doc, TerMap& map) {
    TerLoadResult result;
    result.hadNameTable = map.hasNameTable;
    if (map.hasNameTable) {
        const std::vector<std::uint16_t> table =
            MatchTileNames(map.tileNames, LibraryTileNames(doc.m_tiles));
        result.unmatchedNames =
            static_cast<int>(std::count(table.begin(), table.end(), kMissingTile));
        // The extra column x = sizeX is kept as stored.
        for (int x = 0; x < map.planes.m_nSizeX; ++x)
            for (int y = 0; y < map.planes.m_nSizeY; ++y) {
                std::uint16_t& cell = map.planes.m_tile[CellIndex(x, y)];
                cell = RenumberTile(cell, table);
            }
    }
    doc.m_map.m_nSizeX = map.planes.m_nSizeX;
    doc.m_map.m_nSizeY = map.planes.m_nSizeY;
    doc.m_map.CopyPlanes(map.planes);
    doc.RedrawAll();
    return result;
}

TerLoadResult LoadTerFile(CMainDoc& doc, const fs::path& path, CDocObserver* sender) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw FileError::FromErrno(path.string(), "Could not open the map file");
    TerMap map = TerMap::FromDocument(doc);
    FileSource in(file.get());
    std::string error;
    const bool ok = ParseChunks(in, map, error);
    if (in.Error() != 0)
        throw FileError(path.string(), "Could not read the map file", std::strerror(in.Error()));
    if (!ok)
        throw FileError(path.string(), "Could not load the map file", error);
    file.reset();
    doc.SaveUndo("Load Map"); // undoing the load brings back the map and its file name
    const TerLoadResult result = ApplyTerMap(doc, map);
    doc.EndStep();
    doc.RefitOverview(); // the map may have another size
    doc.UpdateAllViews(sender);
    return result;
}

void SaveTerFile(const CMainDoc& doc, const fs::path& path) {
    const int sx = doc.m_map.m_nSizeX;
    const int sy = doc.m_map.m_nSizeY;
    if (sx < 1 || sx > kMaxMapSize || sy < 1 || sy > kMaxMapSize)
        throw FileError(path.string(), "Could not save the map file",
                        "the map size " + std::to_string(sx) + " x " + std::to_string(sy) +
                            " is outside 1 ... " + std::to_string(kMaxMapSize) + " cells");
    WriteFileAtomically(path, EncodeTer(doc));
}
