#include "TileLibrary.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// A work folder whose Textures folder the tests fill, and the library that loads it.
class TileLibraryTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(Dir()); }
    fs::path Dir() const { return m_work / "Textures"; }
    void Add(const std::string& name, const TestBmp& bmp) const { bmp.Write(Dir() / name); }
    TileLoadReport Load() { return lib.LoadTileLibrary(m_work.Path()); }

    TempDir m_work;
    TileLibrary lib;
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

TEST_F(TileLibraryTest, FitsLargerSmallerPaddedAndTopDownPictures) {
    Add("A_BIG.BMP", PositionPicture(256, 256));
    Add("B_SMALL.BMP", PositionPicture(200, 64)); // wider and shorter
    Add("C_PAD.BMP", PositionPicture(130, 128));  // rows of 390 bytes padded to 392
    TestBmp topDown = PositionPicture(128, 128);
    topDown.topDown = true;
    Add("D_TOP.BMP", topDown);
    ASSERT_EQ(Load().status, TileLoadReport::Status::Ok);
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

TEST_F(TileLibraryTest, ConvertsBothDepthsAndTakesTheAverageColour) {
    Add("PLAIN000.BMP", TestBmp::Filled(128, 128, MakeColor(30, 20, 10)));
    TestBmp b = TestBmp::Filled(128, 128, 0);
    b.bitCount = 8;
    b.palette = {MakeColor(1, 2, 3), MakeColor(200, 100, 50)};
    for (int x = 0; x < 128; ++x)
        b.pixels[x] = 1; // top row: entry 1
    b.pixels[128] = 7;   // an index beyond the colour table: black
    Add("PAL00000.BMP", b);
    const TileLoadReport r = Load();
    ASSERT_EQ(r.status, TileLoadReport::Status::Ok);
    EXPECT_FALSE(r.HasProblems()) << r.ProblemText();
    ASSERT_EQ(lib.m_nLastTile, 1);
    for (std::uint32_t px : lib.m_hTileDib[1].pixels)
        ASSERT_EQ(px, 0x001E140Au); // bytes 10, 20, 30, 0
    EXPECT_EQ(lib.m_tileColor[1], 0x001E140A);
    const Picture& p = lib.m_hTileDib[0];
    EXPECT_EQ(p.At(0, 0), MakeColor(200, 100, 50));
    EXPECT_EQ(p.At(127, 0), MakeColor(200, 100, 50));
    EXPECT_EQ(p.At(0, 1), 0u);
    EXPECT_EQ(p.At(1, 1), MakeColor(1, 2, 3));
    EXPECT_EQ(p.At(64, 127), MakeColor(1, 2, 3));
}

TEST_F(TileLibraryTest, UnusableFilesKeepTheirIndexWithABlackTileAndAreReported) {
    const TestBmp good = TestBmp::Filled(128, 128, 0x00FFFFFF);
    std::vector<std::uint8_t> wrongSig = good.Encode();
    wrongSig[0] = 'X';
    std::vector<std::uint8_t> truncated = good.Encode();
    truncated.resize(truncated.size() - 100);
    std::vector<std::uint8_t> compressed = good.Encode();
    compressed[30] = 1;
    TestBmp depth16 = TestBmp::Filled(128, 128, 0x00FFFFFF);
    depth16.bitCount = 16;

    WriteBytes(Dir() / "A___ZSHORT.BMP", {'B', 'M', 0, 0});
    WriteBytes(Dir() / "B___ZSIG.BMP", wrongSig);
    WriteBytes(Dir() / "C___ZTRUNC.BMP", truncated);
    WriteBytes(Dir() / "D___ZRLE.BMP", compressed);
    Add("E___ZNARROW.BMP", TestBmp::Filled(100, 128, 0x00FFFFFF));
    Add("F___ZDEPTH.BMP", depth16);
    Add("G___ZGOOD.BMP", good);
    WriteBytes(Dir() / "readme.txt", {'x'}); // not a tile
    const TileLoadReport r = Load();
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

TEST_F(TileLibraryTest, ListsBmpFilesInAnyCaseSortedByUpperCasedName) {
    const TestBmp t = TestBmp::Filled(128, 128, 1);
    Add("grasb000.bmp", t);
    Add("GRASA000.BMP", t);
    Add("Gras_long_name.Bmp", t);
    Add("A.bmp", t);
    Add("GRASA000x.bmp", t);                   // same first 8 characters as GRASA000.BMP
    fs::create_directories(Dir() / "SUB.BMP"); // a folder is not a tile
    ASSERT_EQ(Load().status, TileLoadReport::Status::Ok);
    ASSERT_EQ(lib.m_nLastTile, 4);
    EXPECT_EQ(std::vector(lib.m_strTileName.begin(), lib.m_strTileName.begin() + 5),
              (std::vector<std::string>{"A.BMP", "GRASA000", "GRASA000", "GRASB000", "GRAS_LON"}));

    // A Textures folder in another letter case is found too; an empty one gives NoTiles.
    TempDir other;
    fs::create_directories(other / "textures");
    EXPECT_EQ(lib.LoadTileLibrary(other.Path()).status, TileLoadReport::Status::NoTiles);
    t.Write(other / "textures" / "x.BMP");
    EXPECT_EQ(lib.LoadTileLibrary(other.Path()).status, TileLoadReport::Status::Ok);
    EXPECT_EQ(lib.m_nLastTile, 0);
}

TEST_F(TileLibraryTest, AFileThatCannotBeOpenedFailsTheLoad) {
    Add("A0000000.BMP", TestBmp::Filled(128, 128, 1));
    fs::create_symlink(Dir() / "missing-target", Dir() / "B0000000.BMP");
    Add("C0000000.BMP", TestBmp::Filled(128, 128, 1));
    const TileLoadReport r = Load();
    EXPECT_EQ(r.status, TileLoadReport::Status::OpenFailed);
    EXPECT_NE(r.openFailure.find("B0000000.BMP"), std::string::npos);
    EXPECT_EQ(lib.m_nLastTile, 0); // tiles read so far stay counted
}

TEST_F(TileLibraryTest, StopsAtFiveHundredTiles) {
    for (int i = 0; i < 503; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "T%03d.BMP", i);
        WriteBytes(Dir() / name, {'B', 'M'}); // unusable but counted: cheap to write
    }
    const TileLoadReport r = Load();
    ASSERT_EQ(r.status, TileLoadReport::Status::Ok);
    EXPECT_EQ(lib.m_nLastTile, 499);
    EXPECT_EQ(lib.m_strTileName[499], "T499.BMP");
    EXPECT_NE(r.ProblemText().find("3 tile files"), std::string::npos);
    EXPECT_NE(r.ProblemText().find("T500.BMP"), std::string::npos);
}

// ---- groups from names alone ----

class GroupTest : public ::testing::Test {
protected:
    void Names(const std::vector<std::string>& names) {
        lib.m_nLastTile = -1;
        for (const std::string& n : names)
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
    EXPECT_EQ(std::pair(g.versionUsed[0], g.versionUsed[1]), std::pair(1, -1));
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
    // Picture: (used, last column, last row).
    auto picture = [](const TileGroup& t, int m) {
        return std::tuple(t.multiUsed[m], t.multiMaxCol[m], t.multiMaxRow[m]);
    };
    EXPECT_EQ(picture(g, 0), std::tuple(1, 1, 1));
    EXPECT_EQ(std::tuple(g.multiTile[0][0][0], g.multiTile[0][1][0], g.multiTile[0][1][1]),
              std::tuple(2, 3, 4));
    EXPECT_EQ(picture(g, 3), std::tuple(1, 2, 0));
    // After an M tile the latest group that received it takes the next piece.
    EXPECT_EQ(Group(1).strCode, "WAGR");
    EXPECT_EQ(Group(1).multiUsed[1], 1);
    EXPECT_EQ(Group(1).multiTile[1][0][0], 8);
    EXPECT_EQ(Group(1).multiUsed[0], 0);
    EXPECT_EQ(g.multiUsed[1], 0);
}

TEST_F(GroupTest, TableLimitsStopAddingAndAreReported) {
    // 32 A tiles of one group: the list keeps 30.
    Names(std::vector<std::string>(32, "GRDIA000"));
    EXPECT_EQ(Group(0).lastEntry[0][2], 29);
    EXPECT_EQ(Group(0).lastEntry[0][4], 29); // the derived list is as long
    ASSERT_EQ(report.problems.size(), 1u);

    // 45 group codes: 40 groups, the rest reported.
    std::vector<std::string> codes;
    for (int i = 0; i < 45; ++i)
        codes.push_back("G" + std::to_string(100 + i) + "A000");
    Names(codes);
    EXPECT_EQ(lib.m_nLastGroup, 39);
    EXPECT_EQ(report.problems.size(), 5u);

    // A drawn tile without a version digit joins no list.
    Names({"GRDIAxx0", "GRDIA0"});
    EXPECT_EQ(lib.m_nLastGroup, 0);
    EXPECT_EQ(Group(0).lastEntry[0][2], -1);
    EXPECT_EQ(report.problems.size(), 2u);
}

} // namespace
