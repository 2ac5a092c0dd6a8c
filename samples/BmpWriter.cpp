#include "BmpWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <stdexcept>
#include <unordered_map>

namespace samplegen {

namespace {

Colour8 ToBytes(const Rgb& c) {
    auto channel = [](float v) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
    };
    return {channel(c.r), channel(c.g), channel(c.b)};
}

void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    PutU16(out, v & 0xFFFF);
    PutU16(out, v >> 16);
}

// File header and BITMAPINFOHEADER for a bottom-up, uncompressed picture.
std::vector<std::uint8_t> Headers(const Image& image, int bitsPerPixel, std::uint32_t rowBytes) {
    const std::uint32_t paletteBytes = bitsPerPixel == 8 ? 256 * 4 : 0;
    const std::uint32_t dataOffset = 14 + 40 + paletteBytes;
    const std::uint32_t dataBytes = rowBytes * static_cast<std::uint32_t>(image.Height());
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    PutU32(out, dataOffset + dataBytes);
    PutU32(out, 0); // two reserved words
    PutU32(out, dataOffset);
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(image.Width()));
    PutU32(out, static_cast<std::uint32_t>(image.Height())); // positive: rows stored bottom-up
    PutU16(out, 1);                                          // planes
    PutU16(out, static_cast<std::uint32_t>(bitsPerPixel));
    PutU32(out, 0); // no compression
    PutU32(out, dataBytes);
    PutU32(out, 2835); // 72 dpi, in pixels per metre
    PutU32(out, 2835);
    PutU32(out, bitsPerPixel == 8 ? 256 : 0); // colours used
    PutU32(out, 0);                           // all colours important
    return out;
}

std::uint32_t RowBytes(int width, int bitsPerPixel) {
    const auto bits = static_cast<std::uint32_t>(width * bitsPerPixel);
    return (bits + 31) / 32 * 4;
}

void WriteFile(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (out)
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    if (out)
        out.close();
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

int Distance2(const Colour8& a, const Colour8& b) {
    const int dr = a[0] - b[0];
    const int dg = a[1] - b[1];
    const int db = a[2] - b[2];
    return dr * dr + dg * dg + db * db;
}

} // namespace

std::array<Colour8, 256> ChoosePalette(const Image& image) {
    struct Bucket {
        int count = 0;
        long r = 0, g = 0, b = 0;
    };
    std::map<int, Bucket> buckets; // ordered, so ties are broken the same way on every run
    for (int y = 0; y < image.Height(); ++y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Colour8 c = ToBytes(image.At(x, y));
            Bucket& bucket = buckets[(c[0] >> 3) << 10 | (c[1] >> 3) << 5 | (c[2] >> 3)];
            ++bucket.count;
            bucket.r += c[0];
            bucket.g += c[1];
            bucket.b += c[2];
        }
    }
    std::vector<const Bucket*> ranked;
    for (const auto& entry : buckets)
        ranked.push_back(&entry.second);
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const Bucket* a, const Bucket* b) { return a->count > b->count; });
    std::array<Colour8, 256> palette{};
    for (std::size_t i = 0; i < palette.size() && i < ranked.size(); ++i) {
        const Bucket& b = *ranked[i];
        auto average = [&](long sum) {
            return static_cast<std::uint8_t>((sum + b.count / 2) / b.count);
        };
        palette[i] = {average(b.r), average(b.g), average(b.b)};
    }
    return palette;
}

void WriteBmp24(const std::filesystem::path& file, const Image& image) {
    const std::uint32_t rowBytes = RowBytes(image.Width(), 24);
    std::vector<std::uint8_t> bytes = Headers(image, 24, rowBytes);
    for (int y = image.Height() - 1; y >= 0; --y) {
        const std::size_t rowStart = bytes.size();
        for (int x = 0; x < image.Width(); ++x) {
            const Colour8 c = ToBytes(image.At(x, y));
            bytes.push_back(c[2]);
            bytes.push_back(c[1]);
            bytes.push_back(c[0]);
        }
        bytes.resize(rowStart + rowBytes, 0);
    }
    WriteFile(file, bytes);
}

void WriteBmp8(const std::filesystem::path& file, const Image& image) {
    const std::array<Colour8, 256> palette = ChoosePalette(image);
    const std::uint32_t rowBytes = RowBytes(image.Width(), 8);
    std::vector<std::uint8_t> bytes = Headers(image, 8, rowBytes);
    for (const Colour8& c : palette) {
        bytes.push_back(c[2]);
        bytes.push_back(c[1]);
        bytes.push_back(c[0]);
        bytes.push_back(0);
    }
    std::unordered_map<int, std::uint8_t> nearest;
    auto indexOf = [&](const Colour8& c) {
        const int key = c[0] << 16 | c[1] << 8 | c[2];
        if (auto it = nearest.find(key); it != nearest.end())
            return it->second;
        std::size_t best = 0;
        for (std::size_t i = 1; i < palette.size(); ++i)
            if (Distance2(c, palette[i]) < Distance2(c, palette[best]))
                best = i;
        const auto index = static_cast<std::uint8_t>(best);
        nearest.emplace(key, index);
        return index;
    };
    for (int y = image.Height() - 1; y >= 0; --y) {
        const std::size_t rowStart = bytes.size();
        for (int x = 0; x < image.Width(); ++x)
            bytes.push_back(indexOf(ToBytes(image.At(x, y))));
        bytes.resize(rowStart + rowBytes, 0);
    }
    WriteFile(file, bytes);
}

} // namespace samplegen
