#include "T3dExport.h"
#include "AtomicFile.h"
#include "MainDoc.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
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
    // The two triangles of cell (0, 0); the order of the cells: RandomMapMatchesASecondComputation.
    const auto polygon = [](const char* second, const char* third) {
        return std::string("Begin Polygon Group=2DLoft Item=2DLoft Texture=GRASA000\r\n"
                           "Origin 0,0,160\r\nTextureU 1,0,0\r\nTextureV 0,1,0\r\n"
                           "Vertex 0,0,160\r\nVertex ") +
               second + "\r\nVertex " + third + "\r\nEnd Polygon\r\n";
    };
    const std::string first = "Begin PolyList Num=512 Max=512\r\n" +
                              polygon("128,128,160", "0,128,160") +
                              polygon("128,0,160", "128,128,160");
    EXPECT_EQ(text.substr(0, first.size()), first);
    for (const Polygon& p : ReadPiece(text, 16))
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

TEST_F(T3dExportTest, EntireMapPieceCountsOrderAndNames) {
    std::mt19937 rng(11);
    for (auto& h : m_doc->m_map.m_height)
        h = static_cast<std::uint8_t>(rng());
    // A 256 x 256 map: 5 x 5 pieces of 50 (cells 250 ... 255 left out), 8 x 8 of 32, ...
    const int perSide[] = {5, 8, 16, 32};
    for (int size = 0; size < kT3dSizeChoices; ++size) {
        SCOPED_TRACE(size);
        TempDir dir;
        const fs::path path = dir / "hills.t3d";
        const int piece = kT3dPieceSizes[size];
        int calls = 0;
        const T3dExportResult r =
            ExportT3d(*m_doc, Choices(size, 1), path, [&](int written, int total) {
                EXPECT_EQ(written, ++calls);
                EXPECT_EQ(total, perSide[size] * perSide[size]);
                // Columns of pieces outer, rows inner: the file just written is piece (i, j).
                const int i = (written - 1) / perSide[size], j = (written - 1) % perSide[size];
                EXPECT_TRUE(fs::exists(T3dPiecePath(path, i, j))) << i << " " << j;
                return true;
            });
        EXPECT_EQ(r.piecesWritten, perSide[size] * perSide[size]);
        EXPECT_FALSE(r.stopped);
        EXPECT_EQ(FileNames(dir.Path()).size(), static_cast<std::size_t>(r.piecesWritten));
        // Piece XB-YA starts at cell (piece, 0) and holds the same text as a single piece there.
        EXPECT_EQ(ReadText(dir / "hills XB-YA.t3d"), PieceText(*m_doc, piece, 0, piece));
        const std::string last = "hills X" + T3dPieceLetters(perSide[size] - 1) + "-Y" +
                                 T3dPieceLetters(perSide[size] - 1) + ".t3d";
        EXPECT_EQ(ReadText(dir / last),
                  PieceText(*m_doc, 256 - 256 % piece - piece, 256 - 256 % piece - piece, piece));
    }

    // Past Z the letters go on as AA, AB, ...: a 512 x 8 map at 8 x 8 has 64 columns of pieces.
    m_doc->m_map.m_nSizeX = 512;
    m_doc->m_map.m_nSizeY = 15; // the 7 rows beyond the last whole piece are left out
    const T3dExportResult r = ExportT3d(*m_doc, Choices(3, 1), m_dir / "wide.t3d");
    EXPECT_EQ(r.piecesWritten, 64);
    const std::set<std::string> names = FileNames(m_dir.Path());
    EXPECT_EQ(names.size(), 64u);
    for (const char* name : {"wide XA-YA.t3d", "wide XZ-YA.t3d", "wide XAA-YA.t3d",
                             "wide XAZ-YA.t3d", "wide XBA-YA.t3d", "wide XBL-YA.t3d"})
        EXPECT_EQ(names.count(name), 1u) << name;
    for (const std::string& name : names)
        EXPECT_EQ(name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZwide -.t3"), std::string::npos)
            << name;
    const std::pair<int, const char*> letters[] = {{0, "A"},    {25, "Z"},   {26, "AA"},
                                                   {27, "AB"},  {51, "AZ"},  {52, "BA"},
                                                   {701, "ZZ"}, {702, "AAA"}};
    for (auto [index, text] : letters)
        EXPECT_EQ(T3dPieceLetters(index), text);

    // A map smaller than one piece gives no file.
    m_doc->m_map.m_nSizeY = 7;
    EXPECT_EQ(ExportT3d(*m_doc, Choices(3, 1), m_dir / "none.t3d").piecesTotal, 0);
    EXPECT_EQ(FileNames(m_dir.Path()).size(), 64u);
}

TEST_F(T3dExportTest, PieceNamesSplitTheFileNameNotTheFolder) {
    const struct {
        const char *path, *piece;
    } cases[] = {
        {"/maps/hills.t3d", "/maps/hills XB-YA.t3d"},
        {"/my.maps/v1.0/hills.t3d", "/my.maps/v1.0/hills XB-YA.t3d"},
        {"/maps/hills.final.t3d", "/maps/hills XB-YA.final.t3d"},
        {"/maps/hills", "/maps/hills XB-YA"},
        {"hills.t3d", "hills XB-YA.t3d"},
    };
    // (On disk, in a folder named "v1.0": ExportCommandsTest.)
    for (const auto& c : cases)
        EXPECT_EQ(T3dPiecePath(c.path, 1, 0), fs::path(c.piece)) << c.path;
}

TEST_F(T3dExportTest, RandomMapMatchesASecondComputation) {
    std::mt19937 rng(5);
    CellPlanes& map = m_doc->m_map;
    for (int i = 0; i < kPlaneCells; ++i) {
        // Smooth hills, cliffs and flat runs: every diagonal rule gets its turn.
        map.m_height[i] = static_cast<std::uint8_t>(
            rng() % 4 ? 128 + 100 * std::sin(i * 0.01) + rng() % 9 : rng());
        map.m_tile[i] = static_cast<std::uint16_t>(rng() % 2);
        map.m_mirror[i] = static_cast<std::uint8_t>(rng() % 2);
        map.m_flip[i] = static_cast<std::uint8_t>(rng() % 2);
    }
    const int x0 = 100, y0 = 37, size = 50;
    const std::vector<Polygon> polygons = ReadPiece(PieceText(*m_doc, x0, y0, size), size);
    ASSERT_EQ(polygons.size(), 2u * size * size);
    int exact = 0, lowered = 0;
    for (std::size_t k = 0; k < polygons.size(); ++k) {
        const Polygon& p = polygons[k];
        const int x = x0 + static_cast<int>(k / 2) % size, y = y0 + static_cast<int>(k / 2) / size;
        const int cell = CellIndex(x, y);
        EXPECT_EQ(p.head, std::string("Begin Polygon Group=2DLoft Item=2DLoft Texture=") +
                              (map.m_tile[cell] ? "ROCKB010" : "GRASA000"));
        EXPECT_EQ(p.u, map.m_mirror[cell] ? "-1,0,0" : "1,0,0");
        EXPECT_EQ(p.v, map.m_flip[cell] ? "0,-1,0" : "0,1,0");
        // Every vertex is a corner of the cell at 16 x its height.
        double v[3][3];
        for (int i = 0; i < 3; ++i) {
            const int cx = p.vertex[i][0] / 128, cy = p.vertex[i][1] / 128;
            ASSERT_TRUE(p.vertex[i][0] % 128 == 0 && p.vertex[i][1] % 128 == 0);
            ASSERT_TRUE(cx - x == 0 || cx - x == 1) << k;
            ASSERT_TRUE(cy - y == 0 || cy - y == 1) << k;
            EXPECT_EQ(p.vertex[i][2], 16 * map.m_height[CellIndex(cx, cy)]);
            for (int c = 0; c < 3; ++c)
                v[i][c] = p.vertex[i][c];
        }
        // The plane through the three points, its unit normal rounded to float.
        const double e1[3] = {v[0][0] - v[1][0], v[0][1] - v[1][1], v[0][2] - v[1][2]};
        const double e2[3] = {v[0][0] - v[2][0], v[0][1] - v[2][1], v[0][2] - v[2][2]};
        const double n[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                             e1[0] * e2[1] - e1[1] * e2[0]};
        ASSERT_EQ(n[2], 16384.0); // counter-clockwise seen from above
        const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
        float unit[3];
        for (int c = 0; c < 3; ++c)
            unit[c] = static_cast<float>(n[c] / length);
        const double z0 = (v[0][0] * unit[0] + v[0][2] * unit[2] + v[0][1] * unit[1]) / unit[2];
        EXPECT_EQ(p.origin, static_cast<int>(z0)) << k;
        // And never more than one unit from the exact height, towards zero.
        const double plane = (n[0] * v[0][0] + n[1] * v[0][1] + n[2] * v[0][2]) / n[2];
        EXPECT_LT(std::abs(p.origin - std::trunc(plane)), 1.5) << k;
        exact += p.origin == std::trunc(plane);
        lowered += p.origin != std::trunc(plane);
    }
    // The sample holds both outcomes of the rounding.
    EXPECT_GT(exact, 0);
    EXPECT_GT(lowered, 0);
}

TEST_F(T3dExportTest, CellsWithoutATileNameLeaveTheTextureOut) {
    CellPlanes& map = m_doc->m_map;
    map.m_tile[CellIndex(1, 0)] = kMissingTile; // a name the library lacked at load time
    map.m_tile[CellIndex(3, 0)] = 2;            // beyond the library's two tiles
    const std::vector<Polygon> p = ReadPiece(PieceText(*m_doc, 0, 0, 8), 8);
    ASSERT_EQ(p.size(), 128u);
    for (int k : {2, 3, 6, 7})
        EXPECT_EQ(p[k].head, "Begin Polygon Group=2DLoft Item=2DLoft") << k;
    EXPECT_EQ(p[4].head, "Begin Polygon Group=2DLoft Item=2DLoft Texture=GRASA000");

    // Counted by cell, over the pieces written.
    map.m_tile[CellIndex(9, 9)] = 7;
    map.m_nSizeX = map.m_nSizeY = 16;
    EXPECT_EQ(ExportT3d(*m_doc, Choices(3, 0), m_dir / "a.t3d").cellsWithoutTile, 2);
    EXPECT_EQ(ExportT3d(*m_doc, Choices(3, 1), m_dir / "b.t3d").cellsWithoutTile, 3);
}

TEST_F(T3dExportTest, AFailingPieceStopsTheExportAndKeepsTheEarlierOnes) {
    m_doc->m_map.m_nSizeX = m_doc->m_map.m_nSizeY = 32; // 4 x 4 pieces of 8
    const fs::path path = m_dir / "hills.t3d";
    const T3dExportResult whole = ExportT3d(*m_doc, Choices(3, 1), path);
    ASSERT_EQ(whole.piecesWritten, 16);
    std::map<std::string, std::string> before;
    for (const std::string& name : FileNames(m_dir.Path()))
        before[name] = ReadText(m_dir / name);
    std::fill(m_doc->m_map.m_height.begin(), m_doc->m_map.m_height.end(), 4);

    // The fourth piece's name is taken by a folder; a file creation or a write fails.
    const std::string fourth = T3dPiecePath(path, 0, 3).filename().string();
    const auto faultAtFourth = [](AtomicFile::Step step) {
        return [step] { AtomicFile::InjectFault(step, 4, ENOSPC); };
    };
    const std::pair<std::function<void()>, std::string> failures[] = {
        {[&] { fs::remove(m_dir / fourth), fs::create_directory(m_dir / fourth); },
         std::strerror(EISDIR)},
        {faultAtFourth(AtomicFile::Step::Create), std::strerror(ENOSPC)},
        {faultAtFourth(AtomicFile::Step::Write), std::strerror(ENOSPC)},
    };
    for (const auto& [arrange, reason] : failures) {
        SCOPED_TRACE(reason);
        fs::remove_all(m_dir / fourth);
        for (const auto& [name, text] : before)
            WriteBytes(m_dir / name, std::vector<std::uint8_t>(text.begin(), text.end()));
        arrange();
        const T3dExportResult r = ExportT3d(*m_doc, Choices(3, 1), path);
        AtomicFile::ClearFault();
        ASSERT_TRUE(r.failure);
        EXPECT_EQ(r.failure->Path(), (m_dir / fourth).string());
        EXPECT_EQ(r.failure->Reason(), reason);
        EXPECT_EQ(r.piecesWritten, 3);
        EXPECT_EQ(r.piecesTotal, 16);
        // The three new pieces are complete, the old export's other files are untouched, and
        // no temporary file is left behind.
        for (const auto& [name, text] : before) {
            const fs::path file = m_dir / name;
            if (name < fourth) { // "hills XA-Y?.t3d": rows 0, 8, 16 of column 0
                EXPECT_EQ(ReadText(file), PieceText(*m_doc, 0, 8 * (name[10] - 'A'), 8)) << name;
            } else if (!fs::is_directory(file)) {
                EXPECT_EQ(ReadText(file), text) << name;
            }
        }
        EXPECT_EQ(FileNames(m_dir.Path()).size(), before.size());
    }

    // A folder that refuses new files (not for the super-user, whom permissions do not stop).
    if (::geteuid() != 0) {
        TempDir dir;
        fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
        const T3dExportResult r = ExportT3d(*m_doc, Choices(3, 1), dir / "hills.t3d");
        fs::permissions(dir.Path(), fs::perms::owner_all);
        ASSERT_TRUE(r.failure);
        EXPECT_EQ(r.failure->Reason(), std::strerror(EACCES));
        EXPECT_EQ(r.piecesWritten, 0);
    }
}

TEST_F(T3dExportTest, StoppingKeepsThePiecesWritten) {
    m_doc->m_map.m_nSizeX = m_doc->m_map.m_nSizeY = 32;
    int calls = 0;
    T3dExportResult r = ExportT3d(*m_doc, Choices(3, 1), m_dir / "hills.t3d",
                                  [&](int written, int) { return ++calls, written < 5; });
    EXPECT_TRUE(r.stopped);
    EXPECT_EQ(r.piecesWritten, 5);
    EXPECT_EQ(calls, 5);
    EXPECT_EQ(FileNames(m_dir.Path()).size(), 5u);
    EXPECT_FALSE(r.failure);

    // A stop asked for after the last piece stops nothing.
    r = ExportT3d(*m_doc, Choices(3, 0), m_dir / "one.t3d", [](int, int) { return false; });
    EXPECT_FALSE(r.stopped);
    EXPECT_EQ(r.piecesWritten, 1);
}

} // namespace
