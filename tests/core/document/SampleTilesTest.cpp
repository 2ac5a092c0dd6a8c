// Checks the generated sample tile set: names, file format, and that the pictures tile and join
// the way the editor puts them together.

#include "SampleTiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Colour = std::array<double, 3>; // r, g, b

double Distance(const Colour& a, const Colour& b) {
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

// A decoded bitmap, rows from the top of the picture down.
struct Bitmap {
    int width = 0;
    int height = 0;
    int bits = 0;
    std::uint32_t coloursUsed = 0;
    std::vector<Colour> pixels;

    const Colour& At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }

    // Mean colour of the pixels with x0 <= x < x1 and y0 <= y < y1.
    Colour Mean(int x0, int y0, int x1, int y1) const {
        Colour sum{};
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                for (int c = 0; c < 3; ++c)
                    sum[c] += At(x, y)[c];
        const double n = static_cast<double>((x1 - x0) * (y1 - y0));
        return {sum[0] / n, sum[1] / n, sum[2] / n};
    }
    Colour Mean() const { return Mean(0, 0, width, height); }
};

std::uint32_t Le(const std::vector<std::uint8_t>& d, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | d[at + static_cast<std::size_t>(i)];
    return v;
}

// Reads an uncompressed bottom-up 24 or 8-bit Windows bitmap; `error` says what is wrong with
// anything else.
Bitmap ReadBmp(const fs::path& file, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<std::uint8_t> d{std::istreambuf_iterator<char>(in), {}};
    Bitmap bmp;
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') {
        error = "no bitmap header";
        return bmp;
    }
    const std::uint32_t offset = Le(d, 10, 4);
    if (Le(d, 2, 4) != d.size() || Le(d, 14, 4) != 40 || Le(d, 26, 2) != 1 || Le(d, 30, 4) != 0) {
        error = "unexpected header fields";
        return bmp;
    }
    const auto width = static_cast<std::int32_t>(Le(d, 18, 4));
    const auto height = static_cast<std::int32_t>(Le(d, 22, 4));
    bmp.bits = static_cast<int>(Le(d, 28, 2));
    bmp.coloursUsed = Le(d, 46, 4);
    if (width <= 0 || height <= 0 || (bmp.bits != 24 && bmp.bits != 8)) {
        error = "not a bottom-up 24 or 8-bit picture";
        return bmp;
    }
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bmp.bits / 8 + 3) / 4 * 4;
    const std::size_t paletteEntries =
        bmp.bits == 8 ? (bmp.coloursUsed ? bmp.coloursUsed : 256) : 0;
    if (offset < 54 + paletteEntries * 4 || offset + rowBytes * height > d.size()) {
        error = "truncated";
        return bmp;
    }
    bmp.width = width;
    bmp.height = height;
    bmp.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        // The first row in the file is the bottom row of the picture.
        const std::size_t row = offset + rowBytes * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            std::size_t at = 0;
            if (bmp.bits == 24) {
                at = row + 3 * static_cast<std::size_t>(x);
            } else {
                const std::size_t index = d[row + static_cast<std::size_t>(x)];
                if (index >= paletteEntries) {
                    error = "palette index out of range";
                    return Bitmap{};
                }
                at = 54 + 4 * index;
            }
            bmp.pixels[static_cast<std::size_t>(y * width + x)] = {static_cast<double>(d[at + 2]),
                                                                   static_cast<double>(d[at + 1]),
                                                                   static_cast<double>(d[at])};
        }
    }
    return bmp;
}

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Mean absolute channel difference between column (or row) a of `p` and column (or row) b of
// `q`.
double LineDifference(const Bitmap& p, int a, const Bitmap& q, int b, bool columns) {
    double sum = 0;
    const int n = columns ? p.height : p.width;
    for (int i = 0; i < n; ++i) {
        const Colour& u = columns ? p.At(a, i) : p.At(i, a);
        const Colour& v = columns ? q.At(b, i) : q.At(i, b);
        for (int c = 0; c < 3; ++c)
            sum += std::abs(u[c] - v[c]);
    }
    return sum / (3.0 * n);
}

// The largest difference between neighbouring columns (or rows) inside the picture.
double LargestNeighbourDifference(const Bitmap& p, bool columns) {
    double largest = 0;
    const int n = columns ? p.width : p.height;
    for (int i = 0; i + 1 < n; ++i)
        largest = std::max(largest, LineDifference(p, i, p, i + 1, columns));
    return largest;
}

