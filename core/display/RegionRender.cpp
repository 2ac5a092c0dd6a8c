#include "RegionRender.h"

#include "MainDoc.h"
#include "Navigation.h"

#include <algorithm>
#include <stdexcept>

RegionRenderer::RegionRenderer(CMainDoc& doc, const CellRect& region, long long bandPixels)
    : m_doc(doc), m_region(region), m_nCellPixels(doc.m_view.m_nCellPixels) {
    if (region.w <= 0 || region.h <= 0 || region.x < 0 || region.y < 0 ||
        region.x + region.w > doc.m_map.m_nSizeX || region.y + region.h > doc.m_map.m_nSizeY)
        throw std::invalid_argument("the region does not lie inside the map");
    const long long rowPixels = static_cast<long long>(Width() + 200) * m_nCellPixels;
    m_nBandRows = static_cast<int>(std::clamp<long long>(bandPixels / rowPixels, 1, region.h));
}

void RegionRenderer::DrawBand(int firstRow) {
    // A band above another one takes one more cell row: the map view draws a horizontal grid
    // line only between two rows it shows, on the last pixel row of the upper one.
    const int rows = std::min(m_nBandRows, m_region.h - firstRow);
    const int trail = firstRow + rows < m_region.h ? 1 : 0;
    const int marker = m_doc.m_view.m_bScaleMarker;
    if (firstRow > 0)
        m_doc.m_view.m_bScaleMarker = 0; // the marker sits in the view's upper-left corner only
    m_doc.RedrawAll();
    m_renderer.m_bNewFrame = 1; // black again: cells without a tile are not drawn
    m_renderer.Render(m_doc, Width(), (rows + trail) * m_nCellPixels,
                      m_region.x * ScrollUnitsPerCell, (m_region.y + firstRow) * ScrollUnitsPerCell,
                      nullptr);
    m_doc.m_view.m_bScaleMarker = marker;
    m_nBandFirst = firstRow;
}

const std::uint32_t* RegionRenderer::Row(int y) {
    const int cellRow = y / m_nCellPixels;
    if (m_nBandFirst < 0 || cellRow >= m_nBandFirst + m_nBandRows)
        DrawBand(cellRow - cellRow % m_nBandRows);
    return m_renderer.m_hFrameDib.Row(y - m_nBandFirst * m_nCellPixels);
}

Picture RegionRenderer::Render() {
    Picture picture(Width(), Height());
    for (int y = 0; y < Height(); ++y)
        std::copy_n(Row(y), Width(), picture.Row(y));
    return picture;
}
