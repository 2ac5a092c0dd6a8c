#include "TbrFile.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "MainDoc.h"
#include "TileNameTable.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace fs = std::filesystem;

namespace {

// Offsets of the record's fields.
constexpr std::size_t kTileOffset = 5000;
constexpr std::size_t kMirrorOffset = 10000;
constexpr std::size_t kFlipOffset = 12500;
constexpr std::size_t kExtentOffset = 15000;
constexpr std::size_t kReservedOffset = 15002;
constexpr int kCells = 50;
// The longest file that is read: the record, the count and the largest name table.
constexpr std::size_t kMaxTbrBytes = kTbrRecordSize + 4 + kMaxTiles * kNameSlotSize;

static_assert(sizeof(BrushRecord) == kTbrRecordSize);

void Put16(std::uint8_t* out, std::uint16_t v) {
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
}

std::uint16_t Get16(const std::uint8_t* in) {
    return static_cast<std::uint16_t>(in[0] | (in[1] << 8));
}

void EncodeRecord(const BrushRecord& b, std::uint8_t* out) {
    for (int a = 0; a < kCells; ++a)
        for (int r = 0; r < kCells; ++r) {
            const std::size_t e = static_cast<std::size_t>(kCells * a + r);
            Put16(out + 2 * e, static_cast<std::uint16_t>(b.brushHeight[a][r]));
            Put16(out + kTileOffset + 2 * e, b.brushTile[a][r]);
            out[kMirrorOffset + e] = b.brushMirror[a][r];
            out[kFlipOffset + e] = b.brushFlip[a][r];
        }
    out[kExtentOffset] = static_cast<std::uint8_t>(b.lastCol);
    out[kExtentOffset + 1] = static_cast<std::uint8_t>(b.lastRow);
    std::memcpy(out + kReservedOffset, b.reserved, sizeof b.reserved);
}

void DecodeRecord(const std::uint8_t* in, BrushRecord& b) {
    for (int a = 0; a < kCells; ++a)
        for (int r = 0; r < kCells; ++r) {
            const std::size_t e = static_cast<std::size_t>(kCells * a + r);
            b.brushHeight[a][r] = static_cast<std::int16_t>(Get16(in + 2 * e));
            b.brushTile[a][r] = Get16(in + kTileOffset + 2 * e);
            b.brushMirror[a][r] = in[kMirrorOffset + e];
            b.brushFlip[a][r] = in[kFlipOffset + e];
        }
    b.lastCol = static_cast<std::int8_t>(in[kExtentOffset]);
    b.lastRow = static_cast<std::int8_t>(in[kExtentOffset + 1]);
    std::memcpy(b.reserved, in + kReservedOffset, sizeof b.reserved);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

} // namespace

std::vector<std::uint8_t> EncodeTbr(const BrushRecord& brush, std::span<const std::string> names) {
    std::vector<std::uint8_t> out(kTbrRecordSize);
    EncodeRecord(brush, out.data());
    AppendTileNameTable(out, names);
    return out;
}

bool ParseTbr(const std::uint8_t* data, std::size_t size, TbrBrush& brush, std::string& error) {
    if (size < kTbrRecordSize) {
        error = "the file holds " + std::to_string(size) + " bytes, fewer than the " +
                std::to_string(kTbrRecordSize) + " of a brush";
        return false;
    }
    DecodeRecord(data, brush.record);
    for (const int extent : {int{brush.record.lastCol}, int{brush.record.lastRow}})
        if (extent < -1 || extent >= kCells) {
            error = "the brush's last column and row are given as " +
                    std::to_string(brush.record.lastCol) + " and " +
                    std::to_string(brush.record.lastRow) + " (they must lie between -1 and 49)";
            return false;
        }
    if (size < kTbrRecordSize + 4) {
        error = "the file ends before its tile-name table";
        return false;
    }
    const std::uint8_t* count = data + kTbrRecordSize;
    const auto lastIndex = static_cast<std::int32_t>(count[0] | (count[1] << 8) | (count[2] << 16) |
                                                     (static_cast<std::uint32_t>(count[3]) << 24));
    const int slots = TileNameSlotCount(lastIndex, error);
    if (slots < 0)
        return false;
    const std::size_t need = static_cast<std::size_t>(slots) * kNameSlotSize;
    if (size - kTbrRecordSize - 4 < need) {
        error = "the file ends inside its tile-name table (" + std::to_string(slots) +
                " names announced)";
        return false;
    }
    brush.tileNames = DecodeTileNameSlots(count + 4, slots);
    return true;
}

BrushRecord RenumberTbrBrush(const TbrBrush& brush, std::span<const std::string> libraryNames) {
    BrushRecord b = brush.record;
    const std::vector<std::uint16_t> table = MatchTileNames(brush.tileNames, libraryNames);
    // Nothing is renumbered when either extent is negative.
    for (int a = 0; a <= b.lastCol && a < kCells; ++a)
        for (int r = 0; r <= b.lastRow && r < kCells; ++r)
            b.brushTile[a][r] = RenumberTile(b.brushTile[a][r], table);
    return b;
}

void SaveTbrFile(const CMainDoc& doc, int k, const fs::path& path) {
    if (k < 0 || k > doc.m_nLastBrush || k >= kMaxBrushes)
        throw FileError(path.string(), "Could not save the brush file",
                        "there is no custom brush " + std::to_string(k + 1));
    WriteFileAtomically(path, EncodeTbr(doc.m_brush[k], LibraryTileNames(doc.m_tiles)));
}

int LoadTbrFile(CMainDoc& doc, const fs::path& path, CDocObserver* sender) {
    if (doc.m_nLastBrush >= kMaxBrushes - 1)
        return -1;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file)
        throw FileError::FromErrno(path.string(), "Could not open the brush file");
    // Anything beyond the largest name table is not read: it is not part of the brush.
    std::vector<std::uint8_t> bytes(kMaxTbrBytes);
    errno = 0;
    const std::size_t size = std::fread(bytes.data(), 1, bytes.size(), file.get());
    const int readError = errno != 0 ? errno : EIO;
    if (std::ferror(file.get()))
        throw FileError(path.string(), "Could not read the brush file", std::strerror(readError));
    file.reset();
    TbrBrush brush;
    std::string error;
    if (!ParseTbr(bytes.data(), size, brush, error))
        throw FileError(path.string(), "Could not load the brush file", error);
    const int slot = ++doc.m_nLastBrush;
    doc.m_brush[slot] = RenumberTbrBrush(brush, LibraryTileNames(doc.m_tiles));
    doc.MarkBrushesChanged();
    doc.UpdateAllViews(sender);
    return slot;
}