// The set is written once into a fresh folder and read back for all tests.
class SampleTilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        s_dir = fs::temp_directory_path() / ("sample-tiles-" + std::to_string(stamp));
        s_written = samplegen::WriteSampleTiles(s_dir / "Textures");
        for (const auto& entry : fs::directory_iterator(s_dir / "Textures")) {
            std::string error;
            Bitmap bmp = ReadBmp(entry.path(), error);
            s_errors[entry.path().filename().string()] = error;
            s_tiles[Upper(entry.path().filename().string()).substr(0, 8)] = std::move(bmp);
        }
    }
    static void TearDownTestSuite() {
        std::error_code ignored;
        fs::remove_all(s_dir, ignored);
    }

    static const Bitmap& Tile(const std::string& name) {
        static const Bitmap none;
        const auto it = s_tiles.find(name);
        EXPECT_NE(it, s_tiles.end()) << name << " was not written";
        return it == s_tiles.end() ? none : it->second;
    }

    // Names of the tiles whose first characters are `prefix` and whose kind letter is `kind`.
    static std::vector<std::string> TilesOf(const std::string& prefix, char kind) {
        std::vector<std::string> names;
        for (const auto& [name, bmp] : s_tiles)
            if (name.size() == 8 && name.compare(0, prefix.size(), prefix) == 0 && name[4] == kind)
                names.push_back(name);
        return names;
    }

    // Mean colour of all plain (M) tiles of a terrain.
    static Colour TerrainMean(const std::string& terrain) {
        Colour sum{};
        const std::vector<std::string> names = TilesOf(terrain, 'M');
        for (const std::string& name : names) {
            const Colour m = Tile(name).Mean();
            for (int c = 0; c < 3; ++c)
                sum[c] += m[c] / static_cast<double>(names.size());
        }
        return sum;
    }

    static std::vector<std::string> Groups() {
        std::set<std::string> codes;
        for (const auto& [name, bmp] : s_tiles)
            if (name.size() == 8 && name[4] >= 'A' && name[4] <= 'L')
                codes.insert(name.substr(0, 4));
        return {codes.begin(), codes.end()};
    }

    static inline fs::path s_dir;
    static inline std::vector<std::string> s_written;
    static inline std::map<std::string, std::string> s_errors; // by file name
    static inline std::map<std::string, Bitmap> s_tiles;       // by tile name
};

TEST_F(SampleTilesTest, NamesFollowTheTileNamingRules) {
    // The returned list is exactly what is in the folder, and no two files share a tile name.
    std::vector<std::string> listed;
    for (const auto& [file, error] : s_errors)
        listed.push_back(file);
    std::vector<std::string> written = s_written;
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, listed);
    EXPECT_EQ(s_tiles.size(), listed.size()) << "two files share their first 8 characters";

    std::vector<std::string> sorted;
    for (const std::string& file : listed) {
        ASSERT_EQ(file.size(), 12u) << file;
        EXPECT_EQ(Upper(fs::path(file).extension().string()), ".BMP") << file;
        sorted.push_back(Upper(file).substr(0, 8));
    }
    std::sort(sorted.begin(), sorted.end());

    std::map<char, int> kinds;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        const std::string& name = sorted[i];
        const char kind = name[4];
        ++kinds[kind];
        if (kind >= 'A' && kind <= 'L') {
            EXPECT_TRUE(name[6] >= '0' && name[6] <= '4') << name << ": version digit";
        } else if (kind == 'S') {
            EXPECT_TRUE(IsDigit(name[3]) && IsDigit(name[6]) && IsDigit(name[7])) << name;
            // A piece joins the group of the transitions listed just before it, which should
            // be a group painting the piece's terrain.
            ASSERT_GT(i, 0u) << name;
            std::size_t previous = i - 1;
            while (previous > 0 && sorted[previous][4] == 'S')
                --previous;
            EXPECT_TRUE(sorted[previous][4] >= 'A' && sorted[previous][4] <= 'L' &&
                        sorted[previous].compare(0, 2, name, 0, 2) == 0)
                << name << " follows " << sorted[previous];
        } else {
            EXPECT_TRUE(kind == 'M' || kind == 'N') << name << ": unknown kind";
        }
    }
    EXPECT_GE(kinds['N'], 3);
    EXPECT_EQ(kinds['S'], 4);
    for (const std::string piece : {"GRE0S_00", "GRE0S_10", "GRE0S_01", "GRE0S_11"})
        EXPECT_EQ(s_tiles.count(piece), 1u) << piece;

    // Every group has the four drawn kinds in version 0 and plain tiles for both its terrains;
    // every single tile belongs to some group.
    const std::vector<std::string> groups = Groups();
    EXPECT_EQ(groups.size(), 4u);
    for (const std::string& group : groups) {
        for (char kind : {'A', 'B', 'E', 'I'})
            EXPECT_EQ(s_tiles.count(group + kind + "000"), 1u) << group << kind;
        EXPECT_GE(TilesOf(group.substr(0, 2), 'M').size(), 2u) << group;
        EXPECT_GE(TilesOf(group.substr(2, 2), 'M').size(), 2u) << group;
    }
    for (const std::string& single : TilesOf("", 'N'))
        EXPECT_TRUE(std::any_of(groups.begin(), groups.end(), [&](const std::string& g) {
            return g.compare(0, 2, single, 0, 2) == 0;
        })) << single;
}

