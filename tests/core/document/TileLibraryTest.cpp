#include "TestSupport.h"
#include "TileLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class TileFolder {
public:
    TileFolder() { fs::create_directories(Dir()); }
    fs::path Dir() const { return m_tmp / "Textures"; }
    fs::path Work() const { return m_tmp.Path(); }
    void Add(const std::string& name, const TestBmp& bmp) const { bmp.Write(Dir() / name); }
    void AddBytes(const std::string& name, const std::vector<std::uint8_t>& b) const {
        WriteBytes(Dir() / name, b);
    }

private:
    TempDir m_tmp;
};

// A picture whose pixel encodes its own position: red = column, green = row from the bottom.
TestBmp PositionPicture(int w, int h) {
    TestBmp b = TestBmp::Filled(w, h, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.pixels[static_cast<std::size_t>(y) * w + x] =
                MakeColor(x & 0xFF, (h - 1 - y) & 0xFF, (x >> 8) * 16 + ((h - 1 - y) >> 8));
    return b;
}

int RedAt(const Picture& p, int x, int yFromBottom) {
    return (p.At(x, kTileSize - 1 - yFromBottom) >> 16) & 0xFF;
}
int GreenAt(const Picture& p, int x, int yFromBottom) {
    return (p.At(x, kTileSize - 1 - yFromBottom) >> 8) & 0xFF;
}

TEST(TileLibraryTest, ConvertsTwentyFourBitPicturesWithAverageColour) {
    TileFolder f;
    f.Add("PLAIN000.BMP", TestBmp::Filled(128, 128, MakeColor(30, 20, 10)));
    TileLibrary lib;
    const TileLoadReport r = lib.LoadTileLibrary(f.Work());
    ASSERT_EQ(r.status, TileLoadReport::Status::Ok);
    EXPECT_FALSE(r.HasProblems());
    ASSERT_EQ(lib.m_nLastTile, 0);
    const Picture& p = lib.m_hTileDib[0];
    ASSERT_EQ(p.width, 128);
    ASSERT_EQ(p.height, 128);
    for (std::uint32_t px : p.pixels)
        ASSERT_EQ(px, 0x001E140Au); // bytes 10, 20, 30, 0
    EXPECT_EQ(lib.m_tileColor[0], 0x001E140A);
}

TEST(TileLibraryTest, FitsLargerSmallerPaddedAndTopDownPictures) {
    TileFolder f;
    f.Add("A_BIG.BMP", PositionPicture(256, 256));
    f.Add("B_SMALL.BMP", PositionPicture(200, 64)); // wider and shorter
    TestBmp padded = PositionPicture(130, 128);     // rows of 390 bytes padded to 392
    f.Add("C_PAD.BMP", padded);
    TestBmp topDown = PositionPicture(128, 128);
    topDown.topDown = true;
    f.Add("D_TOP.BMP", topDown);
    TileLibrary lib;
    ASSERT_EQ(lib.LoadTileLibrary(f.Work()).status, TileLoadReport::Status::Ok);
    ASSERT_EQ(lib.m_nLastTile, 3);

    // 256 x 256: rows 0, 2, 4, ... counted from the bottom, and the left 128 columns.
    const Picture& big = lib.m_hTileDib[0];
    for (int r = 0; r < 128; ++r) {
        ASSERT_EQ(GreenAt(big, 5, r), (2 * r) & 0xFF) << r;
        ASSERT_EQ(RedAt(big, 127, r), 127);
    }
    // 64 rows are stretched: each source row twice.
    const Picture& small = lib.m_hTileDib[1];
    for (int r = 0; r < 128; ++r)
        ASSERT_EQ(GreenAt(small, 0, r), r / 2) << r;
    EXPECT_EQ(RedAt(small, 100, 0), 100);
    // Padding is honoured: every row starts with column 0.
    const Picture& pad = lib.m_hTileDib[2];
    for (int r = 0; r < 128; ++r) {
        ASSERT_EQ(RedAt(pad, 0, r), 0);
        ASSERT_EQ(GreenAt(pad, 0, r), r);
        ASSERT_EQ(RedAt(pad, 127, r), 127);
    }
    // Top-down files come out the right way up.
    const Picture& top = lib.m_hTileDib[3];
    EXPECT_EQ(GreenAt(top, 0, 0), 0);
    EXPECT_EQ(GreenAt(top, 0, 127), 127);
}

TEST(TileLibraryTest, ConvertsPalettePictures) {
    TileFolder f;
    TestBmp b = TestBmp::Filled(128, 128, 0);
    b.bitCount = 8;
    b.palette = {MakeColor(1, 2, 3), MakeColor(200, 100, 50)};
    for (int x = 0; x < 128; ++x)
        b.pixels[x] = 1;                 // top row: entry 1
    b.pixels[128] = 7;                   // an index beyond the colour table: black
    f.Add("PAL00000.BMP", b);
    TileLibrary lib;
    ASSERT_EQ(lib.LoadTileLibrary(f.Work()).status, TileLoadReport::Status::Ok);
    const Picture& p = lib.m_hTileDib[0];
    EXPECT_EQ(p.At(0, 0), MakeColor(200, 100, 50));
    EXPECT_EQ(p.At(127, 0), MakeColor(200, 100, 50));
    EXPECT_EQ(p.At(0, 1), 0u);
    EXPECT_EQ(p.At(1, 1), MakeColor(1, 2, 3));
    EXPECT_EQ(p.At(64, 127), MakeColor(1, 2, 3));
}

TEST(TileLibraryTest, UnusableFilesKeepTheirIndexWithABlackTileAndAreReported) {
    TileFolder f;
    const TestBmp good = TestBmp::Filled(128, 128, 0x00FFFFFF);
    std::vector<std::uint8_t> wrongSig = good.Encode();
    wrongSig[0] = 'X';
    std::vector<std::uint8_t> truncated = good.Encode();
    truncated.resize(truncated.size() - 100);
    std::vector<std::uint8_t> compressed = good.Encode();
    compressed[30] = 1;
    TestBmp depth16 = TestBmp::Filled(128, 128, 0x00FFFFFF);
    depth16.bitCount = 16;

    f.AddBytes("A___ZSHORT.BMP", {'B', 'M', 0, 0});
    f.AddBytes("B___ZSIG.BMP", wrongSig);
    f.AddBytes("C___ZTRUNC.BMP", truncated);
    f.AddBytes("D___ZRLE.BMP", compressed);
    f.Add("E___ZNARROW.BMP", TestBmp::Filled(100, 128, 0x00FFFFFF));
    f.Add("F___ZDEPTH.BMP", depth16);
    f.Add("G___ZGOOD.BMP", good);
    f.AddBytes("readme.txt", {'x'}); // not a tile
    TileLibrary lib;
    const TileLoadReport r = lib.LoadTileLibrary(f.Work());
    ASSERT_EQ(r.status, TileLoadReport::Status::Ok);
    ASSERT_EQ(lib.m_nLastTile, 6);
    EXPECT_EQ(r.problems.size(), 6u) << r.ProblemText();
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(lib.m_hTileDib[i].pixels.size(), 128u * 128u);
        EXPECT_EQ(lib.m_hTileDib[i].AverageColor(), 0u) << i;
        EXPECT_EQ(lib.m_tileColor[i], 0);
        EXPECT_NE(r.problems[i].find(lib.m_strTileName[i].substr(0, 3)), std::string::npos);
    }
    EXPECT_EQ(lib.m_strTileName[6], "G___ZGOO");
    EXPECT_EQ(lib.m_tileColor[6], 0x00FFFFFF);
    EXPECT_NE(r.ProblemText().find("compressed"), std::string::npos);
    EXPECT_NE(r.ProblemText().find("narrower"), std::string::npos);
}

