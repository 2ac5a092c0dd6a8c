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

class TbrFileTest : public ::testing::Test {
protected:
    void TearDown() override { AtomicFile::ClearFault(); }
    // Brush k: random entries with tiles below `tiles`, (lastCol + 1) x (lastRow + 1) cells.
    BrushRecord& Brush(int k, int lastCol, int lastRow, int tiles) {
        BrushRecord& b = d.m_brush[k];
        for (int a = 0; a < 50; ++a)
            for (int r = 0; r < 50; ++r) {
                b.brushHeight[a][r] = static_cast<std::int16_t>(rng());
                b.brushTile[a][r] = static_cast<std::uint16_t>(rng() % tiles);
                b.brushMirror[a][r] = static_cast<std::uint8_t>(rng() & 1);
                b.brushFlip[a][r] = static_cast<std::uint8_t>(rng() & 1);
            }
        b.lastCol = static_cast<std::int8_t>(lastCol);
        b.lastRow = static_cast<std::int8_t>(lastRow);
        d.m_nLastBrush = std::max(d.m_nLastBrush, k);
        return b;
    }
    TempDir m_dir;
    fs::path m_path = m_dir / "brush.tbr";
    std::unique_ptr<CMainDoc> m_doc = std::make_unique<CMainDoc>();
    CMainDoc& d = *m_doc;
    std::mt19937 rng{1234};
};

TEST_F(TbrFileTest, WritesTheRecordAndTheNameTableAndReadsACopy) {
    SetLibrary(d, {"GRASA000", "ROCK", "C", "D", "E", "F", "G", "H", "I", "J"});
    BrushRecord& b = Brush(0, 4, 2, 10);
    b.brushHeight[1][2] = -2;
    b.brushTile[1][2] = 0x0102;
    b.brushMirror[1][2] = 7;
    b.brushFlip[1][2] = 9;
    b.reserved[5] = 0xAB;
    SaveTbrFile(d, 0, m_path);
    const Bytes f = ReadBytes(m_path);
    ASSERT_EQ(f.size(), 15092u);
    const std::size_t e = 50 * 1 + 2; // entry (1, 2)
    EXPECT_EQ((Bytes{f[2 * e], f[2 * e + 1], f[5000 + 2 * e], f[5001 + 2 * e], f[10000 + e],
                     f[12500 + e]}),
              (Bytes{0xFE, 0xFF, 2, 1, 7, 9}));
    const Bytes tail = {4, 2, 0, 0, 0, 0, 0, 0xAB, 9, 0, 0, 0, 'G', 'R', 'A', 'S', 'A', '0', '0'};
    EXPECT_EQ(Bytes(f.begin() + 15000, f.begin() + 15019), tail);
    EXPECT_EQ(Bytes(f.end() - 8, f.end()), (Bytes{'J', 0, 0, 0, 0, 0, 0, 0}));

    // With the same library the load is a copy in the next slot; the selection stays.
    b.brushTile[1][2] = 3;
    SaveTbrFile(d, 0, m_path);
    d.AdoptFile("saved.ter");
    CountingView view;
    d.AddObserver(&view);
    EXPECT_EQ(LoadTbrFile(d, m_path), 1);
    EXPECT_EQ(std::memcmp(&d.m_brush[0], &d.m_brush[1], sizeof(BrushRecord)), 0);
    EXPECT_EQ(d.m_sel.m_nSelItem + d.m_sel.m_nSelKind, 0);
    EXPECT_EQ(d.m_change.m_bModified + view.updates, 2);
    d.RemoveObserver(&view);
    EXPECT_THROW(SaveTbrFile(d, 2, m_path), FileError); // no brush 2
}

