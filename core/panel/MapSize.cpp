#include "MapSize.h"

#include "MainDoc.h"

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
    return ParseIntegerField(text, kMinMapSize, kMaxMapSize);
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
