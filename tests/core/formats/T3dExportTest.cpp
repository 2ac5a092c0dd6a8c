#include "T3dExport.h"
#include "AtomicFile.h"
#include "MainDoc.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <set>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// One polygon record as read back from a file.
struct Polygon {
    std::string head; // the "Begin Polygon ..." line
    int origin = 0;
    std::string u, v; // the TextureU and TextureV values
    int vertex[3][3] = {};
};

// The file's lines, each of which must end with CR LF.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "last line without CR LF";
            break;
        }
        lines.push_back(text.substr(start, end - start));
        EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << lines.back();
        start = end + 2;
    }
    return lines;
}

// The polygon records of a whole piece file, checking its frame lines.
std::vector<Polygon> ReadPiece(const std::string& text, int pieceSize) {
    const std::vector<std::string> lines = Lines(text);
    const int count = 2 * pieceSize * pieceSize;
    EXPECT_EQ(lines.size(), 2u + 8u * count);
    if (lines.size() != 2u + 8u * count)
        return {};
    EXPECT_EQ(lines.front(),
              "Begin PolyList Num=" + std::to_string(count) + " Max=" + std::to_string(count));
    EXPECT_EQ(lines.back(), "End PolyList");
    std::vector<Polygon> polygons(count);
    for (int k = 0; k < count; ++k) {
        const std::string* l = &lines[1 + 8 * k];
        Polygon& p = polygons[k];
        p.head = l[0];
        EXPECT_EQ(std::sscanf(l[1].c_str(), "Origin 0,0,%d", &p.origin), 1) << l[1];
        EXPECT_EQ(l[2].rfind("TextureU ", 0), 0u);
        EXPECT_EQ(l[3].rfind("TextureV ", 0), 0u);
        p.u = l[2].substr(9);
        p.v = l[3].substr(9);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(std::sscanf(l[4 + i].c_str(), "Vertex %d,%d,%d", &p.vertex[i][0],
                                  &p.vertex[i][1], &p.vertex[i][2]),
                      3)
                << l[4 + i];
        EXPECT_EQ(l[7], "End Polygon");
    }
    return polygons;
}