TEST_F(SampleTilesTest, EveryFileIsA128SquareBitmapOfEitherDepth) {
    std::map<int, int> depths;
    for (const auto& [file, error] : s_errors) {
        EXPECT_EQ(error, "") << file;
        const Bitmap& bmp = s_tiles.at(Upper(file).substr(0, 8));
        EXPECT_EQ(bmp.width, 128) << file;
        EXPECT_EQ(bmp.height, 128) << file;
        if (bmp.bits == 8) {
            EXPECT_EQ(bmp.coloursUsed, 256u) << file;
        }
        ++depths[bmp.bits];
    }
    EXPECT_GE(depths[24], 10);
    EXPECT_GE(depths[8], 8);
}

TEST_F(SampleTilesTest, PlainTilesRepeatWithoutSeamsAndVaryAroundOneColour) {
    for (const std::string terrain : {"GR", "DI", "SA", "WA", "RK", "SN"}) {
        const std::vector<std::string> names = TilesOf(terrain, 'M');
        ASSERT_GE(names.size(), 2u) << terrain;
        for (const std::string& name : names) {
            const Bitmap& tile = Tile(name);
            ASSERT_EQ(tile.pixels.size(), 128u * 128u) << name;
            // The step from the last column to the first, where a copy of the tile follows,
            // is no larger than a step inside the tile. Likewise for rows.
            for (bool columns : {true, false}) {
                const double wrap = LineDifference(tile, 127, tile, 0, columns);
                EXPECT_LE(wrap, 1.2 * LargestNeighbourDifference(tile, columns))
                    << name << (columns ? " columns" : " rows");
            }
        }
        // Alternatives differ in their detail but not in their overall colour.
        for (std::size_t i = 1; i < names.size(); ++i) {
            const Bitmap& a = Tile(names[0]);
            const Bitmap& b = Tile(names[i]);
            EXPECT_LT(Distance(a.Mean(), b.Mean()), 6.0) << names[0] << " " << names[i];
            double difference = 0;
            for (std::size_t p = 0; p < a.pixels.size(); ++p)
                difference += Distance(a.pixels[p], b.pixels[p]);
            EXPECT_GT(difference / static_cast<double>(a.pixels.size()), 8.0)
                << names[0] << " " << names[i] << " look the same";
        }
    }
}

