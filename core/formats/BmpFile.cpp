#include "BmpFile.h"

namespace {
std::uint32_t U32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t U16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// Pictures larger than this are not tiles or height maps; refusing them keeps sizes sane.
constexpr long long kMaxDimension = 32768;
} // namespace

bool BmpFile::Parse(std::vector<std::uint8_t> data, BmpFile& out, std::string& error) {
    out = BmpFile{};
    if (data.size() < 14 || data[0] != 'B' || data[1] != 'M') {
        error = data.size() < 14 ? "the file is too short to be a BMP picture"
                                 : "the file does not begin with the BMP signature \"BM\"";
        return false;
    }
    if (data.size() < 18) {
        error = "the BMP header is cut short";
        return false;
    }
    const std::uint8_t* info = data.data() + 14;
    const std::uint32_t headerSize = U32(info);
    long long width = 0, height = 0;
    int bitCount = 0;
    std::uint32_t compression = 0, colorsUsed = 0;
    std::size_t paletteEntrySize = 4;
    if (headerSize == 12) {
        if (data.size() < 14 + 12) {
            error = "the BMP header is cut short";
            return false;
        }
        width = U16(info + 4);
        height = static_cast<std::int16_t>(U16(info + 6));
        bitCount = U16(info + 10);
        paletteEntrySize = 3;
    } else if (headerSize >= 40 && headerSize <= 1024) {
        if (data.size() < 14 + static_cast<std::size_t>(headerSize)) {
            error = "the BMP header is cut short";
            return false;
        }
        width = static_cast<std::int32_t>(U32(info + 4));
        height = static_cast<std::int32_t>(U32(info + 8));
        bitCount = U16(info + 14);
        compression = U32(info + 16);
        colorsUsed = U32(info + 32);
    } else {
        error = "the BMP header has an unknown size (" + std::to_string(headerSize) + " bytes)";
        return false;
    }
    if (compression != 0) {
        error = "the BMP picture is compressed";
        return false;
    }
    if (bitCount != 8 && bitCount != 24) {
        error = "the BMP picture has " + std::to_string(bitCount) +
                " bits per pixel (8 or 24 are supported)";
        return false;
    }
    const bool topDown = height < 0;
    if (topDown)
        height = -height;
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) {
        error = "the BMP picture has an unusable size (" + std::to_string(width) + " x " +
                std::to_string(height) + ")";
        return false;
    }

    std::size_t paletteCount = 0;
    if (bitCount == 8)
        paletteCount = (colorsUsed != 0) ? colorsUsed : 256;
    if (paletteCount > 256) {
        error = "the BMP colour table is too large";
        return false;
    }
    // The bits begin where the file header says: writers may leave a gap after the colour
    // table, and 24-bit files may carry a table they do not use.
    const std::size_t paletteOffset = 14 + headerSize;
    const std::size_t headersEnd = paletteOffset + paletteCount * paletteEntrySize;
    const std::uint32_t pixelOffset = U32(data.data() + 10);
    if (pixelOffset < headersEnd) {
        error = "the BMP pixel data offset (" + std::to_string(pixelOffset) +
                ") lies inside the headers and colour table, which end at byte " +
                std::to_string(headersEnd);
        return false;
    }
    if (pixelOffset > data.size()) {
        error = "the BMP pixel data offset (" + std::to_string(pixelOffset) +
                ") lies beyond the end of the file (" + std::to_string(data.size()) + " bytes)";
        return false;
    }
    const long long stride = ((width * bitCount + 31) / 32) * 4;
    const long long needed = static_cast<long long>(pixelOffset) + stride * height;
    if (needed > static_cast<long long>(data.size())) {
        error = "the BMP file is shorter than its picture (the bits from offset " +
                std::to_string(pixelOffset) + " need " + std::to_string(needed) +
                " bytes, the file has " + std::to_string(data.size()) + ")";
        return false;
    }

    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.bitCount = bitCount;
    out.topDown = topDown;
    out.rowStride = static_cast<int>(stride);
    out.pixelOffset = pixelOffset;
    if (bitCount == 8) {
        // Indices beyond a short colour table read as black.
        out.palette.assign(256, 0u);
        for (std::size_t i = 0; i < paletteCount; ++i) {
            const std::uint8_t* e = data.data() + paletteOffset + i * paletteEntrySize;
            out.palette[i] = (static_cast<std::uint32_t>(e[2]) << 16) | (e[1] << 8) | e[0];
        }
    }
    out.bytes = std::move(data);
    return true;
}
