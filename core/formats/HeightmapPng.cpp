#include "HeightmapPng.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "MainDoc.h"
#include "PngIo.h"
#include "PngWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>
#include <png.h>

namespace {

// The decoded rows that a read keeps: the first min(height, 512) rows of an interlaced picture
// (its passes fill them in turn), or one row at a time otherwise.
struct RowStore {
    std::vector<std::uint8_t> rows;
    std::vector<std::uint8_t> scratch;
};

struct ReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~ReadStructs() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

// One row of grey samples (8 or 16 bits) into the cells of picture row y.
void StoreRow(const png_byte* row, int y, int width, int depth, HeightPlane& heights) {
    if (depth == 16) {
        for (int x = 0; x < width; ++x) {
            const unsigned v = (row[2 * x] << 8) | row[2 * x + 1];
            heights[CellIndex(x, y)] = static_cast<std::uint8_t>((v + 128) / 257);
        }
    } else {
        for (int x = 0; x < width; ++x)
            heights[CellIndex(x, y)] = row[x];
    }
}

bool Decode(png_structp png, png_infop info, RowStore& store, HeightPlane& heights) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_user_limits(png, kMaxPngSide, kMaxPngSide);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    png_set_expand(png); // palette to colour, grey below 8 bits to 8, transparency to alpha
    png_set_strip_alpha(png);
    if (colorType & PNG_COLOR_MASK_COLOR)
        png_set_rgb_to_gray_fixed(png, 1, -1, -1); // the default weights
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (png_get_channels(png, info) != 1 || (depth != 8 && depth != 16))
        png_error(png, "the picture's samples cannot be turned into grey levels");
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    const png_uint_32 keptRows = height < kMaxMapSize ? height : kMaxMapSize;
    const int keptColumns = static_cast<int>(width < kMaxMapSize ? width : kMaxMapSize);
    store.scratch.assign(rowBytes, 0);
    if (passes > 1)
        store.rows.assign(rowBytes * keptRows, 0);
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < height; ++y) {
            png_bytep row = passes > 1 && y < keptRows ? store.rows.data() + rowBytes * y
                                                       : store.scratch.data();
            png_read_row(png, row, nullptr);
            if (passes == 1 && y < keptRows)
                StoreRow(row, static_cast<int>(y), keptColumns, depth, heights);
        }
    if (passes > 1)
        for (png_uint_32 y = 0; y < keptRows; ++y)
            StoreRow(store.rows.data() + rowBytes * y, static_cast<int>(y), keptColumns, depth,
                     heights);
    png_read_end(png, nullptr); // checks the chunks after the picture data
    return true;
}

} // namespace

bool ParsePngHeights(const std::uint8_t* data, std::size_t size, HeightPlane& heights,
                     std::string& error, PngCrc crc) {
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        error = "the file is not a PNG picture (it lacks the PNG signature)";
        return false;
    }
    PngIo io;
    io.data = data;
    io.size = size;
    ReadStructs s;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &io, PngOnError, PngOnWarning);
    if (s.png)
        s.info = png_create_info_struct(s.png);
    if (!s.png || !s.info) {
        error = "libpng could not start";
        return false;
    }
    png_set_read_fn(s.png, &io, PngReadFromMemory);
    if (crc == PngCrc::Ignore)
        png_set_crc_action(s.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    RowStore store;
    if (!Decode(s.png, s.info, store, heights)) {
        error = std::string("the PNG picture cannot be read: ") + io.message;
        return false;
    }
    return true;
}

bool EncodePngHeights(const HeightPlane& heights, std::vector<std::uint8_t>& png,
                      std::string& error) {
    PngRows rows;
    rows.width = rows.height = kMaxMapSize;
    rows.kind = PngRows::Kind::Grey;
    rows.bitDepth = 16;
    // Heights change smoothly along a row: the Sub filter with a light deflate level gives files
    // as small as libpng's defaults (adaptive filters, level 6) in a quarter of the time.
    rows.filter = PNG_FILTER_SUB;
    rows.level = 3;
    rows.fillRow = [&heights](int y, std::uint8_t* row) {
        // h * 257 has h in both bytes of the big-endian sample.
        for (int x = 0; x < kMaxMapSize; ++x)
            row[2 * x] = row[2 * x + 1] = heights[CellIndex(x, y)];
    };
    png.reserve(kPlaneCells);
    return EncodePng(rows, png, error);
}

void ImportPngHeights(CMainDoc& doc, const std::filesystem::path& path, CDocObserver* sender) {
    const std::vector<std::uint8_t> bytes = ReadHeightPicture(path);
    HeightPlane heights = StagingHeights(doc);
    std::string error;
    if (!ParsePngHeights(bytes.data(), bytes.size(), heights, error))
        throw FileError(path.string(), "Could not import the heightmap", error);
    ApplyImportedHeights(doc, heights, sender);
}

void ExportPngHeights(const CMainDoc& doc, const std::filesystem::path& path) {
    std::vector<std::uint8_t> png;
    std::string error;
    if (!EncodePngHeights(doc.m_map.m_height, png, error))
        throw FileError(path.string(), "Could not write", error);
    WriteFileAtomically(path, png);
}
