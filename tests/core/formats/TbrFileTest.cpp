#include "TbrFile.h"
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

BrushRecord RandomBrush(std::mt19937& rng, int lastCol, int lastRow, int tiles) {
    BrushRecord b{};
    for (int a = 0; a < 50; ++a)
        for (int r = 0; r < 50; ++r) {
            b.brushHeight[a][r] = static_cast<std::int16_t>(rng());
            b.brushTile[a][r] = static_cast<std::uint16_t>(rng() % tiles);
            b.brushMirror[a][r] = static_cast<std::uint8_t>(rng() & 1);
            b.brushFlip[a][r] = static_cast<std::uint8_t>(rng() & 1);
        }
    b.lastCol = static_cast<std::int8_t>(lastCol);
    b.lastRow = static_cast<std::int8_t>(lastRow);
    return b;
}

class TbrFileTest : public ::testing::Test {
protected:
    void TearDown() override { AtomicFile::ClearFault(); }
    bool SlotsAre(const BrushRecord (&slots)[kMaxBrushes]) const {
        return std::memcmp(d.m_brush, slots, sizeof slots) == 0;
    }
    TempDir m_dir;
    fs::path m_path = m_dir / "brush.tbr";
    std::unique_ptr<CMainDoc> m_doc = std::make_unique<CMainDoc>();
    CMainDoc& d = *m_doc;
    std::mt19937 rng{1234};
};

TEST_F(TbrFileTest, WritesTheRecordAndTheNameTableAndReadsThemBack) {
    SetLibrary(d, {"GRASA000", "ROCK", "C", "D", "E", "F", "G", "H", "I", "J"});
    d.m_brush[0] = RandomBrush(rng, 4, 2, 10);
    d.m_brush[0].brushHeight[1][2] = -2;
    d.m_brush[0].brushTile[1][2] = 0x0102;
    d.m_brush[0].brushMirror[1][2] = 7;
    d.m_brush[0].brushFlip[1][2] = 9;
    d.m_brush[0].reserved[5] = 0xAB;
    d.m_nLastBrush = 0;
    SaveTbrFile(d, 0, m_path);
    const Bytes f = ReadBytes(m_path);
    ASSERT_EQ(f.size(), 15092u);
    const std::size_t e = 50 * 1 + 2; // entry (1, 2)
    EXPECT_EQ(Bytes(f.begin() + 2 * e, f.begin() + 2 * e + 2), (Bytes{0xFE, 0xFF}));
    EXPECT_EQ(Bytes(f.begin() + 5000 + 2 * e, f.begin() + 5002 + 2 * e), (Bytes{2, 1}));
    EXPECT_EQ(f[10000 + e], 7);
    EXPECT_EQ(f[12500 + e], 9);
    EXPECT_EQ(Bytes(f.begin() + 15000, f.begin() + 15021),
              (Bytes{4, 2,   0,   0,   0,   0,   0,   0xAB, 9,   0,  0,
                     0, 'G', 'R', 'A', 'S', 'A', '0', '0',  '0', 'R'}));
    EXPECT_EQ(Bytes(f.end() - 8, f.end()), (Bytes{'J', 0, 0, 0, 0, 0, 0, 0}));

    // Loaded with the same library: a copy in the next slot, the selection untouched.
    d.m_brush[0].brushTile[1][2] = 3;
    SaveTbrFile(d, 0, m_path);
    d.AdoptFile("saved.ter");
    d.m_sel.m_nSelItem = 0;
    CountingView view;
    d.AddObserver(&view);
    EXPECT_EQ(LoadTbrFile(d, m_path), 1);
    EXPECT_EQ(d.m_nLastBrush, 1);
    EXPECT_EQ(std::memcmp(&d.m_brush[0], &d.m_brush[1], sizeof(BrushRecord)), 0);
    EXPECT_EQ(d.m_sel.m_nSelItem, 0);
    EXPECT_EQ(d.m_change.m_bModified, 1);
    EXPECT_EQ(view.updates, 1);
    d.RemoveObserver(&view);
    EXPECT_THROW(SaveTbrFile(d, 2, m_path), FileError); // no brush 2
}

