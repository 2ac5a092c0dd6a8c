#include "TerFile.h"
#include "AtomicFile.h"
#include "FileError.h"
#include "MainDoc.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <iterator>
#include <memory>
#include <random>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

void PutI32(Bytes& b, std::int32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * i)));
}

// Everything a load may change: the size and the planes.
CellPlanes Take(const CMainDoc& d) {
    return d.m_map;
}

// Fills every cell of the four planes; tiles are below `tiles` or, now and then, 65535.
void Scramble(CMainDoc& d, std::mt19937& rng, int tiles) {
    for (int i = 0; i < kPlaneCells; ++i) {
        d.m_map.m_height[i] = static_cast<std::uint8_t>(rng());
        d.m_map.m_mirror[i] = static_cast<std::uint8_t>(rng() & 1);
        d.m_map.m_flip[i] = static_cast<std::uint8_t>(rng() & 1);
        d.m_map.m_tile[i] =
            rng() % 50 == 0 ? kMissingTile : static_cast<std::uint16_t>(rng() % tiles);
    }
}

class TerFileTest : public ::testing::Test {
protected:
    TempDir m_dir;
    fs::path m_path = m_dir / "map.ter";
    std::unique_ptr<CMainDoc> m_doc = std::make_unique<CMainDoc>();
    void TearDown() override { AtomicFile::ClearFault(); }
};

TEST_F(TerFileTest, WritesTheByteLayout) {
    CMainDoc& d = *m_doc;
    SetLibrary(d, {"GRASA000", "ROCK", "C", "D", "E", "F", "G", "H", "I", "J"});
    d.m_map.m_height[CellIndex(0, 0)] = 7;
    d.m_map.m_height[CellIndex(0, 255)] = 9;
    SaveTerFile(d, m_path);
    const Bytes f = ReadBytes(m_path);
    ASSERT_EQ(f.size(), 328987u + 8 * 10);
    const Bytes head = {0x4D, 0, 2, 0, 0, 0, 2, 0, 0, 0x53, 0, 1, 0, 0, 0, 1, 0, 0, 0x48};
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 19), head);
    EXPECT_EQ(f[19], 7);
    EXPECT_EQ(f[19 + 255], 9);
    const Bytes tail = {'T', 9,   0,   0,   0,   'G', 'R', 'A', 'S', 'A', '0',
                        '0', '0', 'R', 'O', 'C', 'K', 0,   0,   0,   0};
    EXPECT_EQ(Bytes(f.end() - 85, f.end() - 64), tail);

    // A 1 x 1 map carries the cells (0, 0) and (1, 0) of each plane.
    SetLibrary(d, {"AB"});
    d.m_map.m_nSizeX = d.m_map.m_nSizeY = 1;
    d.m_map.m_height[CellIndex(1, 0)] = 3;
    d.m_map.m_tile[CellIndex(0, 0)] = 0x1234;
    d.m_map.m_tile[CellIndex(1, 0)] = 0xFFFF;
    d.m_map.m_mirror[CellIndex(1, 0)] = 1;
    d.m_map.m_flip[CellIndex(0, 0)] = 1;
    SaveTerFile(d, m_path);
    const Bytes one = {'M', 0, 2,   0,   0, 0, 2,   0,    0,    'S',  1,    0,   0, 0, 1,
                       0,   0, 0,   'H', 7, 3, 'D', 0x34, 0x12, 0xFF, 0xFF, 'A', 0, 1, 'B',
                       1,   0, 'T', 0,   0, 0, 0,   'A',  'B',  0,    0,    0,   0, 0, 0};
    EXPECT_EQ(ReadBytes(m_path), one);
}

