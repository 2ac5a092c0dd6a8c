#include "TestSupport.h"

#include <atomic>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    m_path = fs::temp_directory_path() /
             ("terrain-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

TestBmp TestBmp::Filled(int w, int h, std::uint32_t color) {
    TestBmp b;
    b.width = w;
    b.height = h;
    b.pixels.assign(static_cast<std::size_t>(w) * h, color);
    return b;
}

namespace {
void Put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    v[at] = x & 0xFF;
    v[at + 1] = (x >> 8) & 0xFF;
}
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = (x >> (8 * i)) & 0xFF;
}
} // namespace

std::vector<std::uint8_t> TestBmp::Encode() const {
    const int bytesPerPixel = bitCount / 8;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytesPerPixel;
    const std::size_t stride = padRows ? (rowBytes + 3) / 4 * 4 : rowBytes;
    const std::size_t paletteBytes = bitCount == 8 ? 4 * palette.size() : 0;
    const std::size_t offset = 14 + 40 + paletteBytes;
    std::vector<std::uint8_t> v(offset + stride * height, 0);
    v[0] = 'B';
    v[1] = 'M';
    Put32(v, 2, static_cast<std::uint32_t>(v.size()));
    Put32(v, 10, static_cast<std::uint32_t>(offset));
    Put32(v, 14, 40);
    Put32(v, 18, static_cast<std::uint32_t>(width));
    Put32(v, 22, static_cast<std::uint32_t>(topDown ? -height : height));
    Put16(v, 26, 1);
    Put16(v, 28, static_cast<std::uint32_t>(bitCount));
    Put32(v, 46, bitCount == 8 ? static_cast<std::uint32_t>(palette.size()) : 0);
    for (std::size_t i = 0; i < palette.size() && bitCount == 8; ++i)
        Put32(v, 54 + 4 * i, palette[i]);
    for (int y = 0; y < height; ++y) {
        const int stored = topDown ? y : height - 1 - y;
        std::uint8_t* row = v.data() + offset + stride * stored;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            if (bitCount == 8) {
                row[x] = static_cast<std::uint8_t>(p);
            } else if (bitCount == 24) {
                row[3 * x] = p & 0xFF;
                row[3 * x + 1] = (p >> 8) & 0xFF;
                row[3 * x + 2] = (p >> 16) & 0xFF;
            }
        }
    }
    return v;
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void TestBmp::Write(const fs::path& path) const { WriteBytes(path, Encode()); }