TEST(TileLibraryTest, ListsBmpFilesInAnyCaseSortedByUpperCasedName) {
    TileFolder f;
    const TestBmp t = TestBmp::Filled(128, 128, 1);
    f.Add("grasb000.bmp", t);
    f.Add("GRASA000.BMP", t);
    f.Add("Gras_long_name.Bmp", t);
    f.Add("A.bmp", t);
    f.Add("GRASA000x.bmp", t); // same first 8 characters as GRASA000.BMP
    fs::create_directories(f.Dir() / "SUB.BMP"); // a folder is not a tile
    TileLibrary lib;
    ASSERT_EQ(lib.LoadTileLibrary(f.Work()).status, TileLoadReport::Status::Ok);
    ASSERT_EQ(lib.m_nLastTile, 4);
    EXPECT_EQ(lib.m_strTileName[0], "A.BMP");
    EXPECT_EQ(lib.m_strTileName[1], "GRASA000");
    EXPECT_EQ(lib.m_strTileName[2], "GRASA000");
    EXPECT_EQ(lib.m_strTileName[3], "GRASB000");
    EXPECT_EQ(lib.m_strTileName[4], "GRAS_LON");

    // A Textures folder in another letter case is found too; an empty one gives NoTiles.
    TempDir other;
    fs::create_directories(other / "textures");
    EXPECT_EQ(lib.LoadTileLibrary(other.Path()).status, TileLoadReport::Status::NoTiles);
    t.Write(other / "textures" / "x.BMP");
    EXPECT_EQ(lib.LoadTileLibrary(other.Path()).status, TileLoadReport::Status::Ok);
    EXPECT_EQ(lib.m_nLastTile, 0);
}

