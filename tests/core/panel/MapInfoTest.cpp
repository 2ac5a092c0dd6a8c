#include "MapInfo.h"
#include "MainDoc.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace {

MemoryStatus SomeMemory() {
    MemoryStatus m;
    m.loadPercent = 37;
    m.physTotal = 64ull * 1024 * 1024;
    m.physFree = 3000ull * 1024 + 1023; // the remainder is cut
    m.swapTotal = 6ull * 1024 * 1024 * 1024;
    m.swapFree = 0;
    return m;
}

} // namespace

TEST(MapInfoTest, ReportOfAClearedMapWithTenTiles) {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_tiles.m_nLastTile = 9;
    const MapInfoReport r = BuildMapInfoReport(*doc, SomeMemory());
    EXPECT_EQ(doc->m_nUniqueTiles, 1);
    EXPECT_EQ(r.uniqueTiles, "1");
    EXPECT_EQ(r.allTilesMemory, "480K");
    EXPECT_EQ(r.mapTilesMemory, "48K");
    EXPECT_EQ(std::tuple(r.minimumHeight, r.maximumHeight, r.averageHeight),
              std::tuple("0", "0", "0"));
    EXPECT_EQ(r.memoryLoad, "37%");
    EXPECT_EQ(r.physTotal, "65536K");
    EXPECT_EQ(r.physFree, "3000K");
    EXPECT_EQ(r.swapTotal, "6291456K"); // beyond 32 bits in bytes
    EXPECT_EQ(r.swapFree, "0K");
    EXPECT_EQ(r.mapSize, "256 x 256");
}

TEST(MapInfoTest, StatisticsCoverOnlyTheMapArea) {
    auto doc = std::make_unique<CMainDoc>();
    // Left over from a larger map: must not count.
    for (int x = 0; x < kMaxMapSize; ++x)
        for (int y = 0; y < kMaxMapSize; ++y) {
            doc->m_map.m_height[CellIndex(x, y)] = 255;
            doc->m_map.m_tile[CellIndex(x, y)] = 7;
        }
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 256; ++y) {
            doc->m_map.m_height[CellIndex(x, y)] = 100;
            doc->m_map.m_tile[CellIndex(x, y)] = static_cast<std::uint16_t>((x + y) % 3);
        }
    HeightStats s = MapHeightStats(*doc);
    EXPECT_EQ(std::tuple(s.minimum, s.maximum, s.average), std::tuple(100, 100, 100));
    CountUniqueTiles(*doc);
    EXPECT_EQ(doc->m_nUniqueTiles, 3);

    // A 3 x 2 area, x running over the first index: the average is cut, not rounded.
    doc->m_map.m_nSizeX = 3;
    doc->m_map.m_nSizeY = 2;
    const int heights[3][2] = {{4, 9}, {0, 1}, {2, 1}};
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y)
            doc->m_map.m_height[CellIndex(x, y)] = static_cast<std::uint8_t>(heights[x][y]);
    s = MapHeightStats(*doc);
    EXPECT_EQ(std::tuple(s.minimum, s.maximum, s.average), std::tuple(0, 9, 2)); // 17 / 6
}

TEST(MapInfoTest, CountsEveryDistinctIndexWithoutOverflowing) {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_tiles.m_nLastTile = 4;
    // Indices beyond the library (including the missing-tile mark) count as tiles.
    doc->m_map.m_tile[CellIndex(0, 0)] = 4;
    doc->m_map.m_tile[CellIndex(1, 0)] = 499;
    doc->m_map.m_tile[CellIndex(2, 0)] = kMissingTile;
    doc->m_map.m_tile[CellIndex(3, 0)] = kMissingTile;
    CountUniqueTiles(*doc);
    EXPECT_EQ(doc->m_nUniqueTiles, 4); // 0, 4, 499, 65535

    // 70,000 cells over every 16-bit value: far more than a 500-entry list holds.
    doc->m_map.m_nSizeX = 280;
    doc->m_map.m_nSizeY = 250;
    for (int x = 0; x < 280; ++x)
        for (int y = 0; y < 250; ++y)
            doc->m_map.m_tile[CellIndex(x, y)] = static_cast<std::uint16_t>((x * 250 + y) & 0xFFFF);
    const MapInfoReport r = BuildMapInfoReport(*doc, MemoryStatus{});
    EXPECT_EQ(doc->m_nUniqueTiles, 65536);
    EXPECT_EQ(r.mapTilesMemory, "3145728K");
    EXPECT_EQ(r.allTilesMemory, "240K");
}

TEST(MapInfoTest, MemoryFiguresFromMeminfo) {
    MemoryStatus m;
    ASSERT_TRUE(ParseMeminfo("MemTotal:        1000000 kB\n"
                             "MemFree:          100000 kB\n"
                             "MemAvailable:     250000 kB\n"
                             "Buffers:           10000 kB\n"
                             "SwapTotal:        2000000 kB\n"
                             "SwapFree:         1500000 kB\n",
                             m));
    EXPECT_EQ(m.physTotal, 1024000000ull);
    EXPECT_EQ(m.physFree, 256000000ull);
    EXPECT_EQ(m.swapTotal, 2048000000ull);
    EXPECT_EQ(m.swapFree, 1536000000ull);
    EXPECT_EQ(m.loadPercent, 75);

    // Without MemAvailable: free, buffers and page cache; a missing swap reads as none.
    ASSERT_TRUE(ParseMeminfo("MemTotal: 400 kB\nMemFree: 100 kB\nBuffers: 20 kB\n"
                             "Cached: 30 kB\nSwapCached: 999 kB\n",
                             m));
    EXPECT_EQ(m.physFree, 150u * 1024);
    EXPECT_EQ(m.swapTotal, 0u);
    EXPECT_EQ(m.loadPercent, 62);
    EXPECT_FALSE(ParseMeminfo("MemFree: 100 kB\n", m));
    EXPECT_FALSE(ParseMeminfo("MemTotal: 0 kB\n", m));

    EXPECT_EQ(MemoryLoadPercent(0, 0), 0);
    EXPECT_EQ(MemoryLoadPercent(100, 200), 0); // free above total
    EXPECT_EQ(MemoryLoadPercent(UINT64_MAX, 0), 100);

    EXPECT_EQ(ParseResidentSize("Name:\tx\nVmPeak:\t 900 kB\nVmRSS:\t  5120 kB\n"), 5120u * 1024);
    EXPECT_EQ(ParseResidentSize("Name:\tx\n"), 0u);

    // This machine, and this process: a few megabytes at least.
    const MemoryStatus here = ReadMemoryStatus();
    EXPECT_TRUE(here.physTotal > 0 && here.physFree <= here.physTotal);
    EXPECT_GT(here.processResident, 1u << 20);
    EXPECT_TRUE(here.loadPercent >= 0 && here.loadPercent <= 100);
}
