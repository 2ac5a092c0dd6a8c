#include "HeightGroup.h"
#include "AtomicFile.h"
#include "MainDoc.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

void SetLibrary(CMainDoc& d, int count) {
    d.m_tiles.m_nLastTile = count - 1;
    for (int i = 0; i < count; ++i)
        d.m_tiles.m_strTileName[i] = "T" + std::to_string(i);
    d.m_tiles.m_strTileName[0] = "GRASA000";
}

std::string Text(const Bytes& b) {
    return {b.begin(), b.end()};
}

class HeightGroupTest : public ::testing::Test {
protected:
    void TearDown() override { AtomicFile::ClearFault(); }
    TempDir m_dir;
    std::unique_ptr<CMainDoc> m_doc = std::make_unique<CMainDoc>();
};

TEST_F(HeightGroupTest, WritesTheFourFilesBesideTheChosenOne) {
    CMainDoc& d = *m_doc;
    SetLibrary(d, 10);
    // A 256 x 256 map painted with tiles 0, 3 and 7; tile 7 only outside the map, which still
    // counts. 65535 and 12 are no library tiles: texture number 0 and no index line.
    d.m_map.m_tile[CellIndex(10, 20)] = 3;
    d.m_map.m_tile[CellIndex(300, 400)] = 7;
    d.m_map.m_tile[CellIndex(1, 1)] = kMissingTile;
    d.m_map.m_tile[CellIndex(1, 2)] = 12;
    d.m_map.m_mirror[CellIndex(5, 0)] = 1;
    d.m_map.m_flip[CellIndex(6, 0)] = 1;
    d.m_map.m_mirror[CellIndex(7, 0)] = d.m_map.m_flip[CellIndex(7, 0)] = 1;
    d.m_map.m_mirror[CellIndex(8, 0)] = 255; // any non-zero byte counts as set
    for (int i = 0; i < kPlaneCells; ++i)
        d.m_map.m_height[i] = static_cast<std::uint8_t>(i * 31 / 7);
    const CellPlanes before = d.m_map;

    const HeightGroup group = ExportHeightGroup(d, m_dir / "hills.raw");
    EXPECT_EQ(group.texturesInUse, 3);
    EXPECT_FALSE(group.Wrapped());
    EXPECT_FALSE(fs::exists(m_dir / "hills.raw")); // the chosen file itself is not written
    const Bytes heights = ReadBytes(m_dir / "hills1.RAW");
    const Bytes textures = ReadBytes(m_dir / "hills2.RAW");
    const Bytes rotations = ReadBytes(m_dir / "hills3.RAW");
    EXPECT_EQ(heights, d.m_map.m_height);
    ASSERT_EQ(textures.size(), 262144u);
    ASSERT_EQ(rotations.size(), 262144u);
    EXPECT_EQ(textures[10 * 512 + 20], 2);
    EXPECT_EQ(textures[300 * 512 + 400], 3);
    EXPECT_EQ(textures[1 * 512 + 1], 0);
    EXPECT_EQ(textures[1 * 512 + 2], 0);
    EXPECT_EQ(std::count(textures.begin(), textures.end(), 1), 262144 - 4);
    EXPECT_EQ(rotations[5 * 512], 4);
    EXPECT_EQ(rotations[6 * 512], 6);
    EXPECT_EQ(rotations[7 * 512], 2);
    EXPECT_EQ(rotations[8 * 512], 4);
    EXPECT_EQ(std::count(rotations.begin(), rotations.end(), 0), 262144 - 4);
    EXPECT_EQ(Text(ReadBytes(m_dir / "hills4.TXT")),
              "TERRAIN HEIGHTMAP=hills1.RAW TEXTUREMAP=hills2.RAW ROTMAP=hills3.RAW\r\n"
              "TERRATEX INDEX=1 TEXTUREFILE=GRASA000.PCX\r\n"
              "TERRATEX INDEX=2 TEXTUREFILE=T3.PCX\r\n"
              "TERRATEX INDEX=3 TEXTUREFILE=T7.PCX\r\n");
    EXPECT_TRUE(d.m_map == before);
    EXPECT_EQ(d.m_change.m_bModified, 0);

    // The front part of the name ends at its first dot.
    EXPECT_EQ(HeightGroupNamesFor("my.map.raw").All(),
              (std::vector<std::string>{"my1.RAW", "my2.RAW", "my3.RAW", "my4.TXT"}));
}

TEST_F(HeightGroupTest, TextureNumbersAbove255Wrap) {
    CMainDoc& d = *m_doc;
    SetLibrary(d, 300);
    for (int i = 0; i < kPlaneCells; ++i)
        d.m_map.m_tile[i] = static_cast<std::uint16_t>(i % 300);
    const HeightGroup group = BuildHeightGroup(d, "big.raw");
    EXPECT_EQ(group.texturesInUse, 300);
    EXPECT_TRUE(group.Wrapped());
    EXPECT_EQ(group.textures[254], 255);
    EXPECT_EQ(group.textures[255], 0); // number 256
    EXPECT_EQ(group.textures[299], 300 & 0xFF);
    // The index still lists the full numbers.
    EXPECT_NE(group.index.find("TERRATEX INDEX=256 TEXTUREFILE=T255.PCX\r\n"), std::string::npos);
    EXPECT_TRUE(group.index.ends_with("TERRATEX INDEX=300 TEXTUREFILE=T299.PCX\r\n"));
}

// A file that fails is not left half written; the files before it stay and are named.
TEST_F(HeightGroupTest, AFailedFileStopsTheGroupAndNamesWhatWasWritten) {
    SetLibrary(*m_doc, 1);
    WriteBytes(m_dir / "hills3.RAW", {'o', 'l', 'd'});
    AtomicFile::InjectFault(AtomicFile::Step::Write, 10, ENOSPC); // inside file 3
    try {
        ExportHeightGroup(*m_doc, m_dir / "hills.raw");
        ADD_FAILURE() << "the export reported success";
    } catch (const HeightGroupError& e) {
        EXPECT_EQ(e.Path(), (m_dir / "hills3.RAW").string());
        EXPECT_EQ(e.Written(), (std::vector<std::string>{"hills1.RAW", "hills2.RAW"}));
    }
    EXPECT_EQ(fs::file_size(m_dir / "hills2.RAW"), 262144u);
    EXPECT_EQ(ReadBytes(m_dir / "hills3.RAW"), (Bytes{'o', 'l', 'd'}));
    EXPECT_FALSE(fs::exists(m_dir / "hills4.TXT"));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), {}), 3); // no temporary file

    // A folder that does not exist: nothing written.
    try {
        ExportHeightGroup(*m_doc, m_dir / "missing" / "hills.raw");
        ADD_FAILURE() << "the export reported success";
    } catch (const HeightGroupError& e) {
        EXPECT_TRUE(e.Written().empty());
    }
}

} // namespace