TEST(TileLibraryTest, AFileThatCannotBeOpenedFailsTheLoad) {
    TileFolder f;
    f.Add("A0000000.BMP", TestBmp::Filled(128, 128, 1));
    fs::create_symlink(f.Dir() / "missing-target", f.Dir() / "B0000000.BMP");
    f.Add("C0000000.BMP", TestBmp::Filled(128, 128, 1));
    TileLibrary lib;
    const TileLoadReport r = lib.LoadTileLibrary(f.Work());
    EXPECT_EQ(r.status, TileLoadReport::Status::OpenFailed);
    EXPECT_NE(r.openFailure.find("B0000000.BMP"), std::string::npos);
    EXPECT_EQ(lib.m_nLastTile, 0); // tiles read so far stay counted
}

TEST(TileLibraryTest, StopsAtFiveHundredTiles) {
    TileFolder f;
    for (int i = 0; i < 503; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "T%03d.BMP", i);
        f.AddBytes(name, {'B', 'M'}); // unusable but counted: cheap to write
    }
    TileLibrary lib;
    const TileLoadReport r = lib.LoadTileLibrary(f.Work());
    ASSERT_EQ(r.status, TileLoadReport::Status::Ok);
    EXPECT_EQ(lib.m_nLastTile, 499);
    EXPECT_EQ(lib.m_strTileName[499], "T499.BMP");
    EXPECT_NE(r.ProblemText().find("3 tile files"), std::string::npos);
    EXPECT_NE(r.ProblemText().find("T500.BMP"), std::string::npos);
}

// ---- groups from names alone ----

class GroupTest : public ::testing::Test {
protected:
    void Names(std::initializer_list<const char*> names) {
        lib.m_nLastTile = -1;
        for (const char* n : names)
            lib.m_strTileName[++lib.m_nLastTile] = n;
        report = TileLoadReport{};
        lib.BuildGroups(report);
    }
    const TileGroup& Group(int g) const { return lib.m_tileGroup[g]; }
    // (tile, mirror, flip) of entry e of list (v, slot) of group g
    std::tuple<int, int, int> Entry(int g, int v, int slot, int e = 0) const {
        const TileGroup& t = Group(g);
        return {t.entryTile[v][slot][e], t.entryMirror[v][slot][e], t.entryFlip[v][slot][e]};
    }
    TileLibrary lib;
    TileLoadReport report;
};

TEST_F(GroupTest, DrawnTilesAndOrientationCompletion) {
    Names({"GRASA000", "GRASE000"});
    ASSERT_EQ(lib.m_nLastGroup, 0);
    const TileGroup& g = Group(0);
    EXPECT_EQ(g.strCode, "GRAS");
    EXPECT_EQ(g.versionUsed[0], 1);
    EXPECT_EQ(g.versionUsed[1], -1);
    EXPECT_EQ(Entry(0, 0, 2), std::make_tuple(0, 0, 0)); // A
    EXPECT_EQ(Entry(0, 0, 4), std::make_tuple(0, 0, 1)); // C = A upside down
    EXPECT_EQ(Entry(0, 0, 6), std::make_tuple(1, 0, 0)); // E
    EXPECT_EQ(Entry(0, 0, 7), std::make_tuple(1, 0, 1)); // F = E upside down
    EXPECT_EQ(Entry(0, 0, 9), std::make_tuple(1, 1, 0)); // H = E mirrored
    EXPECT_EQ(Entry(0, 0, 8), std::make_tuple(1, 1, 1)); // G = H upside down
    for (int slot : {3, 5, 10, 11, 12, 13})
        EXPECT_EQ(g.lastEntry[0][slot], -1) << slot;
    for (int slot = 0; slot < kKindSlots; ++slot)
        EXPECT_EQ(g.lastEntry[1][slot], -1); // an unused version stays empty

    // I yields J, L and K; B yields D; drawn lists are never overwritten by derived ones.
    Names({"ROCKB000", "ROCKI000", "ROCKL000"});
    EXPECT_EQ(Entry(0, 0, 5), std::make_tuple(0, 1, 0));  // D = B mirrored
    EXPECT_EQ(Entry(0, 0, 11), std::make_tuple(1, 0, 1)); // J = I upside down
    EXPECT_EQ(Entry(0, 0, 13), std::make_tuple(2, 0, 0)); // L as drawn
    EXPECT_EQ(Group(0).lastEntry[0][13], 0);
    EXPECT_EQ(Entry(0, 0, 12), std::make_tuple(2, 0, 1)); // K = drawn L upside down
}

