#include "MapSize.h"

#include "MainDoc.h"

#include <charconv>
#include <cstring>

void ClearMapPlanes(CMainDoc& doc) {
    doc.SaveUndo();
    std::memset(doc.m_height, 0, sizeof doc.m_height);
    std::memset(doc.m_tile, 0, sizeof doc.m_tile);
    std::memset(doc.m_mirror, 0, sizeof doc.m_mirror);
    std::memset(doc.m_flip, 0, sizeof doc.m_flip);
    doc.RedrawAll();
    doc.SetModifiedFlag();
}

SizeField ParseMapSizeField(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    // from_chars takes a minus sign but not a plus sign.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    if (text.empty())
        return {0, SizeFieldError::NotInteger};

    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec == std::errc::result_out_of_range && ptr == end)
        return {0, SizeFieldError::OutOfRange}; // a whole number, just far too large
    if (ec != std::errc() || ptr != end)
        return {0, SizeFieldError::NotInteger};
    if (value < kMinMapSize || value > kMaxMapSize)
        return {0, SizeFieldError::OutOfRange};
    return {value, SizeFieldError::None};
}

bool ApplyMapSize(CMainDoc& doc, int width, int height) {
    if (width < kMinMapSize || width > kMaxMapSize || height < kMinMapSize || height > kMaxMapSize)
        return false;
    if (doc.m_nSizeX != width || doc.m_nSizeY != height)
        doc.SetModifiedFlag();
    doc.m_nSizeX = width;
    doc.m_nSizeY = height;
    doc.RedrawAll();
    return true;
}
