#pragma once

#include "CellRect.h"
#include "MapRenderer.h"
#include "Picture.h"

#include <cstdint>

class CMainDoc;

// Draws a rectangle of cells as the map view shows it when the rectangle's upper-left cell is at
// the view's upper-left corner and the view is exactly as large as the rectangle: the same tiles,
// shading, grid and scale marker, at the document's zoom and view settings. The picture is made
// in bands of cell rows, so a large one never needs a frame of its whole size; rows are handed
// out top first.
class RegionRenderer {
public:
    // `region` must lie inside the map. `bandPixels` bounds the pixels of one band's frame.
    RegionRenderer(CMainDoc& doc, const CellRect& region, long long bandPixels = 1LL << 24);

    int Width() const { return m_region.w * m_nCellPixels; }
    int Height() const { return m_region.h * m_nCellPixels; }
    int BandRows() const { return m_nBandRows; }

    // Pixel row y of the picture. Rows must be asked for in ascending order (a row of the band
    // drawn last may be asked again).
    const std::uint32_t* Row(int y);

    // The whole picture at once.
    Picture Render();

private:
    void DrawBand(int firstRow);

    CMainDoc& m_doc;
    CellRect m_region;
    int m_nCellPixels;
    int m_nBandRows;
    int m_nBandFirst = -1; // first cell row of the band in the frame, -1 before the first
    MapRenderer m_renderer;
};
