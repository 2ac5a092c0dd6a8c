#include "TestPng.h"

#include <algorithm>
#include <png.h>

namespace {

struct Buffer {
    std::vector<std::uint8_t>* bytes;
    std::size_t pos = 0;
};

void OnError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void OnWarning(png_structp, png_const_charp) {}

void Append(png_structp png, png_bytep data, png_size_t n) {
    auto* b = static_cast<Buffer*>(png_get_io_ptr(png));
    b->bytes->insert(b->bytes->end(), data, data + n);
}
void Flush(png_structp) {}

void Take(png_structp png, png_bytep data, png_size_t n) {
    auto* b = static_cast<Buffer*>(png_get_io_ptr(png));
    if (n > b->bytes->size() - b->pos)
        png_error(png, "short");
    std::copy_n(b->bytes->data() + b->pos, n, data);
    b->pos += n;
}

// Packs or spreads samples of `depth` bits per row, big-endian as PNG stores them.
std::vector<std::uint8_t> PackRow(const std::uint16_t* s, int count, int depth) {
    std::vector<std::uint8_t> row((static_cast<std::size_t>(count) * depth + 7) / 8);
    for (int i = 0; i < count; ++i) {
        if (depth == 16) {
            row[2 * i] = static_cast<std::uint8_t>(s[i] >> 8);
            row[2 * i + 1] = static_cast<std::uint8_t>(s[i]);
        } else {
            const int bit = i * depth;
            row[bit / 8] |= static_cast<std::uint8_t>(s[i] << (8 - depth - bit % 8));
        }
    }
    return row;
}

std::uint16_t Unpack(const std::uint8_t* row, int i, int depth) {
    if (depth == 16)
        return static_cast<std::uint16_t>((row[2 * i] << 8) | row[2 * i + 1]);
    const int bit = i * depth;
    return static_cast<std::uint16_t>((row[bit / 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1));
}

bool WriteAll(png_structp png, png_infop info, const TestPng& p,
              const std::vector<std::vector<std::uint8_t>>& rows, std::vector<png_color>& colours) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, p.width, p.height, p.bitDepth, p.colorType,
                 p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (p.colorType == TestPng::Palette)
        png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (const auto& r : rows)
        pointers.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    return true;
}

bool ReadAll(png_structp png, png_infop info, TestPng& p, std::vector<std::uint8_t>& pixels) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    p.width = static_cast<int>(png_get_image_width(png, info));
    p.height = static_cast<int>(png_get_image_height(png, info));
    p.colorType = png_get_color_type(png, info);
    p.bitDepth = png_get_bit_depth(png, info);
    p.interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t rowBytes = png_get_rowbytes(png, info);
    pixels.assign(rowBytes * p.height, 0);
    std::vector<png_bytep> pointers;
    for (int y = 0; y < p.height; ++y)
        pointers.push_back(pixels.data() + rowBytes * y);
    png_read_image(png, pointers.data());
    png_read_end(png, nullptr);
    return true;
}

} // namespace

int TestPng::Channels() const {
    switch (colorType) {
    case Rgb:
        return 3;
    case GreyAlpha:
        return 2;
    case Rgba:
        return 4;
    default:
        return 1;
    }
}

std::vector<std::uint8_t> TestPng::Encode() const {
    std::vector<std::vector<std::uint8_t>> rows;
    const int perRow = width * Channels();
    for (int y = 0; y < height; ++y)
        rows.push_back(
            PackRow(samples.data() + static_cast<std::size_t>(y) * perRow, perRow, bitDepth));
    std::vector<png_color> colours;
    for (const auto& c : palette)
        colours.push_back(png_color{c[0], c[1], c[2]});
    std::vector<std::uint8_t> file;
    Buffer out{&file};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, Append, Flush);
    const bool ok = WriteAll(png, info, *this, rows, colours);
    png_destroy_write_struct(&png, &info);
    if (!ok)
        throw std::runtime_error("libpng refused the test picture");
    return file;
}

TestPng TestPng::Decode(const std::vector<std::uint8_t>& file) {
    TestPng p;
    std::vector<std::uint8_t> pixels;
    auto bytes = file;
    Buffer in{&bytes};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    png_infop info = png_create_info_struct(png);
    png_set_read_fn(png, &in, Take);
    const bool ok = ReadAll(png, info, p, pixels);
    png_destroy_read_struct(&png, &info, nullptr);
    if (!ok)
        throw std::runtime_error("libpng could not read the picture");
    const int perRow = p.width * p.Channels();
    const std::size_t rowBytes = pixels.size() / p.height;
    for (int y = 0; y < p.height; ++y)
        for (int i = 0; i < perRow; ++i)
            p.samples.push_back(Unpack(pixels.data() + rowBytes * y, i, p.bitDepth));
    return p;
}
