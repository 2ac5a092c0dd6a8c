#include "MapSize.h"

#include "MainDoc.h"

void ClearMapPlanes(CMainDoc& doc) {
    doc.SaveUndo("New Map");
    doc.m_map.ClearPlanes();
    doc.RedrawAll();
    doc.SetModifiedFlag();
    doc.EndStep();
}

SizeField ParseMapSizeField(std::string_view text) {
    return ParseIntegerField(text, kMinMapSize, kMaxMapSize);
}

bool ApplyMapSize(CMainDoc& doc, int width, int height) {
    if (width < kMinMapSize || width > kMaxMapSize || height < kMinMapSize || height > kMaxMapSize)
        return false;
    if (doc.m_map.m_nSizeX != width || doc.m_map.m_nSizeY != height)
        doc.SetModifiedFlag();
    doc.m_map.m_nSizeX = width;
    doc.m_map.m_nSizeY = height;
    doc.RedrawAll();
    return true;
}
