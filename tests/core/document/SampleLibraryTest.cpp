// The generated sample set loaded by the tile library: the groups a designer relies on.
#include "TestSupport.h"
#include "TileLibrary.h"

#include <gtest/gtest.h>

namespace {

TEST(SampleLibraryTest, SampleSetLoadsIntoCompleteGroupsWithItsMultiTilePicture) {
    TileLibrary lib;
    const TileLoadReport report = lib.LoadTileLibrary(SampleWorkDir());
    ASSERT_EQ(report.status, TileLoadReport::Status::Ok);
    EXPECT_FALSE(report.HasProblems()) << report.ProblemText();

    auto groupIndex = [&](const std::string& code) {
        for (int g = 0; g <= lib.m_nLastGroup; ++g)
            if (lib.m_tileGroup[g].strCode == code)
                return g;
        return -1;
    };
    for (const char* code : {"GRDI", "SAWA", "RKGR", "SNRK"}) {
        const int g = groupIndex(code);
        ASSERT_GE(g, 0) << code;
        const TileGroup& group = lib.m_tileGroup[g];
        // Every slot a multi-tile painting needs has a tile: background, the twelve drawn or
        // derived orientations, and at least two full-tile alternatives.
        for (int slot = 1; slot <= 14; ++slot)
            EXPECT_GE(group.lastEntry[0][slot], 0) << code << " slot " << slot;
        EXPECT_GE(group.lastEntry[0][14], 1) << code;
        // The background is the other terrain's full tile.
        const int background = group.entryTile[0][1][0];
        EXPECT_EQ(lib.m_strTileName[background].substr(0, 2), group.strCode.substr(2, 2));
        EXPECT_NE(lib.m_tileColor[background], 0);
    }
    const TileGroup& grdi = lib.m_tileGroup[groupIndex("GRDI")];
    EXPECT_EQ(grdi.versionUsed[1], 1);
    EXPECT_GE(grdi.lastEntry[0][15], 1); // single tiles

    // The 2 x 2 multi-tile picture belongs to the grass-over-dirt group, piece by piece.
    ASSERT_EQ(grdi.multiUsed[0], 1);
    EXPECT_EQ(grdi.multiMaxCol[0], 1);
    EXPECT_EQ(grdi.multiMaxRow[0], 1);
    for (int c = 0; c < 2; ++c)
        for (int r = 0; r < 2; ++r) {
            const std::string& name = lib.m_strTileName[grdi.multiTile[0][c][r]];
            EXPECT_EQ(name[4], 'S');
            EXPECT_EQ(name[6] - '0', c);
            EXPECT_EQ(name[7] - '0', r);
        }
    for (int g = 0; g <= lib.m_nLastGroup; ++g) {
        if (g != groupIndex("GRDI")) {
            EXPECT_EQ(lib.m_tileGroup[g].multiUsed[0], 0) << lib.m_tileGroup[g].strCode;
        }
    }
}

} // namespace