TEST_F(SampleTilesTest, TransitionsPaintTheirCornersAndMeetBordersAtTheMiddle) {
    struct Kind {
        char letter;
        bool nw, ne, sw, se;
    };
    const Kind kinds[] = {{'A', false, false, true, true},
                          {'B', true, false, true, false},
                          {'E', false, false, true, false},
                          {'I', true, false, true, true}};
    for (const std::string& group : Groups()) {
        const Colour painted = TerrainMean(group.substr(0, 2));
        const Colour background = TerrainMean(group.substr(2, 2));
        ASSERT_GT(Distance(painted, background), 30.0) << group;
        // Position of a colour along the way from the background to the painted terrain.
        auto paintedness = [&](const Colour& c) {
            double dot = 0, norm = 0;
            for (int i = 0; i < 3; ++i) {
                dot += (c[i] - background[i]) * (painted[i] - background[i]);
                norm += (painted[i] - background[i]) * (painted[i] - background[i]);
            }
            return dot / norm;
        };

        for (int version = 0; version <= 4; ++version) {
            const std::string a = group + "A0" + std::to_string(version) + "0";
            if (s_tiles.count(a) == 0)
                continue;
            // A: the painted half is the bottom of the picture.
            const Bitmap& tile = Tile(a);
            ASSERT_EQ(tile.pixels.size(), 128u * 128u) << a;
            const double limit = 0.35 * Distance(painted, background);
            EXPECT_LT(Distance(tile.Mean(0, 64, 128, 128), painted), limit) << a << " bottom";
            EXPECT_LT(Distance(tile.Mean(0, 0, 128, 64), background), limit) << a << " top";

            for (const Kind& kind : kinds) {
                const std::string name = group + kind.letter + "0" + std::to_string(version) + "0";
                const Bitmap& t = Tile(name);
                if (t.width != 128 || t.height != 128)
                    continue;
                // Each border as a strip two pixels deep, from its first corner to its second.
                struct Border {
                    const char* side;
                    bool first, second;
                    int x0, y0, dx, dy, inward_x, inward_y;
                };
                const Border borders[] = {
                    {"north", kind.nw, kind.ne, 0, 0, 1, 0, 0, 1},
                    {"south", kind.sw, kind.se, 0, 127, 1, 0, 0, -1},
                    {"west", kind.nw, kind.sw, 0, 0, 0, 1, 1, 0},
                    {"east", kind.ne, kind.se, 127, 0, 0, 1, -1, 0},
                };
                for (const Border& b : borders) {
                    // Colour at position p along the border, averaged over the strip's depth.
                    auto at = [&](int p) {
                        const Colour& outer = t.At(b.x0 + b.dx * p, b.y0 + b.dy * p);
                        const Colour& inner =
                            t.At(b.x0 + b.dx * p + b.inward_x, b.y0 + b.dy * p + b.inward_y);
                        return Colour{(outer[0] + inner[0]) / 2, (outer[1] + inner[1]) / 2,
                                      (outer[2] + inner[2]) / 2};
                    };
                    auto mean = [&](int from, int to) {
                        Colour sum{};
                        for (int p = from; p < to; ++p)
                            for (int c = 0; c < 3; ++c)
                                sum[c] += at(p)[c] / (to - from);
                        return sum;
                    };
                    auto expect = [&](bool isPainted, int from, int to) {
                        const double value = paintedness(mean(from, to));
                        EXPECT_EQ(value > 0.5, isPainted)
                            << name << " " << b.side << " border at " << from << ".." << to
                            << ": paintedness " << value;
                    };
                    // Near the corners the border shows the terrain its corner stands for.
                    expect(b.first, 2, 14);
                    expect(b.second, 114, 126);
                    if (b.first == b.second) {
                        expect(b.first, 40, 88); // and no crossing in between
                        continue;
                    }
                    // The crossing is at the middle, between pixels 63 and 64: the border
                    // splits best into two runs of uniform colour there. (Fitting the whole
                    // border keeps single texture features from drawing the split.)
                    auto spread = [&](int from, int to) {
                        const Colour m = mean(from, to);
                        double sum = 0;
                        for (int p = from; p < to; ++p)
                            sum += Distance(at(p), m) * Distance(at(p), m);
                        return sum;
                    };
                    int split = 0;
                    double best = 1e300;
                    for (int p = 8; p <= 120; ++p) {
                        const double cost = spread(0, p) + spread(p, 128);
                        if (cost < best) {
                            best = cost;
                            split = p;
                        }
                    }
                    EXPECT_NEAR(split, 64, 3) << name << " " << b.side << " border";
                }
            }
        }
    }
}

TEST_F(SampleTilesTest, PondPiecesJoinEachOtherAndTheGrass) {
    const Bitmap& topLeft = Tile("GRE0S_00");
    const Bitmap& topRight = Tile("GRE0S_10");
    const Bitmap& bottomLeft = Tile("GRE0S_01");
    const Bitmap& bottomRight = Tile("GRE0S_11");
    const Bitmap& grass = Tile("GR_1M000");
    for (const Bitmap* b : {&topLeft, &topRight, &bottomLeft, &bottomRight, &grass})
        ASSERT_EQ(b->pixels.size(), 128u * 128u);

    // Inner seams: column 0 is the left piece, row 0 the top piece.
    const double columnStep = std::max(LargestNeighbourDifference(topLeft, true),
                                       LargestNeighbourDifference(bottomRight, true));
    const double rowStep = std::max(LargestNeighbourDifference(topLeft, false),
                                    LargestNeighbourDifference(bottomRight, false));
    EXPECT_LE(LineDifference(topLeft, 127, topRight, 0, true), 1.2 * columnStep);
    EXPECT_LE(LineDifference(bottomLeft, 127, bottomRight, 0, true), 1.2 * columnStep);
    EXPECT_LE(LineDifference(topLeft, 127, bottomLeft, 0, false), 1.2 * rowStep);
    EXPECT_LE(LineDifference(topRight, 127, bottomRight, 0, false), 1.2 * rowStep);

    // The outer border is plain grass, continuing a grass tile placed next to it.
    EXPECT_LE(LineDifference(grass, 127, topLeft, 0, true), 1.2 * columnStep);
    EXPECT_LE(LineDifference(topRight, 127, grass, 0, true), 1.2 * columnStep);
    EXPECT_LE(LineDifference(grass, 127, topLeft, 0, false), 1.2 * rowStep);
    EXPECT_LE(LineDifference(bottomLeft, 127, grass, 0, false), 1.2 * rowStep);
    // ... while the middle of the picture is something else.
    const Colour centre = bottomRight.Mean(0, 0, 24, 24);
    EXPECT_GT(Distance(centre, grass.Mean()), 40.0);
}

} // namespace
