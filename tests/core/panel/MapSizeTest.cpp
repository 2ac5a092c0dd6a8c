#include "MapSize.h"
#include "MainDoc.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

void Scribble(CMainDoc& doc) {
    for (int i = 0; i < kPlaneCells; i += 37) {
        doc.m_map.m_height[i] = static_cast<std::uint8_t>(i % 251 + 1);
        doc.m_map.m_tile[i] = static_cast<std::uint16_t>(i % 600 + 1);
        doc.m_map.m_mirror[i] = 1;
        doc.m_map.m_flip[i] = static_cast<std::uint8_t>(i & 1);
    }
}

bool SamePlanes(const CMainDoc& a, const CMainDoc& b) {
    return a.m_map.SamePlanes(b.m_map);
}

} // namespace

TEST(MapSizeTest, ClearingZeroesWholePlanesAndUndoBringsThemBack) {
    auto doc = std::make_unique<CMainDoc>();
    auto before = std::make_unique<CMainDoc>();
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 100;
    Scribble(*doc);
    Scribble(*before);
    doc->m_redraw.m_bRedrawAll = 0;

    ClearMapPlanes(*doc);
    for (int i = 0; i < kPlaneCells; ++i) {
        ASSERT_EQ(doc->m_map.m_height[i], 0) << i;
        ASSERT_EQ(doc->m_map.m_tile[i], 0) << i;
        ASSERT_EQ(doc->m_map.m_mirror[i], 0) << i;
        ASSERT_EQ(doc->m_map.m_flip[i], 0) << i;
    }
    EXPECT_EQ(doc->m_map.m_nSizeX, 100);
    EXPECT_EQ(doc->m_redraw.m_bRedrawAll, 1);
    EXPECT_EQ(doc->m_history.UndoLabel(), "New Map");
    EXPECT_EQ(doc->m_change.m_bModified, 1);

    doc->Undo();
    EXPECT_TRUE(SamePlanes(*doc, *before));
}

TEST(MapSizeTest, SizeBoxesTakeWholeNumbersFromOneTo512) {
    struct Case {
        const char* text;
        SizeFieldError error;
        int value;
    };
    const Case cases[] = {
        {"512", SizeFieldError::None, 512},     {"1", SizeFieldError::None, 1},
        {" 64\t", SizeFieldError::None, 64},    {"+7", SizeFieldError::None, 7},
        {"0", SizeFieldError::OutOfRange, 0},   {"513", SizeFieldError::OutOfRange, 0},
        {"-5", SizeFieldError::OutOfRange, 0},  {"99999999999", SizeFieldError::OutOfRange, 0},
        {"", SizeFieldError::NotInteger, 0},    {"   ", SizeFieldError::NotInteger, 0},
        {"abc", SizeFieldError::NotInteger, 0}, {"12a", SizeFieldError::NotInteger, 0},
        {"1.5", SizeFieldError::NotInteger, 0}, {"+-3", SizeFieldError::NotInteger, 0},
    };
    for (const Case& c : cases) {
        const SizeField f = ParseMapSizeField(c.text);
        EXPECT_EQ(f.error, c.error) << '"' << c.text << '"';
        if (c.error == SizeFieldError::None) {
            EXPECT_EQ(f.value, c.value) << '"' << c.text << '"';
        }
    }
}

TEST(MapSizeTest, ResizingKeepsEveryCell) {
    auto doc = std::make_unique<CMainDoc>();
    auto before = std::make_unique<CMainDoc>();
    Scribble(*doc);
    Scribble(*before);

    doc->m_change.m_bModified = 0;
    EXPECT_TRUE(
        ApplyMapSize(*doc, doc->m_map.m_nSizeX, doc->m_map.m_nSizeY)); // the same size: no change
    EXPECT_EQ(doc->m_change.m_bModified, 0);
    EXPECT_TRUE(ApplyMapSize(*doc, 512, 64));
    EXPECT_EQ(doc->m_change.m_bModified, 1);
    EXPECT_EQ(doc->m_map.m_nSizeX, 512);
    EXPECT_EQ(doc->m_map.m_nSizeY, 64);
    EXPECT_TRUE(ApplyMapSize(*doc, 20, 30));
    EXPECT_TRUE(ApplyMapSize(*doc, 512, 512));
    EXPECT_EQ(doc->m_map.m_nSizeX, 512);
    EXPECT_EQ(doc->m_map.m_nSizeY, 512);
    EXPECT_TRUE(SamePlanes(*doc, *before));

    doc->m_redraw.m_bRedrawAll = 0;
    for (auto [w, h] : std::vector<std::pair<int, int>>{{0, 10}, {10, 513}, {-1, -1}}) {
        EXPECT_FALSE(ApplyMapSize(*doc, w, h));
        EXPECT_EQ(doc->m_map.m_nSizeX, 512);
        EXPECT_EQ(doc->m_map.m_nSizeY, 512);
    }
    EXPECT_EQ(doc->m_redraw.m_bRedrawAll, 0);
}