TEST_F(GroupTest, FullAndSingleTilesJoinGroupsByTheirFirstTwoLetters) {
    Names({"GRDIA000", "SAGRA020", "GRSAM000", "GRXXN000", "GRXXO000"});
    ASSERT_EQ(lib.m_nLastGroup, 2); // GRDI, SAGR and the empty group of the O tile
    EXPECT_EQ(Group(2).strCode, "GRXX");
    for (int v = 0; v < kVersions; ++v) {
        // GRSAM: fully painted (slot 14) in GRDI and GRXX, background (slot 1) in SAGR
        EXPECT_EQ(Entry(0, v, 14), std::make_tuple(2, 0, 0));
        EXPECT_EQ(Entry(2, v, 14), std::make_tuple(2, 0, 0));
        EXPECT_EQ(Entry(1, v, 1), std::make_tuple(2, 0, 0));
        EXPECT_EQ(Group(1).lastEntry[v][14], -1);
        // GRXXN: single tile of the groups starting with GR
        EXPECT_EQ(Entry(0, v, 15), std::make_tuple(3, 0, 0));
        EXPECT_EQ(Group(1).lastEntry[v][15], -1);
    }
    EXPECT_EQ(Group(1).versionUsed[2], 1);
    EXPECT_EQ(Group(2).versionUsed[0], -1); // the O tile enters no list
}

TEST_F(GroupTest, MultiTilePiecesGoToTheMostRecentlySearchedGroup) {
    Names({"AB01S000", "GRDIA000", "GRE0S000", "GRE0S010", "GRE0S011", "GRE3S120", "WAGRA000",
           "WAGRM000", "XXY1S000", "XXYXS000"});
    // The piece listed before any group is ignored.
    EXPECT_EQ(Group(0).strCode, "GRDI");
    const TileGroup& g = Group(0);
    EXPECT_EQ(g.multiUsed[0], 1);
    EXPECT_EQ(g.multiTile[0][0][0], 2);
    EXPECT_EQ(g.multiTile[0][1][0], 3);
    EXPECT_EQ(g.multiTile[0][1][1], 4);
    EXPECT_EQ(g.multiMaxCol[0], 1);
    EXPECT_EQ(g.multiMaxRow[0], 1);
    EXPECT_EQ(g.multiUsed[3], 1);
    EXPECT_EQ(g.multiMaxCol[3], 2);
    EXPECT_EQ(g.multiMaxRow[3], 0);
    // After an M tile the latest group that received it takes the next piece.
    EXPECT_EQ(Group(1).strCode, "WAGR");
    EXPECT_EQ(Group(1).multiUsed[1], 1);
    EXPECT_EQ(Group(1).multiTile[1][0][0], 8);
    EXPECT_EQ(Group(1).multiUsed[0], 0);
    EXPECT_EQ(g.multiUsed[1], 0);
}

TEST_F(GroupTest, TableLimitsStopAddingAndAreReported) {
    // 32 A tiles of one group: the list keeps 30.
    std::vector<std::string> names;
    for (int i = 0; i < 32; ++i)
        names.push_back("GRDIA0" + std::string(1, '0') + std::to_string(i % 10));
    lib.m_nLastTile = -1;
    for (const std::string& n : names)
        lib.m_strTileName[++lib.m_nLastTile] = n;
    lib.BuildGroups(report);
    EXPECT_EQ(Group(0).lastEntry[0][2], 29);
    EXPECT_EQ(Group(0).lastEntry[0][4], 29); // the derived list is as long
    ASSERT_EQ(report.problems.size(), 1u);

    // 45 group codes: 40 groups, the rest reported.
    lib.m_nLastTile = -1;
    for (int i = 0; i < 45; ++i)
        lib.m_strTileName[++lib.m_nLastTile] = "G" + std::to_string(100 + i) + "A000";
    report = TileLoadReport{};
    lib.BuildGroups(report);
    EXPECT_EQ(lib.m_nLastGroup, 39);
    EXPECT_EQ(report.problems.size(), 5u);

    // A drawn tile without a version digit joins no list.
    Names({"GRDIAxx0", "GRDIA0"});
    EXPECT_EQ(lib.m_nLastGroup, 0);
    EXPECT_EQ(Group(0).lastEntry[0][2], -1);
    EXPECT_EQ(report.problems.size(), 2u);
}

} // namespace