TEST_F(TbrFileTest, RenumbersOnlyTheExtentByNameAndFillsTheLastSlot) {
    SetLibrary(d, {"GRASA000", "ROCKA000", "SANDA000", "SNOWA000"});
    BrushRecord& b = Brush(0, 4, 2, 4);
    b.brushTile[0][0] = kMissingTile;
    b.brushTile[4][2] = 9; // beyond the table
    SaveTbrFile(d, 0, m_path);
    // Reordered, ROCKA000 gone, case-sensitive, SANDA000 twice: the higher index wins.
    SetLibrary(d, {"SNOWA000", "SANDA000", "grasa000", "GRASA000", "SANDA000"});
    const int renumbered[] = {3, kMissingTile, 4, 0};
    d.m_nLastBrush = 18;
    ASSERT_EQ(LoadTbrFile(d, m_path), 19);
    for (int a = 0; a < 50; ++a)
        for (int r = 0; r < 50; ++r) {
            const int stored = b.brushTile[a][r];
            const int want = a > 4 || r > 2 ? stored
                             : stored > 3   ? kMissingTile
                                            : renumbered[stored];
            ASSERT_EQ(d.m_brush[19].brushTile[a][r], want) << a << "," << r;
        }
    EXPECT_EQ(LoadTbrFile(d, m_path), -1); // all twenty slots taken
    EXPECT_EQ(d.m_nLastBrush, 19);
}

TEST_F(TbrFileTest, RefusesUnusableFilesKeepingEverySlotAndSavesAllOrNothing) {
    SetLibrary(d, {"A", "B"});
    Brush(3, 9, 9, 2); // a freed slot's old contents
    Brush(0, 2, 1, 2);
    d.m_nLastBrush = 0;
    SaveTbrFile(d, 0, m_path);
    const Bytes good = ReadBytes(m_path); // 15,028 bytes
    BrushRecord slots[kMaxBrushes];
    std::memcpy(slots, d.m_brush, sizeof slots);
    auto changed = [&](std::size_t at, std::vector<std::uint8_t> bytes) {
        Bytes f = good;
        std::copy(bytes.begin(), bytes.end(), f.begin() + static_cast<std::ptrdiff_t>(at));
        return f;
    };
    const std::pair<Bytes, std::string> bad[] = {
        {{}, "holds 0 bytes"},
        {Bytes(good.begin(), good.begin() + 15007), "holds 15007 bytes"},
        {Bytes(good.begin(), good.begin() + 15010), "ends before its tile-name table"},
        {Bytes(good.begin(), good.end() - 1), "ends inside its tile-name table"},
        {changed(15008, {0xFE, 0xFF, 0xFF, 0xFF}), "last index as -2"},
        {changed(15008, {0xF4, 1, 0, 0}), "last index as 500"},
        {changed(15008, {2}), "ends inside its tile-name table"},
        {changed(15000, {50, 0}), "given as 50 and 0"},
        {changed(15000, {3, 0xFE}), "given as 3 and -2"},
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
        EXPECT_EQ(std::memcmp(d.m_brush, slots, sizeof slots), 0) << reason;
    }
    EXPECT_THROW(LoadTbrFile(d, m_dir / "missing.tbr"), FileError);
    EXPECT_THROW(LoadTbrFile(d, m_dir.Path()), FileError);
    // An empty extent (-1) and bytes after the table are fine.
    Bytes empty = changed(15000, {0xFF, 5});
    empty.push_back(0x55);
    WriteBytes(m_path, empty);
    EXPECT_EQ(LoadTbrFile(d, m_path), 1);

    // A save that fails at any step leaves the old file whole and no temporary file.
    for (auto step : {AtomicFile::Step::Create, AtomicFile::Step::Write, AtomicFile::Step::Sync,
                      AtomicFile::Step::Rename}) {
        WriteBytes(m_path, {'o', 'l', 'd'});
        AtomicFile::InjectFault(step, 1, ENOSPC);
        EXPECT_THROW(SaveTbrFile(d, 0, m_path), FileError);
        EXPECT_EQ(ReadBytes(m_path), (Bytes{'o', 'l', 'd'}));
        EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), {}), 1);
    }
}

} // namespace