TEST_F(TerFileTest, RandomMapsRoundTrip) {
    std::mt19937 rng(20240611);
    std::vector<std::string> names;
    for (int i = 0; i < 40; ++i)
        names.push_back("TILE" + std::to_string(1000 + i));
    SetLibrary(*m_doc, names);
    auto other = std::make_unique<CMainDoc>();
    SetLibrary(*other, names);
    const std::pair<int, int> sizes[] = {
        {512, 512}, {512, 1}, {1, 512}, {1 + rng() % 512, 1 + rng() % 512}, {1 + rng() % 512, 7}};
    for (auto [sx, sy] : sizes) {
        SCOPED_TRACE(std::to_string(sx) + " x " + std::to_string(sy));
        Scramble(*m_doc, rng, 40);
        m_doc->m_map.m_nSizeX = sx;
        m_doc->m_map.m_nSizeY = sy;
        SaveTerFile(*m_doc, m_path);
        const Bytes f = ReadBytes(m_path);
        const std::size_t cells = static_cast<std::size_t>(sx + 1) * sy;
        ASSERT_EQ(f.size(), 18 + 3 * (1 + cells) + 1 + 2 * cells + 5 + 8 * 40);
        if (sx == 512) { // the column beyond the planes is written as zeros
            for (int y = 0; y < sy; ++y)
                ASSERT_EQ(f[19 + 512 * sy + y], 0);
        }

        // The file replaces columns 0 ... sx (those that exist) of rows 0 ... sy-1; the rest of
        // the planes keep what they held.
        Scramble(*other, rng, 40);
        CellPlanes expected = Take(*other);
        expected.m_nSizeX = sx;
        expected.m_nSizeY = sy;
        for (int x = 0; x <= sx && x < kMaxMapSize; ++x)
            for (int y = 0; y < sy; ++y) {
                const int i = CellIndex(x, y);
                expected.m_height[i] = m_doc->m_map.m_height[i];
                expected.m_tile[i] = m_doc->m_map.m_tile[i];
                expected.m_mirror[i] = m_doc->m_map.m_mirror[i];
                expected.m_flip[i] = m_doc->m_map.m_flip[i];
            }
        other->m_redraw.m_bRedrawAll = 0;
        const TerLoadResult r = LoadTerFile(*other, m_path);
        EXPECT_TRUE(r.hadNameTable);
        EXPECT_EQ(r.unmatchedNames, 0);
        EXPECT_EQ(other->m_redraw.m_bRedrawAll, 1);
        ASSERT_TRUE(Take(*other) == expected);
    }
}

TEST_F(TerFileTest, RenumbersTilesByName) {
    CMainDoc& d = *m_doc;
    SetLibrary(d, {"GRASA000", "ROCKA000", "SANDA000", "SNOWA000"});
    d.m_map.m_nSizeX = 4;
    d.m_map.m_nSizeY = 2;
    const std::uint16_t stored[] = {0, 1, 2, 3, kMissingTile, 4, 3, 3}; // 4: beyond the table
    const int cell[] = {CellIndex(0, 0), CellIndex(1, 0), CellIndex(2, 0), CellIndex(3, 0),
                        CellIndex(0, 1), CellIndex(1, 1), CellIndex(2, 1), CellIndex(4, 0)};
    for (int i = 0; i < 8; ++i)
        d.m_map.m_tile[cell[i]] = stored[i];
    SaveTerFile(d, m_path);

    // Reordered, without ROCKA000, and names compared case-sensitively. The extra column
    // (the last entry) stays as stored.
    SetLibrary(d, {"SNOWA000", "grasa000", "SANDA000", "GRASA000"});
    TerLoadResult r = LoadTerFile(d, m_path);
    EXPECT_EQ(r.unmatchedNames, 1);
    const std::uint16_t reordered[] = {3, kMissingTile, 2, 0, kMissingTile, kMissingTile, 0, 3};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(d.m_map.m_tile[cell[i]], reordered[i]) << i;

    // A name the library holds twice maps to the higher index.
    SetLibrary(d, {"SANDA000", "GRASA000", "SANDA000"});
    r = LoadTerFile(d, m_path);
    EXPECT_EQ(r.unmatchedNames, 2);
    const std::uint16_t doubled[] = {
        1, kMissingTile, 2, kMissingTile, kMissingTile, kMissingTile, kMissingTile, 3};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(d.m_map.m_tile[cell[i]], doubled[i]) << i;
}

TEST_F(TerFileTest, ReadsChunksInAnyOrderAndSkipsUnknownBytes) {
    CMainDoc& d = *m_doc;
    SetLibrary(d, {"ROCK", "GRASA000"});
    d.m_map.m_nSizeX = 2;
    d.m_map.m_nSizeY = 1;
    d.m_map.m_height[CellIndex(0, 1)] = 99;
    Bytes f = {'x', 0xFF, 'H', 10, 11, 12, 'S'}; // 'H' before 'S' uses the document's 2 x 1
    PutI32(f, 3);
    PutI32(f, 2);
    f.insert(f.end(), {'z', 'B', 1, 2, 3, 4, 5, 6, 7, 8, 'D'});
    for (int i = 0; i < 8; ++i)
        f.insert(f.end(), {static_cast<std::uint8_t>(i % 2), 0});
    f.insert(f.end(), {'A', 0, 0, 0, 0, 0, 0, 0, 1, 'T', 1, 0, 0, 0});
    f.insert(f.end(), {'G', 'R', 'A', 'S', 'A', '0', '0', '0', 'R', 'O', 'C', 'K', 0, 'x', 'y', 0});
    f.insert(f.end(), {'S', 0xFF, 0xFF}); // after the table: not read
    WriteBytes(m_path, f);

    const TerLoadResult r = LoadTerFile(d, m_path);
    EXPECT_TRUE(r.hadNameTable);
    EXPECT_EQ(r.unmatchedNames, 0);
    EXPECT_EQ(d.m_map.m_nSizeX, 3);
    EXPECT_EQ(d.m_map.m_nSizeY, 2);
    EXPECT_EQ(d.m_map.m_height[CellIndex(2, 0)], 12);
    EXPECT_EQ(d.m_map.m_height[CellIndex(0, 1)], 99);
    EXPECT_EQ(d.m_map.m_flip[CellIndex(1, 1)], 4);
    EXPECT_EQ(d.m_map.m_mirror[CellIndex(3, 1)], 1);
    EXPECT_EQ(d.m_map.m_tile[CellIndex(0, 0)], 1); // file slot 0 is GRASA000, library index 1
    EXPECT_EQ(d.m_map.m_tile[CellIndex(0, 1)], 0);
    EXPECT_EQ(d.m_map.m_tile[CellIndex(3, 1)], 1); // the extra column keeps the stored index
}

