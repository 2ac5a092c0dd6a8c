#include "TileDecode.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

bool AllPixels(const Picture& p, std::uint32_t colour) {
    return std::all_of(p.pixels.begin(), p.pixels.end(),
                       [colour](std::uint32_t px) { return px == colour; });
}

TEST(TileDecodeTest, SizesTheTileKeepsTheBufferAndLeavesTheTileAloneWhenRefused) {
    Picture tile; // not yet a tile
    std::vector<std::uint8_t> bytes = TestBmp::Filled(130, 140, 0x00123456).Encode();
    const std::size_t fileSize = bytes.size();
    std::string why;
    ASSERT_TRUE(DecodeTile(bytes, tile, why)) << why;
    EXPECT_EQ(tile.width, 128);
    EXPECT_EQ(tile.height, 128);
    EXPECT_TRUE(AllPixels(tile, 0x00123456));
    EXPECT_EQ(bytes.size(), fileSize); // handed back for the next file

    const std::vector<std::uint8_t> refused[] = {
        TestBmp::Filled(127, 128, 0x00FFFFFF).Encode(), // too narrow
        {'B', 'M', 1, 2, 3},
        {},
    };
    for (const auto& r : refused) {
        bytes = r;
        why.clear();
        EXPECT_FALSE(DecodeTile(bytes, tile, why));
        EXPECT_FALSE(why.empty());
        EXPECT_TRUE(AllPixels(tile, 0x00123456));
    }
    EXPECT_NE(why.find("BMP"), std::string::npos) << why;
}

} // namespace
