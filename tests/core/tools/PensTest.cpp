#include "Pens.h"
#include "MainDoc.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

namespace {

struct Visit {
    int x, y, w;
};

std::vector<Visit> Footprint(const CMainDoc& doc, int x, int y) {
    std::vector<Visit> v;
    ForEachFootprintCell(doc, x, y, [&](int cx, int cy, int w) { v.push_back({cx, cy, w}); });
    return v;
}

// Weights of a square pen laid out as rows top to bottom.
std::vector<std::vector<int>> SquareWeights(CMainDoc& doc, int w, int h, int direction) {
    doc.m_tools.m_nPenShape = 0;
    doc.m_tools.m_fPenWidth = static_cast<float>(w);
    doc.m_tools.m_fPenHeight = static_cast<float>(h);
    doc.m_tools.m_nPenGradient = direction;
    std::vector<std::vector<int>> rows(h, std::vector<int>(w, -1));
    for (const Visit& v : Footprint(doc, 0, 0))
        rows[v.y][v.x] = v.w;
    return rows;
}

using Rows = std::vector<std::vector<int>>;

TEST(PensTest, PenRowsCoverTheirCellCountsInFootprintOrder) {
    auto doc = std::make_unique<CMainDoc>();
    const int cells[kPenRows] = {1, 4, 5, 9, 13, 21, 25, 37, 21, 21, 69, 97, 177};
    for (int row = 0; row < kPenRows; ++row) {
        SelectPenRow(*doc, row);
        EXPECT_EQ(Footprint(*doc, 50, 50).size(), static_cast<std::size_t>(cells[row]))
            << kPenTable[row].text;
        EXPECT_EQ(doc->m_tools.m_nPenGradient, 4);
        EXPECT_EQ(doc->m_tools.m_nPen, row);
    }
    // "3x3" starts at the clicked cell, rows outer, columns inner.
    SelectPenRow(*doc, 3);
    const std::vector<Visit> square = Footprint(*doc, 10, 10);
    EXPECT_TRUE(square.front().x == 10 && square.front().y == 10);
    EXPECT_TRUE(square[1].x == 11 && square[1].y == 10);
    EXPECT_TRUE(square.back().x == 12 && square.back().y == 12);
    // "3x3 Cross" is centred: (10, 9), then (9..11, 10), then (10, 11).
    SelectPenRow(*doc, 2);
    const std::vector<Visit> cross = Footprint(*doc, 10, 10);
    ASSERT_EQ(cross.size(), 5u);
    const int expected[5][2] = {{10, 9}, {9, 10}, {10, 10}, {11, 10}, {10, 11}};
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(cross[i].x == expected[i][0] && cross[i].y == expected[i][1]) << i;
    // The 15 x 15 circle's row spans: row -7 covers -2..2, row -4 covers -6..6.
    SelectPenRow(*doc, 12);
    std::map<int, std::pair<int, int>> spans;
    for (const Visit& v : Footprint(*doc, 0, 0)) {
        auto [it, added] = spans.try_emplace(v.y, v.x, v.x);
        it->second.first = std::min(it->second.first, v.x);
        it->second.second = std::max(it->second.second, v.x);
    }
    EXPECT_EQ(spans[-7], std::make_pair(-2, 2));
    EXPECT_EQ(spans[-6], std::make_pair(-4, 4));
    EXPECT_EQ(spans[-4], std::make_pair(-6, 6));
    EXPECT_EQ(spans[0], std::make_pair(-7, 7));
    // A custom 1 x 1 circle covers only the clicked cell; an unknown shape covers nothing.
    doc->m_tools.m_nPenShape = 1;
    doc->m_tools.m_fPenWidth = doc->m_tools.m_fPenHeight = 1;
    EXPECT_EQ(Footprint(*doc, 3, 4).size(), 1u);
    doc->m_tools.m_nPenShape = 2;
    EXPECT_TRUE(Footprint(*doc, 3, 4).empty());
}

TEST(PensTest, WeightsFollowTheGradientDirections) {
    auto doc = std::make_unique<CMainDoc>();
    EXPECT_EQ(SquareWeights(*doc, 3, 3, 4), (Rows{{33, 52, 33}, {52, 100, 52}, {33, 52, 33}}));
    EXPECT_EQ(SquareWeights(*doc, 3, 3, 0), (Rows{{83, 62, 39}, {62, 50, 31}, {39, 31, 16}}));
    EXPECT_EQ(SquareWeights(*doc, 3, 3, 8), (Rows{{36, 57, 80}, {57, 70, 88}, {80, 88, 100}}));
    EXPECT_EQ(SquareWeights(*doc, 3, 3, 1), (Rows{{100, 100, 100}, {50, 50, 50}, {0, 0, 0}}));
    EXPECT_EQ(SquareWeights(*doc, 3, 3, 3), (Rows{{100, 50, 0}, {100, 50, 0}, {100, 50, 0}}));
    EXPECT_EQ(SquareWeights(*doc, 2, 2, 4), (Rows{{0, 29}, {29, 100}}));
    // The upper corners mirror each other; the lower ones are offset by 0.2.
    const Rows two = SquareWeights(*doc, 3, 3, 2);
    const Rows six = SquareWeights(*doc, 3, 3, 6);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(two[j][i], SquareWeights(*doc, 3, 3, 0)[j][2 - i]);
            EXPECT_GE(six[j][i], 20);
        }
    // Along an axis of one cell the ramps give the full weight.
    EXPECT_EQ(SquareWeights(*doc, 5, 1, 1), (Rows{{100, 100, 100, 100, 100}}));
    EXPECT_EQ(SquareWeights(*doc, 1, 4, 5), (Rows{{100}, {100}, {100}, {100}}));
    EXPECT_EQ(SquareWeights(*doc, 5, 1, 5), (Rows{{0, 25, 50, 75, 100}}));
}

} // namespace
