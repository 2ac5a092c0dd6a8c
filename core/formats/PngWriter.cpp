#include "PngWriter.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "PngIo.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <new>

void PngOnError(png_structp png, png_const_charp message) {
    auto* io = static_cast<PngIo*>(png_get_error_ptr(png));
    if (io->warning[0] != 0)
        std::snprintf(io->message, sizeof io->message, "%s (%s)", message, io->warning);
    else
        std::snprintf(io->message, sizeof io->message, "%s", message);
    png_longjmp(png, 1);
}

void PngOnWarning(png_structp png, png_const_charp message) {
    auto* io = static_cast<PngIo*>(png_get_error_ptr(png));
    std::snprintf(io->warning, sizeof io->warning, "%s", message);
}

void PngReadFromMemory(png_structp png, png_bytep dst, png_size_t n) {
    auto* io = static_cast<PngIo*>(png_get_io_ptr(png));
    if (n > io->size - io->pos)
        png_error(png, "the file is cut short");
    std::memcpy(dst, io->data + io->pos, n);
    io->pos += n;
}

void PngWriteToMemory(png_structp png, png_bytep src, png_size_t n) {
    auto* io = static_cast<PngIo*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        io->out->insert(io->out->end(), src, src + n);
    } catch (const std::bad_alloc&) {
        failed = true;
    }
    if (failed)
        png_error(png, "out of memory");
}

void PngFlushMemory(png_structp) {}

namespace {

struct WriteStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~WriteStructs() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

bool Encode(png_structp png, png_infop info, const PngRows& rows, png_bytep row) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(rows.width),
                 static_cast<png_uint_32>(rows.height), rows.bitDepth,
                 rows.kind == PngRows::Kind::Rgb ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (rows.filter >= 0)
        png_set_filter(png, 0, rows.filter);
    png_set_compression_level(png, rows.level);
    png_write_info(png, info);
    for (int y = 0; y < rows.height; ++y) {
        rows.fillRow(y, row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::size_t PngRows::RowBytes() const {
    const std::size_t channels = kind == Kind::Rgb ? 3 : 1;
    return static_cast<std::size_t>(width) * channels * static_cast<std::size_t>(bitDepth / 8);
}

bool EncodePng(const PngRows& rows, std::vector<std::uint8_t>& png, std::string& error) {
    png.clear();
    if (rows.width <= 0 || rows.height <= 0) {
        error = "the picture is empty";
        return false;
    }
    PngIo io;
    io.out = &png;
    WriteStructs s;
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &io, PngOnError, PngOnWarning);
    if (s.png)
        s.info = png_create_info_struct(s.png);
    if (!s.png || !s.info) {
        error = "libpng could not start";
        return false;
    }
    png_set_write_fn(s.png, &io, PngWriteToMemory, PngFlushMemory);
    std::vector<png_byte> row(rows.RowBytes());
    if (!Encode(s.png, s.info, rows, row.data())) {
        error = std::string("libpng failed: ") + io.message;
        return false;
    }
    return true;
}

void PixelsToRgb(const std::uint32_t* pixels, int n, std::uint8_t* rgb) {
    for (int x = 0; x < n; ++x) {
        const std::uint32_t p = pixels[x];
        rgb[3 * x] = static_cast<std::uint8_t>(p >> 16);
        rgb[3 * x + 1] = static_cast<std::uint8_t>(p >> 8);
        rgb[3 * x + 2] = static_cast<std::uint8_t>(p);
    }
}

bool EncodePicturePng(const Picture& picture, std::vector<std::uint8_t>& png, std::string& error) {
    PngRows rows;
    rows.width = picture.width;
    rows.height = picture.height;
    rows.fillRow = [&picture](int y, std::uint8_t* row) {
        PixelsToRgb(picture.Row(y), picture.width, row);
    };
    return EncodePng(rows, png, error);
}

void WritePicturePng(const Picture& picture, const std::filesystem::path& path) {
    std::vector<std::uint8_t> png;
    std::string error;
    if (!EncodePicturePng(picture, png, error))
        throw FileError(path.string(), "Could not write", error);
    WriteFileAtomically(path, png);
}