TEST_F(TerFileTest, RefusesUnusableFilesAndKeepsTheDocument) {
    CMainDoc& d = *m_doc;
    std::mt19937 rng(7);
    Scramble(d, rng, 2);
    SetLibrary(d, {"A", "B"});
    d.m_map.m_nSizeX = 3;
    d.m_map.m_nSizeY = 2;
    d.m_map.m_tile[CellIndex(1, 1)] = 7; // no table entry: only a loaded table turns it into 65535
    SaveTerFile(d, m_path);
    const Bytes good = ReadBytes(m_path); // 83 bytes, the table from byte 62
    const CellPlanes before = Take(d);

    auto refused = [&](const Bytes& file, const std::string& reason) {
        WriteBytes(m_path, file);
        try {
            LoadTerFile(d, m_path);
            ADD_FAILURE() << "accepted: " << reason;
        } catch (const FileError& e) {
            EXPECT_EQ(e.Path(), m_path.string());
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
        EXPECT_TRUE(Take(d) == before) << reason;
    };
    for (auto [sx, sy] : {std::pair{0, 5}, {513, 1}, {1, -1}}) {
        Bytes f = {'S'};
        PutI32(f, sx);
        PutI32(f, sy);
        refused(f, "map size " + std::to_string(sx) + " x " + std::to_string(sy));
    }
    // Bytes that hold no chunk of a map (a text file renamed) are no map at all.
    for (const char* text : {"hello, world\n", "\x01\x02zz"})
        refused(Bytes(text, text + std::strlen(text)), "not a TER map");
    for (int n : {500, -2}) {
        Bytes f = {'T'};
        PutI32(f, n);
        refused(f, "last index as " + std::to_string(n));
    }
    // Every cut inside a chunk is refused; a cut between chunks before the table is a map
    // without a name table, whose tile indices are taken as stored.
    const std::size_t between[] = {9, 18, 27, 44, 53, 62};
    for (std::size_t n = 0; n < good.size(); ++n) {
        const Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n));
        if (std::find(std::begin(between), std::end(between), n) == std::end(between)) {
            refused(cut, n == 0 ? "the file is empty" : "the file ends inside its");
            continue;
        }
        WriteBytes(m_path, cut);
        EXPECT_FALSE(LoadTerFile(d, m_path).hadNameTable);
        EXPECT_EQ(d.m_map.m_tile[CellIndex(1, 1)], 7);
        EXPECT_TRUE(Take(d) == before); // the cut holds a part of the same map
    }
    EXPECT_THROW(LoadTerFile(d, m_dir / "missing.ter"), FileError);
    EXPECT_THROW(LoadTerFile(d, m_dir.Path()), FileError);
    EXPECT_TRUE(Take(d) == before);
}

TEST_F(TerFileTest, InterruptedSaveKeepsTheOldFile) {
    std::mt19937 rng(3);
    Scramble(*m_doc, rng, 1);
    m_doc->m_map.m_nSizeX = m_doc->m_map.m_nSizeY = 512; // about 1.3 MB: many pieces
    const Bytes old = {'o', 'l', 'd'};
    const std::pair<AtomicFile::Step, int> faults[] = {{AtomicFile::Step::Create, 1},
                                                       {AtomicFile::Step::Write, 3},
                                                       {AtomicFile::Step::Sync, 1},
                                                       {AtomicFile::Step::Rename, 1}};
    for (auto [step, nth] : faults) {
        WriteBytes(m_path, old);
        AtomicFile::InjectFault(step, nth, ENOSPC);
        try {
            SaveTerFile(*m_doc, m_path);
            ADD_FAILURE() << "the save reported success";
        } catch (const FileError& e) {
            EXPECT_EQ(e.Path(), m_path.string());
            EXPECT_EQ(e.Reason(), std::strerror(ENOSPC));
        }
        EXPECT_EQ(ReadBytes(m_path), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), {}), 1); // no leftovers
    }
    SaveTerFile(*m_doc, m_path);
    EXPECT_EQ(fs::file_size(m_path), 1313307u);
}

} // namespace
