#include "MapRenderer.h"

#include "FrameOps.h"
#include "MainDoc.h"
#include "Navigation.h"

void MapRenderer::CreateFrame(CMainDoc& doc, int clientWidth, int clientHeight) {
    doc.m_redraw.m_bRedrawAll = 1;
    m_hFrameDib = Picture(clientWidth + 200, clientHeight + 200);
    m_nClientWidth = clientWidth;
    m_nClientHeight = clientHeight;
    m_bNewFrame = 0;
}

void SetOverviewPixel(const CMainDoc& doc, Picture& overview, int x, int y) {
    if (x < 0 || y < 0 || x >= overview.width || y >= overview.height)
        return;
    const int t = doc.m_map.m_tile[CellIndex(x, y)];
    overview.At(x, y) =
        t <= doc.m_tiles.m_nLastTile ? static_cast<std::uint32_t>(doc.m_tiles.m_tileColor[t]) : 0u;
}

const Picture& MapRenderer::TileAtZoom(const CMainDoc& doc, int t) {
    const Picture& tile = doc.m_tiles.m_hTileDib[t];
    const int step = doc.m_view.m_nZoomStep;
    if (step == 1 || tile.IsNull() || tile.width != kTileSize || tile.height != kTileSize)
        return tile;
    // Sampling every step-th pixel of a tile scattered in memory costs more than the drawing;
    // the reduced copies are contiguous and made once per zoom.
    if (step != m_nReducedStep || doc.m_tiles.m_nGeneration != m_nReducedGeneration ||
        m_reduced.size() != doc.m_tiles.m_hTileDib.size()) {
        m_reduced.assign(doc.m_tiles.m_hTileDib.size(), Picture());
        m_nReducedStep = step;
        m_nReducedGeneration = doc.m_tiles.m_nGeneration;
    }
    if (m_reduced[t].IsNull())
        m_reduced[t] = ReduceTile(tile, step);
    return m_reduced[t];
}

void MapRenderer::DrawCell(const CMainDoc& doc, int x, int y, int px, int py, int k) {
    const int i = CellIndex(x, y);
    const Picture& full = doc.m_tiles.m_hTileDib[doc.m_map.m_tile[i]];
    if (full.IsNull())
        return;
    const Picture& tile = TileAtZoom(doc, doc.m_map.m_tile[i]);
    const int step = &tile == &full ? doc.m_view.m_nZoomStep : 1;
    if (!doc.m_view.m_bGouraud) {
        DrawTile(m_hFrameDib, px, py, tile, doc.ShadeOffset(x, y) * k, doc.m_map.m_flip[i],
                 doc.m_map.m_mirror[i], step);
    } else {
        DrawTileShaded(m_hFrameDib, px, py, tile, doc.ShadeOffset(x, y) * k,
                       doc.ShadeOffset(x + 1, y) * k, doc.ShadeOffset(x, y + 1) * k,
                       doc.ShadeOffset(x + 1, y + 1) * k, doc.m_map.m_flip[i],
                       doc.m_map.m_mirror[i], step);
    }
}

bool MapRenderer::Render(CMainDoc& doc, int w, int h, int scrollX, int scrollY, Picture* overview) {
    if (m_bNewFrame || m_nClientWidth != w || m_nClientHeight != h || m_hFrameDib.IsNull())
        CreateFrame(doc, w, h);

    const int cp = doc.m_view.m_nCellPixels;
    // Partly visible cells at the right and bottom edges count: the frame is 200 pixels larger
    // than the client area, so a cell that sticks out still fits in it.
    const int cols = (w + cp - 1) / cp;
    const int rows = (h + cp - 1) / cp;
    const int x0 = FirstVisibleCell(scrollX);
    const int y0 = FirstVisibleCell(scrollY);
    const int k = doc.m_view.m_nHeightViewScale > 0 ? 256 / doc.m_view.m_nHeightViewScale : 0;

    bool drew = false;
    if (doc.m_redraw.m_bRedrawAll) {
        if (overview) {
            for (int x = 0; x < doc.m_map.m_nSizeX; ++x)
                for (int y = 0; y < doc.m_map.m_nSizeY; ++y)
                    SetOverviewPixel(doc, *overview, x, y);
        }
        for (int i = 0; i < cols; ++i) {
            for (int j = 0; j < rows; ++j) {
                const int x = x0 + i, y = y0 + j;
                if (x >= doc.m_map.m_nSizeX || y >= doc.m_map.m_nSizeY) {
                    // Beyond the map: black (tile 0 with a brightness below -128).
                    DrawTile(m_hFrameDib, i * cp, j * cp, doc.m_tiles.m_hTileDib[0], -129, 0, 0,
                             doc.m_view.m_nZoomStep);
                } else if (doc.m_map.m_tile[CellIndex(x, y)] <= doc.m_tiles.m_nLastTile) {
                    DrawCell(doc, x, y, i * cp, j * cp, k);
                }
            }
        }
        drew = true;
    } else if (doc.m_redraw.m_nLastDirty >= 0) {
        for (int d = 0; d <= doc.m_redraw.m_nLastDirty; ++d) {
            const int x = doc.m_redraw.m_dirtyCell[d].x, y = doc.m_redraw.m_dirtyCell[d].y;
            if (overview && doc.InMap(x, y))
                SetOverviewPixel(doc, *overview, x, y);
            if (x >= x0 && x <= x0 + cols - 1 && y >= y0 && y <= y0 + rows - 1 &&
                doc.m_map.m_tile[CellIndex(x, y)] <= doc.m_tiles.m_nLastTile)
                DrawCell(doc, x, y, (x - x0) * cp, (y - y0) * cp, k);
        }
        drew = true;
    }

    if (drew) {
        doc.m_redraw.m_bRedrawAll = 0;
        doc.m_redraw.m_nLastDirty = -1;
        if (doc.m_view.m_bGrid) {
            for (int i = 1; i <= cols - 1; ++i)
                FrameVLine(m_hFrameDib, i * cp, 0, cp * rows - 1);
            for (int i = 1; i <= rows - 1; ++i)
                FrameHLine(m_hFrameDib, 0, cp * cols - 1, i * cp);
        }
    }
    if (doc.m_view.m_bScaleMarker) {
        const int s = cp / 2 + 2;
        FrameHLine(m_hFrameDib, 2, s, 2);
        FrameHLine(m_hFrameDib, 2, s, s);
        FrameVLine(m_hFrameDib, 2, 2, s);
        FrameVLine(m_hFrameDib, s, 2, s);
    }
    return drew;
}

std::string ReadoutText(const CMainDoc& doc, int x, int y) {
    int height = 0;
    if (x >= 0 && y >= 0 && x < kMaxMapSize && y < kMaxMapSize)
        height = doc.m_map.m_height[CellIndex(x, y)];
    return "Loc:" + NumberText(x + 1) + "," + NumberText(y + 1) + "  H:" + NumberText(height);
}
