#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A temporary folder removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Builds BMP files in memory for tests. `pixel(x, y)` gives 0x00RRGGBB for picture column x,
// row y counted from the top.
struct TestBmp {
    int width = 128;
    int height = 128;
    int bitCount = 24;   // 8 or 24 (or anything else to write a file of that depth)
    bool topDown = false;
    bool padRows = true; // rows padded to 4 bytes, as real files are
    std::vector<std::uint32_t> palette; // for 8-bit files; pixels then are palette indices
    std::vector<std::uint32_t> pixels;  // width * height, top row first

    static TestBmp Filled(int w, int h, std::uint32_t color);
    std::vector<std::uint8_t> Encode() const;
    void Write(const std::filesystem::path& path) const;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