TEST_F(TbrFileTest, RenumbersTheExtentByNameAndFillsTheLastSlots) {
    SetLibrary(d, {"GRASA000", "ROCKA000", "SANDA000", "SNOWA000"});
    BrushRecord& b = d.m_brush[0] = RandomBrush(rng, 4, 2, 4); // 5 columns, 3 rows
    b.brushTile[0][0] = kMissingTile;
    b.brushTile[4][2] = 9; // beyond the table
    b.brushTile[5][0] = b.brushTile[0][3] = 2;
    d.m_nLastBrush = 0;
    SaveTbrFile(d, 0, m_path);

    // Reordered, without ROCKA000, names compared case-sensitively, SANDA000 twice (the higher
    // index wins).
    SetLibrary(d, {"SNOWA000", "SANDA000", "grasa000", "GRASA000", "SANDA000"});
    const std::uint16_t expected[] = {3, kMissingTile, 4, 0};
    d.m_nLastBrush = 18;
    ASSERT_EQ(LoadTbrFile(d, m_path), 19);
    const BrushRecord& got = d.m_brush[19];
    for (int a = 0; a < 50; ++a)
        for (int r = 0; r < 50; ++r) {
            const int stored = b.brushTile[a][r];
            const int want = a > 4 || r > 2 ? stored : stored > 3 ? kMissingTile : expected[stored];
            ASSERT_EQ(got.brushTile[a][r], want) << a << "," << r;
        }
    // All twenty slots taken: nothing is read.
    EXPECT_EQ(LoadTbrFile(d, m_dir / "missing.tbr"), -1);
    EXPECT_EQ(d.m_nLastBrush, 19);
}

TEST_F(TbrFileTest, RefusesUnusableFilesAndKeepsEverySlot) {
    SetLibrary(d, {"A", "B"});
    d.m_brush[0] = RandomBrush(rng, 2, 1, 2);
    d.m_brush[3] = RandomBrush(rng, 9, 9, 2); // a freed slot's old contents
    d.m_nLastBrush = 0;
    SaveTbrFile(d, 0, m_path);
    const Bytes good = ReadBytes(m_path); // 15,028 bytes
    BrushRecord slots[kMaxBrushes];
    std::memcpy(slots, d.m_brush, sizeof slots);

    auto withExtent = [&](int col, int row) {
        Bytes f = good;
        f[15000] = static_cast<std::uint8_t>(col);
        f[15001] = static_cast<std::uint8_t>(row);
        return f;
    };
    auto withCount = [&](std::int32_t n) {
        Bytes f = good;
        std::memcpy(f.data() + 15008, &n, 4);
        return f;
    };
    const std::pair<Bytes, std::string> bad[] = {
        {{}, "holds 0 bytes"},
        {Bytes(good.begin(), good.begin() + 15007), "holds 15007 bytes"},
        {Bytes(good.begin(), good.begin() + 15010), "ends before its tile-name table"},
        {Bytes(good.begin(), good.end() - 1), "ends inside its tile-name table"},
        {withCount(-2), "last index as -2"},
        {withCount(500), "last index as 500"},
        {withCount(2), "ends inside its tile-name table"},
        {withExtent(50, 0), "given as 50 and 0"},
        {withExtent(3, -2), "given as 3 and -2"},
    };
    for (const auto& [file, reason] : bad) {
        WriteBytes(m_path, file);
        try {
            LoadTbrFile(d, m_path);
            ADD_FAILURE() << "accepted: " << reason;
        } catch (const FileError& e) {
            EXPECT_EQ(e.Path(), m_path.string());
            EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
        }
        EXPECT_EQ(d.m_nLastBrush, 0) << reason;
        EXPECT_TRUE(SlotsAre(slots)) << reason;
    }
    EXPECT_THROW(LoadTbrFile(d, m_dir / "missing.tbr"), FileError);
    EXPECT_THROW(LoadTbrFile(d, m_dir.Path()), FileError);
    EXPECT_EQ(d.m_nLastBrush, 0);
    // An empty extent (-1) and bytes after the table are fine.
    Bytes empty = withExtent(-1, 5);
    empty.push_back(0x55);
    WriteBytes(m_path, empty);
    EXPECT_EQ(LoadTbrFile(d, m_path), 1);
    EXPECT_EQ(d.m_brush[1].lastCol, -1);
}

TEST_F(TbrFileTest, InterruptedSaveKeepsTheOldFile) {
    d.m_nLastBrush = 0;
    const Bytes old = {'o', 'l', 'd'};
    for (auto step : {AtomicFile::Step::Create, AtomicFile::Step::Write, AtomicFile::Step::Sync,
                      AtomicFile::Step::Rename}) {
        WriteBytes(m_path, old);
        AtomicFile::InjectFault(step, 1, ENOSPC);
        try {
            SaveTbrFile(d, 0, m_path);
            ADD_FAILURE() << "the save reported success";
        } catch (const FileError& e) {
            EXPECT_EQ(e.Path(), m_path.string());
            EXPECT_EQ(e.Reason(), std::strerror(ENOSPC));
        }
        EXPECT_EQ(ReadBytes(m_path), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), {}), 1); // no leftovers
    }
}

} // namespace
