#include "BmpFile.h"
#include "Picture.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kOffsetField = 10;     // file header: where the pixel bits begin
constexpr std::size_t kColorsUsedField = 46; // info header: entries in the colour table
constexpr std::size_t kHeadersEnd = 14 + 40; // file header + 40-byte info header

std::uint32_t Get32(const Bytes& v, std::size_t at) {
    return v[at] | (v[at + 1] << 8) | (v[at + 2] << 16) |
           (static_cast<std::uint32_t>(v[at + 3]) << 24);
}
void Set32(Bytes& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}

// `bytes` with `count` bytes of 0xEE inserted at `at`, the pixel offset moved to match.
Bytes WithInserted(Bytes bytes, std::size_t at, std::size_t count) {
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), count, 0xEE);
    Set32(bytes, kOffsetField, Get32(bytes, kOffsetField) + static_cast<std::uint32_t>(count));
    return bytes;
}
Bytes WithOffset(Bytes bytes, std::uint32_t offset) {
    Set32(bytes, kOffsetField, offset);
    return bytes;
}

const std::vector<std::uint32_t> kColours = {0x00102030, 0x00405060, 0x00708090,
                                             0x00A0B0C0, 0x00D0E0F0, 0x00123456};

// 3 x 2 pixels, each a different colour of kColours (top row first).
TestBmp Small(int bitCount, bool topDown = false) {
    TestBmp b = TestBmp::Filled(3, 2, 0);
    b.bitCount = bitCount;
    b.topDown = topDown;
    for (std::size_t i = 0; i < kColours.size(); ++i)
        b.pixels[i] = bitCount == 8 ? static_cast<std::uint32_t>(i) : kColours[i];
    if (bitCount == 8)
        b.palette = kColours;
    return b;
}

// The same picture with a 12-byte core header, 3-byte colour table entries and `gap` bytes
// between the colour table and the bits.
Bytes CoreHeaderFile(std::size_t gap) {
    const std::size_t offset = 14 + 12 + 256 * 3 + gap;
    Bytes v(offset + 2 * 4, 0);
    v[0] = 'B';
    v[1] = 'M';
    Set32(v, kOffsetField, static_cast<std::uint32_t>(offset));
    v[14] = 12;
    v[18] = 3; // width
    v[20] = 2; // height
    v[22] = 1; // planes
    v[24] = 8; // bits per pixel
    for (std::size_t i = 0; i < kColours.size(); ++i) {
        v[26 + 3 * i] = kColours[i] & 0xFF;
        v[27 + 3 * i] = (kColours[i] >> 8) & 0xFF;
        v[28 + 3 * i] = (kColours[i] >> 16) & 0xFF;
    }
    const std::uint8_t bits[8] = {3, 4, 5, 0, 0, 1, 2, 0}; // bottom row first, rows of 4 bytes
    std::copy(bits, bits + 8, v.begin() + static_cast<std::ptrdiff_t>(offset));
    return v;
}

std::uint32_t PixelAt(const BmpFile& bmp, int x, int yFromTop) {
    const std::uint8_t* row = bmp.RowFromBottom(bmp.height - 1 - yFromTop);
    if (bmp.bitCount == 8)
        return bmp.palette[row[x]];
    return MakeColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
}

TEST(BmpFileTest, ReadsThePixelBitsWhereTheFileHeaderSaysTheyBegin) {
    const Bytes plain24 = Small(24).Encode();
    const Bytes plain8 = Small(8).Encode();
    Bytes table24 = WithInserted(plain24, kHeadersEnd, 16 * 4); // a table the depth does not use
    Set32(table24, kColorsUsedField, 16);
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"24-bit", plain24},
        {"24-bit, gap before the bits", WithInserted(plain24, kHeadersEnd, 10)},
        {"24-bit with a colour table", table24},
        {"8-bit, gap after the colour table", WithInserted(plain8, kHeadersEnd + 6 * 4, 7)},
        {"8-bit top-down, gap", WithInserted(Small(8, true).Encode(), kHeadersEnd + 6 * 4, 1)},
        {"core header, no gap", CoreHeaderFile(0)},
        {"core header, gap", CoreHeaderFile(5)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile bmp;
        std::string error;
        ASSERT_TRUE(BmpFile::Parse(c.bytes, bmp, error)) << error;
        ASSERT_EQ(bmp.width, 3);
        ASSERT_EQ(bmp.height, 2);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(PixelAt(bmp, i % 3, i / 3), kColours[i]) << "pixel " << i;
    }
}

TEST(BmpFileTest, RefusesPixelOffsetsOutsideTheFileOrInsideTheHeaders) {
    const Bytes plain24 = Small(24).Encode(); // 54 bytes of headers, 2 rows of 12 bytes
    const Bytes plain8 = Small(8).Encode();   // headers and 6 colours end at byte 78
    const auto size24 = static_cast<std::uint32_t>(plain24.size());
    const struct {
        const char* name;
        Bytes bytes;
        const char* error;
    } cases[] = {
        {"offset beyond the file", WithOffset(plain24, size24 + 1), "beyond the end"},
        {"offset far beyond the file", WithOffset(plain24, 0xFFFFFFF0u), "beyond the end"},
        {"offset at the end of the file", WithOffset(plain24, size24), "shorter than"},
        {"last row one byte short", WithOffset(plain24, kHeadersEnd + 1), "shorter than"},
        {"offset inside the info header", WithOffset(plain24, kHeadersEnd - 1), "inside"},
        {"offset zero", WithOffset(plain24, 0), "inside"},
        {"offset inside the colour table", WithOffset(plain8, kHeadersEnd + 5 * 4), "inside"},
        {"offset inside a core header's table", WithOffset(CoreHeaderFile(0), 14 + 12 + 255 * 3),
         "inside"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BmpFile bmp;
        std::string error;
        EXPECT_FALSE(BmpFile::Parse(c.bytes, bmp, error));
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_NE(error.find("offset"), std::string::npos) << error;
    }
}

} // namespace