std::string ReadText(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::string PieceText(const CMainDoc& doc, int x0, int y0, int size) {
    std::string text;
    WriteT3dPiece(text, doc, T3dCornerGrid(doc.m_map.m_height.data()), x0, y0, size);
    return text;
}

void SetLibrary(CMainDoc& d, const std::vector<std::string>& names) {
    d.m_tiles.m_nLastTile = static_cast<int>(names.size()) - 1;
    std::copy(names.begin(), names.end(), d.m_tiles.m_strTileName.begin());
}

T3dChoices Choices(int sizeIndex, int location) {
    T3dChoices c;
    c.Accept(sizeIndex, location);
    return c;
}

std::set<std::string> FileNames(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

class T3dExportTest : public ::testing::Test {
protected:
    void SetUp() override { SetLibrary(*m_doc, {"GRASA000", "ROCKB010"}); }
    void TearDown() override { AtomicFile::ClearFault(); }
    TempDir m_dir;
    std::unique_ptr<CMainDoc> m_doc = std::make_unique<CMainDoc>();
};

TEST_F(T3dExportTest, FlatMapUpperLeftCornerWritesTheExactRecords) {
    std::fill(m_doc->m_map.m_height.begin(), m_doc->m_map.m_height.end(), 10);
    const T3dExportResult r = ExportT3d(*m_doc, Choices(2, 0), m_dir / "flat.t3d");
    EXPECT_EQ(r.piecesTotal, 1);
    EXPECT_EQ(r.piecesWritten, 1);
    EXPECT_EQ(r.cellsWithoutTile, 0);
    EXPECT_FALSE(r.failure);
    EXPECT_EQ(FileNames(m_dir.Path()), std::set<std::string>{"flat.t3d"});

    const std::string text = ReadText(m_dir / "flat.t3d");
    const std::string first = "Begin PolyList Num=512 Max=512\r\n"
                              "Begin Polygon Group=2DLoft Item=2DLoft Texture=GRASA000\r\n"
                              "Origin 0,0,160\r\n"
                              "TextureU 1,0,0\r\n"
                              "TextureV 0,1,0\r\n"
                              "Vertex 0,0,160\r\n"
                              "Vertex 128,128,160\r\n"
                              "Vertex 0,128,160\r\n"
                              "End Polygon\r\n"
                              "Begin Polygon Group=2DLoft Item=2DLoft Texture=GRASA000\r\n"
                              "Origin 0,0,160\r\n"
                              "TextureU 1,0,0\r\n"
                              "TextureV 0,1,0\r\n"
                              "Vertex 0,0,160\r\n"
                              "Vertex 128,0,160\r\n"
                              "Vertex 128,128,160\r\n"
                              "End Polygon\r\n";
    EXPECT_EQ(text.substr(0, first.size()), first);
    const std::vector<Polygon> polygons = ReadPiece(text, 16);
    ASSERT_EQ(polygons.size(), 512u);
    // Cells row by row: the 17th cell is (0, 1); the last is (15, 15).
    EXPECT_EQ(polygons[32].vertex[0][1], 128);
    EXPECT_EQ(polygons[511].vertex[2][0], 16 * 128);
    EXPECT_EQ(polygons[511].vertex[2][1], 16 * 128);
    for (const Polygon& p : polygons)
        EXPECT_EQ(p.origin, 160);
}

TEST_F(T3dExportTest, DiagonalOriginsAndOrientationOfSingleCells) {
    CellPlanes& map = m_doc->m_map;
    map.m_height[CellIndex(3, 2)] = 7;
    map.m_height[CellIndex(3, 3)] = 2;
    map.m_height[CellIndex(4, 2)] = 1;
    map.m_height[CellIndex(4, 3)] = 9;
    map.m_tile[CellIndex(3, 2)] = 1;
    const std::vector<Polygon> cell = ReadPiece(PieceText(*m_doc, 3, 2, 1), 1);
    ASSERT_EQ(cell.size(), 2u);
    // Highest corner D; |B-C| / 3 + 1 = 6 is not above |A-D| = 32: split along B-C. The single
    // precision factors give 559 and -687 where the exact planes give 560 and -688.
    EXPECT_EQ(cell[0].head, "Begin Polygon Group=2DLoft Item=2DLoft Texture=ROCKB010");
    const int first[3][3] = {{512, 256, 16}, {384, 384, 32}, {384, 256, 112}};
    const int second[3][3] = {{512, 256, 16}, {512, 384, 144}, {384, 384, 32}};
    EXPECT_EQ(std::memcmp(cell[0].vertex, first, sizeof first), 0);
    EXPECT_EQ(std::memcmp(cell[1].vertex, second, sizeof second), 0);
    EXPECT_EQ(cell[0].origin, 559);
    EXPECT_EQ(cell[1].origin, -687);

    // Mirror and flip bytes: any non-zero value counts.
    const struct {
        std::uint8_t mirror, flip;
        const char *u, *v;
    } orientations[] = {{0, 0, "1,0,0", "0,1,0"},
                        {1, 0, "-1,0,0", "0,1,0"},
                        {0, 1, "1,0,0", "0,-1,0"},
                        {1, 7, "-1,0,0", "0,-1,0"}};
    for (const auto& o : orientations) {
        map.m_mirror[CellIndex(3, 2)] = o.mirror;
        map.m_flip[CellIndex(3, 2)] = o.flip;
        for (const Polygon& p : ReadPiece(PieceText(*m_doc, 3, 2, 1), 1)) {
            EXPECT_EQ(p.u, o.u);
            EXPECT_EQ(p.v, o.v);
        }
    }

    // The diagonal rule: the first triangle starts at C for a split along B-C, at A otherwise.
    const struct {
        int a, b, c, d; // heights of the corners (x, y), (x, y+1), (x+1, y), (x+1, y+1)
        bool splitBC;
    } splits[] = {
        {0, 0, 0, 0, false}, // all zero: A counts as highest; a flat cell splits along A-D
        {5, 5, 5, 5, false}, // flat
        {0, 9, 0, 0, false}, // B highest: |A-D| / 3 + 1 = 1 is not above |B-C| = 144
        {0, 9, 8, 4, true},  // B highest: 64 / 3 + 1 = 22 is above 16
        {0, 8, 9, 4, true},  // C highest, the same
        {3, 1, 9, 3, false}, // C highest: 0 / 3 + 1 is not above 128
        {9, 0, 0, 0, true},  // A highest: |B-C| / 3 + 1 = 1 is not above |A-D| = 144
        {9, 2, 8, 8, false}, // A highest: 96 / 3 + 1 = 33 is above 16
        {9, 3, 0, 8, false}, // A highest: 48 / 3 + 1 = 17 is above 16 (the + 1 decides)
        {9, 9, 0, 0, true},  // A and B tie: A, the first, is the highest (B would give A-D)
        {4, 4, 4, 9, true},  // D highest: 0 / 3 + 1 is not above 80
    };
    for (const auto& s : splits) {
        map.m_height[CellIndex(0, 0)] = static_cast<std::uint8_t>(s.a);
        map.m_height[CellIndex(0, 1)] = static_cast<std::uint8_t>(s.b);
        map.m_height[CellIndex(1, 0)] = static_cast<std::uint8_t>(s.c);
        map.m_height[CellIndex(1, 1)] = static_cast<std::uint8_t>(s.d);
        const std::vector<Polygon> p = ReadPiece(PieceText(*m_doc, 0, 0, 1), 1);
        ASSERT_EQ(p.size(), 2u);
        const int firstX = s.splitBC ? 128 : 0;
        EXPECT_EQ(p[0].vertex[0][0], firstX) << s.a << " " << s.b << " " << s.c << " " << s.d;
        EXPECT_EQ(p[1].vertex[0][0], firstX);
    }
}

TEST_F(T3dExportTest, CornersBeyondTheMapComeFromThePlane) {
    CellPlanes& map = m_doc->m_map;
    std::fill(map.m_height.begin(), map.m_height.end(), 3);
    for (int j = 0; j < kMaxMapSize; ++j)
        map.m_height[CellIndex(256, j)] = 5; // just outside a 256-wide map
    // The right-hand corners of the last column lie on column 256 of the plane.
    std::vector<Polygon> p = ReadPiece(PieceText(*m_doc, 255, 0, 1), 1);
    for (const Polygon& polygon : p)
        for (const auto& v : polygon.vertex)
            EXPECT_EQ(v[2], v[0] == 256 * 128 ? 80 : 48);

    // The plane's own edge, column and row 512, gives 0.
    map.m_nSizeX = map.m_nSizeY = 512;
    p = ReadPiece(PieceText(*m_doc, 511, 511, 1), 1);
    for (const Polygon& polygon : p)
        for (const auto& v : polygon.vertex)
            EXPECT_EQ(v[2], v[0] == 512 * 128 || v[1] == 512 * 128 ? 0 : 48);
}

} // namespace
