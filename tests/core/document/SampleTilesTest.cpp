// The generated sample tiles as the editor reads them: pictures of both depths, plain tiles that
// repeat without seams, and transitions whose edge meets each border it crosses at the middle.
// SampleLibraryTest covers the names, groups and slots.
#include "BmpFile.h"
#include "TestSupport.h"
#include "TileLibrary.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <memory>
#include <numeric>
#include <string>

namespace fs = std::filesystem;

namespace {

using Colour = std::array<double, 3>;

Colour Rgb(std::uint32_t c) {
    return {static_cast<double>(c >> 16 & 0xFF), static_cast<double>(c >> 8 & 0xFF),
            static_cast<double>(c & 0xFF)};
}

// Mean absolute channel difference between column (or row) a and column (or row) b.
double LineDifference(const Picture& p, int a, int b, bool columns) {
    double sum = 0;
    for (int i = 0; i < kTileSize; ++i) {
        const Colour u = Rgb(columns ? p.At(a, i) : p.At(i, a));
        const Colour v = Rgb(columns ? p.At(b, i) : p.At(i, b));
        for (int c = 0; c < 3; ++c)
            sum += std::abs(u[c] - v[c]);
    }
    return sum / (3.0 * kTileSize);
}

// The sample set as the editor loads it: tile pictures and average colours by tile name.
struct Tile {
    const Picture* picture;
    Colour average;
};
const std::map<std::string, Tile>& Tiles() {
    static const auto lib = std::make_unique<TileLibrary>();
    static const std::map<std::string, Tile> tiles = [] {
        lib->LoadTileLibrary(SampleWorkDir());
        std::map<std::string, Tile> byName;
        for (int i = 0; i <= lib->m_nLastTile; ++i)
            byName[lib->m_strTileName[i]] = {&lib->m_hTileDib[i], Rgb(lib->m_tileColor[i])};
        return byName;
    }();
    return tiles;
}

TEST(SampleTilesTest, EveryFileIsA128SquareBitmapOfEitherDepth) {
    std::map<int, int> depths;
    for (const auto& entry : fs::directory_iterator(SampleWorkDir() / "Textures")) {
        const std::vector<std::uint8_t> bytes = ReadBytes(entry.path());
        BmpFile bmp;
        std::string error;
        ASSERT_TRUE(BmpFile::Parse(bytes, bmp, error)) << entry.path() << ": " << error;
        EXPECT_EQ(bmp.width, 128) << entry.path();
        EXPECT_EQ(bmp.height, 128) << entry.path();
        EXPECT_FALSE(bmp.topDown) << entry.path();
        // The file size and pixel offset fields, which the editor works out for itself.
        auto u32 = [&](int at) { return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16; };
        EXPECT_EQ(u32(2), static_cast<int>(bytes.size())) << entry.path();
        EXPECT_EQ(u32(10), static_cast<int>(bmp.pixelOffset)) << entry.path();
        ++depths[bmp.bitCount];
    }
    EXPECT_GE(depths[8], 8);
    EXPECT_GE(depths[24], 10);
}

TEST(SampleTilesTest, FullTilesRepeatWithoutSeams) {
    int checked = 0;
    for (const auto& [name, tile] : Tiles()) {
        if (name[4] != 'M')
            continue;
        ++checked;
        // The step from the last column to the first, where the next copy starts, is no larger
        // than a step inside the tile. Likewise for rows.
        for (bool columns : {true, false}) {
            double largest = 0;
            for (int a = 0; a + 1 < kTileSize; ++a)
                largest = std::max(largest, LineDifference(*tile.picture, a, a + 1, columns));
            EXPECT_LE(LineDifference(*tile.picture, kTileSize - 1, 0, columns), 1.2 * largest)
                << name << (columns ? " columns" : " rows");
        }
    }
    EXPECT_GE(checked, 12);
}

TEST(SampleTilesTest, TransitionsShowTheirCornersAndMeetBordersAtTheMiddle) {
    enum { NW = 1, NE = 2, SW = 4, SE = 8 };
    const std::map<char, int> kinds = {
        {'A', SW | SE}, {'B', NW | SW}, {'E', SW}, {'I', NW | SW | SE}};
    // Each border as a strip two pixels deep: its first and second corner, the strip's first
    // w x h box and the step along it.
    struct Border {
        int first, second, x0, y0, w, h, dx, dy;
    };
    const Border borders[] = {{NW, NE, 0, 0, 1, 2, 1, 0},
                              {SW, SE, 0, 126, 1, 2, 1, 0},
                              {NW, SW, 0, 0, 2, 1, 0, 1},
                              {NE, SE, 126, 0, 2, 1, 0, 1}};
    int checked = 0;
    for (const auto& [name, tile] : Tiles()) {
        if (!kinds.contains(name[4]))
            continue;
        ++checked;
        const Picture& t = *tile.picture;
        const Colour painted = Tiles().at(name.substr(0, 2) + "_1M000").average;
        const Colour back = Tiles().at(name.substr(2, 2) + "_1M000").average;
        double norm = 0;
        for (int k = 0; k < 3; ++k)
            norm += (painted[k] - back[k]) * (painted[k] - back[k]);
        ASSERT_GT(norm, 900.0) << name;
        // 0 for the background's colour, 1 for the painted terrain's; averaged over an area.
        auto paintedness = [&](int x0, int y0, int x1, int y1) {
            double dot = 0;
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    for (int k = 0; k < 3; ++k)
                        dot += (Rgb(t.At(x, y))[k] - back[k]) * (painted[k] - back[k]);
            return dot / norm / ((x1 - x0) * (y1 - y0));
        };
        if (name[4] == 'A') { // the painted half is the bottom of the picture
            EXPECT_GT(paintedness(0, 64, 128, 128), 0.65) << name;
            EXPECT_LT(paintedness(0, 0, 128, 64), 0.35) << name;
        }
        for (const Border& b : borders) {
            std::array<double, kTileSize> along{};
            for (int p = 0; p < kTileSize; ++p) {
                const int x = b.x0 + b.dx * p, y = b.y0 + b.dy * p;
                along[p] = paintedness(x, y, x + b.w, y + b.h);
            }
            auto isPainted = [&](int from, int to) {
                return std::accumulate(along.begin() + from, along.begin() + to, 0.0) /
                           (to - from) >
                       0.5;
            };
            const bool first = kinds.at(name[4]) & b.first, second = kinds.at(name[4]) & b.second;
            const std::string where = name + " border " + std::to_string(&b - borders);
            EXPECT_EQ(isPainted(2, 14), first) << where; // near the corners, their own terrain
            EXPECT_EQ(isPainted(114, 126), second) << where;
            if (first == second) {
                EXPECT_EQ(isPainted(40, 88), first) << where; // and no crossing between
                continue;
            }
            // The border splits best into its two terrains between pixels 63 and 64.
            auto cost = [&](int split) {
                double sum = 0;
                for (int p = 0; p < kTileSize; ++p)
                    sum += std::pow(along[p] - ((p < split) == first), 2);
                return sum;
            };
            int split = 8;
            for (int s = 9; s <= 120; ++s)
                split = cost(s) < cost(split) ? s : split;
            EXPECT_NEAR(split, 64, 3) << where;
        }
    }
    EXPECT_EQ(checked, 20);
}

} // namespace
