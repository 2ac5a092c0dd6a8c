// Drawing, turning and grabbing tiles, and the classification of group tiles into pieces.
#include "TileTools.h"
#include "MainDoc.h"
#include "Random.h"
#include "TestSupport.h"
#include "ToolCodes.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <tuple>
#include <utility>

namespace {

// A document whose tile groups come from tile names alone (no pictures).
std::unique_ptr<CMainDoc> DocWithTiles(std::initializer_list<const char*> names) {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_tiles.m_nLastTile = -1;
    for (const char* n : names)
        doc->m_tiles.m_strTileName[++doc->m_tiles.m_nLastTile] = n;
    TileLoadReport report;
    doc->m_tiles.BuildGroups(report);
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 16;
    doc->m_redraw.m_bRedrawAll = 0;
    return doc;
}

// Grass over dirt with one drawn tile per orientation set, three full tiles and two singles.
std::unique_ptr<CMainDoc> GrassOverDirt() {
    return DocWithTiles({"GRDIA000", "GRDIB000", "GRDIE000", "GRDII000", "DI_1M000", "GR_1M000",
                         "GR_2M000", "GR_3M000", "GRFLN000", "GRSTN000"});
}

std::pair<int, int> FlagsAt(const CMainDoc& d, int x, int y) {
    return {d.m_map.m_mirror[CellIndex(x, y)], d.m_map.m_flip[CellIndex(x, y)]};
}

// Paints the selected item at (2, 2) and returns (tile, mirror, flip) there.
std::tuple<int, int, int> Drawn(CMainDoc& d) {
    d.SetTileFlags(2, 2, 999, 0, 0);
    DrawSelectedTile(d, 2, 2);
    const int i = CellIndex(2, 2);
    return {d.m_map.m_tile[i], d.m_map.m_mirror[i], d.m_map.m_flip[i]};
}

TEST(TileToolsTest, RotateStepsThroughTheFourOrientationsSpinAndResetSetThem) {
    auto doc = DocWithTiles({});
    CMainDoc& d = *doc;
    d.SetTileFlags(3, 4, 7, 0, 0);
    d.m_redraw.m_nLastDirty = -1;

    const std::pair<int, int> cycle[] = {{1, 0}, {1, 1}, {0, 1}, {0, 0}, {1, 0}};
    for (const auto& expected : cycle) {
        RotateTile(d, 3, 4);
        EXPECT_EQ(FlagsAt(d, 3, 4), expected);
        EXPECT_EQ(d.m_map.m_tile[CellIndex(3, 4)], 7);
    }
    ASSERT_EQ(d.m_redraw.m_nLastDirty, 0);
    EXPECT_EQ(d.m_redraw.m_dirtyCell[0].x, 3);
    EXPECT_EQ(d.m_redraw.m_dirtyCell[0].y, 4);

    ResetTile(d, 3, 4);
    EXPECT_EQ(FlagsAt(d, 3, 4), std::make_pair(0, 0));
    EXPECT_EQ(d.m_map.m_tile[CellIndex(3, 4)], 7);

    // Random orientations: all four occur, the tile stays.
    Random::Seed(99);
    std::set<std::pair<int, int>> seen;
    for (int i = 0; i < 200; ++i) {
        SpinTile(d, 3, 4);
        seen.insert(FlagsAt(d, 3, 4));
        ASSERT_EQ(d.m_map.m_tile[CellIndex(3, 4)], 7);
    }
    EXPECT_EQ(seen, (std::set<std::pair<int, int>>{{0, 0}, {0, 1}, {1, 0}, {1, 1}}));

    // Cells beyond the map size keep their flags.
    d.m_map.m_flip[CellIndex(16, 4)] = 1;
    for (auto op : {RotateTile, SpinTile, ResetTile}) {
        op(d, 16, 4);
        op(d, -1, 0);
    }
    EXPECT_EQ(FlagsAt(d, 16, 4), std::make_pair(0, 1));
}

TEST(TileToolsTest, DrawingPaintsAlternativeZeroOrEveryAlternativeOfTheListAtRandom) {
    auto doc = GrassOverDirt();
    CMainDoc& d = *doc;
    d.SelectTile(0, 0, selGroupVersion);
    d.m_sel.m_nSelItem = 13; // the full tiles GR_1M, GR_2M, GR_3M
    ASSERT_EQ(LastAlternative(d, 13), 2);

    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(Drawn(d), std::make_tuple(5, 0, 0));

    d.m_tools.m_bAutoRandomize = 1;
    Random::Seed(1234);
    std::map<std::tuple<int, int, int>, int> counts;
    for (int i = 0; i < 300; ++i)
        ++counts[Drawn(d)];
    ASSERT_EQ(counts.size(), 3u);
    for (int tile : {5, 6, 7})
        EXPECT_GT((counts[{tile, 0, 0}]), 50) << tile;

    // A derived slot paints its stored orientation: three corners but SW = I turned half round.
    d.m_tools.m_bAutoRandomize = 0;
    d.m_sel.m_nSelItem = 11;
    EXPECT_EQ(Drawn(d), std::make_tuple(3, 1, 1));
    using Pick = std::pair<std::uint16_t, std::uint16_t>;
    EXPECT_EQ(PickTile(d, 5), Pick(2, 0));
    EXPECT_EQ(PickTile(d, 6), Pick(2, 256)); // upside down
    EXPECT_EQ(PickTile(d, 8), Pick(2, 1));   // mirrored
}

TEST(TileToolsTest, SingleTilesEmptyListsAndSelectionsOutsideTheLibrary) {
    auto doc = GrassOverDirt();
    CMainDoc& d = *doc;
    d.SelectTile(0, 0, selSingleTiles);
    d.m_sel.m_nSelItem = 1;
    d.m_tools.m_bAutoRandomize = 1;
    EXPECT_EQ(LastAlternative(d, 1), 1);
    for (int i = 0; i < 10; ++i)
        ASSERT_EQ(Drawn(d), std::make_tuple(9, 0, 0));
    // The panel's preview names what a click draws, or nothing when it draws no library tile.
    auto previewed = [&d]() -> int {
        std::uint16_t tile = 0, orientation = 0;
        return PreviewSelectedTile(d, tile, orientation) ? tile + 1000 * orientation : -1;
    };
    EXPECT_EQ(previewed(), 9);

    // Version 1 has only the M tiles: its edge list is empty and paints entry 0 as stored.
    d.SelectTile(0, 1, selGroupVersion);
    d.m_sel.m_nSelItem = 1;
    EXPECT_EQ(LastAlternative(d, 1), -1);
    EXPECT_EQ(previewed(), -1);
    EXPECT_EQ(Drawn(d), std::make_tuple(0, 0, 0));
    d.m_sel.m_nSelItem = 0;
    EXPECT_EQ(previewed(), 4);
    EXPECT_EQ(std::get<0>(Drawn(d)), 4); // the background is there in every version

    // No group, no version, no slot, or a brush selected: the cell keeps its tile.
    const int none[][4] = {{1, 0, selGroupVersion, 0},
                           {-1, 0, selGroupVersion, 0},
                           {0, 5, selGroupVersion, 0},
                           {0, 0, selGroupVersion, 14},
                           {0, 0, selCustomBrush, 0}};
    for (const auto& [group, version, kind, item] : none) {
        d.SelectTile(group, version, kind);
        d.m_sel.m_nSelItem = item;
        EXPECT_EQ(Drawn(d), std::make_tuple(999, 0, 0)) << group << " " << version << " " << kind;
        EXPECT_EQ(previewed(), -1) << group << " " << version << " " << kind;
    }

    // The strip's answer for stamps and brushes.
    d.m_nLastBrush = 1;
    EXPECT_EQ(LastAlternative(d, 1), 0);
    EXPECT_EQ(LastAlternative(d, 2), -1);
    d.SelectTile(0, 0, selGroupStamp);
    d.m_tiles.m_tileGroup[0].multiUsed[3] = 1;
    EXPECT_EQ(LastAlternative(d, 3), 0);
    EXPECT_EQ(LastAlternative(d, 2), -1);
    EXPECT_EQ(LastAlternative(d, 10), -1);
    d.m_sel.m_nSelKind = 7;
    EXPECT_EQ(LastAlternative(d, 0), -1);
}

TEST(TileToolsTest, GrabSelectsTheFirstListHoldingTheTile) {
    auto doc = DocWithTiles({
        "AABBA000", // 0: group 0
        "BBCCA000", // 1: group 1
        "BBCCD020", // 2: group 1, version 2, kind slot 5, entry 0
        "BBCCD021", // 3: entry 1
        "BBCCD022", // 4: entry 2
        "BB_1M000", // 5: full tile of group 1 (slot 14), background of group 0 (slot 1)
        "BBFLN000", // 6: single tiles of group 1 (slot 15)
        "BBSTN000", // 7
        "QQQQQ000", // 8: in no list
    });
    CMainDoc& d = *doc;
    CountingView observer;
    d.AddObserver(&observer);
    d.m_sel.m_bStripChanged = 0;
    auto selection = [&] {
        return std::make_tuple(d.m_sel.m_nSelGroup, d.m_sel.m_nSelVersion, d.m_sel.m_nSelKind,
                               d.m_sel.m_nSelItem);
    };

    EXPECT_TRUE(GrabTile(d, 4));
    EXPECT_EQ(selection(), std::make_tuple(1, 2, 0, 4));
    EXPECT_EQ(observer.updates, 1);
    EXPECT_TRUE(GrabTile(d, 5)); // group 0 is searched first
    EXPECT_EQ(selection(), std::make_tuple(0, 0, 0, 0));
    EXPECT_TRUE(GrabTile(d, 7));
    EXPECT_EQ(selection(), std::make_tuple(1, 0, 1, 1));
    EXPECT_EQ(d.m_sel.m_bStripChanged, 0);

    // No match, a tile beyond the library, or no groups at all: nothing changes.
    for (int tile : {8, 9, -1, 65535})
        EXPECT_FALSE(GrabTile(d, tile));
    d.m_tiles.m_nLastGroup = -1;
    EXPECT_FALSE(GrabTile(d, 2));
    EXPECT_EQ(selection(), std::make_tuple(1, 0, 1, 1));
    EXPECT_EQ(observer.updates, 3);
    d.RemoveObserver(&observer);
}

TEST(TileToolsTest, ClassifiesEverySlotInEveryOrientation) {
    // A tile drawn for every slot: tile s + 1 is the only tile of slot s (s = 1..12).
    auto doc = DocWithTiles({"DI_1M000", "GR_1M000", "GRDIA000", "GRDIB000", "GRDIC000", "GRDID000",
                             "GRDIE000", "GRDIF000", "GRDIG000", "GRDIH000", "GRDII000", "GRDIJ000",
                             "GRDIK000", "GRDIL000", "GRFLN000"});
    CMainDoc& d = *doc;
    d.SelectTile(0, 0, selGroupVersion);
    // Piece codes by (mirror, flip) = (0,0), (1,0), (0,1), (1,1). Slot 3 is drawn as the north
    // half, slot 8 as the south-east corner, slot 12 as all but the north-west, and so on.
    const int expected[14][4] = {
        {13, 13, 13, 13}, {6, 6, 7, 7},   {4, 5, 4, 5},   {7, 7, 6, 6},     {5, 4, 5, 4},
        {0, 1, 2, 3},     {2, 3, 0, 1},   {3, 2, 1, 0},   {1, 0, 3, 2},     {8, 9, 10, 11},
        {10, 11, 8, 9},   {11, 10, 9, 8}, {9, 8, 11, 10}, {12, 12, 12, 12},
    };
    auto tileOfSlot = [](int s) { return s == 0 ? 0 : s == 13 ? 1 : s + 1; };
    for (int kind : {selGroupVersion, selSingleTiles}) {
        d.m_sel.m_nSelKind = kind; // multi-tile painting reads the group's slots either way
        for (int s = 0; s < 14; ++s) {
            ASSERT_EQ(FindSlot(d, tileOfSlot(s)), s);
            for (int m = 0; m < 3; ++m)
                for (int f = 0; f < 3; ++f) // 2 counts as not set
                    EXPECT_EQ(ClassifyTile(d, tileOfSlot(s), m, f),
                              expected[s][(m == 1) + 2 * (f == 1)])
                        << "slot " << s << " mirror " << m << " flip " << f;
        }
    }
    EXPECT_EQ(FindSlot(d, 14), -1); // a single tile
    EXPECT_EQ(ClassifyTile(d, 14, 0, 0), kPieceNone);
    EXPECT_EQ(ClassifyTile(d, 400, 1, 1), kPieceNone);
    d.m_sel.m_nSelGroup = 3;
    EXPECT_EQ(ClassifyTile(d, 2, 0, 0), kPieceNone);

    // Derived orientations: the four drawn tiles turn as the drawn slots above, and every entry
    // painted as stored classifies back to its own slot.
    auto derived = GrassOverDirt();
    CMainDoc& g = *derived;
    g.SelectTile(0, 0, selGroupVersion);
    for (const auto& [tile, slot] : {std::pair{0, 1}, {1, 2}, {2, 5}, {3, 9}, {4, 0}, {6, 13}})
        for (int m = 0; m < 2; ++m)
            for (int f = 0; f < 2; ++f)
                EXPECT_EQ(ClassifyTile(g, tile, m, f), expected[slot][m + 2 * f]) << tile;
    const TileGroup& group = g.m_tiles.m_tileGroup[0];
    for (int s = 0; s < 14; ++s) {
        ASSERT_GE(group.lastEntry[0][s + 1], 0) << s;
        for (int e = 0; e <= group.lastEntry[0][s + 1]; ++e) {
            const int piece =
                ClassifyTile(g, group.entryTile[0][s + 1][e], group.entryMirror[0][s + 1][e],
                             group.entryFlip[0][s + 1][e]);
            EXPECT_EQ(SlotOfPiece[piece], s) << "slot " << s << " entry " << e;
        }
    }
}

} // namespace
