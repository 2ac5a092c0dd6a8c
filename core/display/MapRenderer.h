#pragma once

#include "Picture.h"

#include <string>
#include <vector>

class CMainDoc;

// Draws the visible part of a map into the map view's frame picture. The frame is 200 pixels
// wider and taller than the client area; only its top-left client-sized part is shown. A
// render draws either everything (the document's m_bRedrawAll) or only the dirty cells.
class MapRenderer {
public:
    Picture m_hFrameDib;
    int m_bNewFrame = 1;

    // Creates a black frame for a client area of w x h pixels and asks for a full redraw.
    void CreateFrame(CMainDoc& doc, int clientWidth, int clientHeight);

    // Draws into the frame what the document asks for, at scroll position (scrollX, scrollY)
    // in scroll units, and fills the overview picture (one pixel per cell in the tile's
    // average colour) when one is given. Creates the frame first when needed. Returns true
    // when something was drawn; the document's redraw request and dirty list are then empty.
    bool Render(CMainDoc& doc, int clientWidth, int clientHeight, int scrollX, int scrollY,
                Picture* overview);

    // Draws one map cell with its top-left corner at pixel (px, py).
    void DrawCell(const CMainDoc& doc, int x, int y, int px, int py, int k);

private:
    // The tile to draw at the current zoom: below x1 a reduced copy, made once per zoom.
    const Picture& TileAtZoom(const CMainDoc& doc, int t);

    std::vector<Picture> m_reduced; // per tile index, for m_nReducedStep
    int m_nReducedStep = 1;
    int m_nReducedGeneration = -1; // the tile library load the copies were made from
    int m_nClientWidth = 0;
    int m_nClientHeight = 0;
};

// The readout of the cell under the mouse: "Loc:x,y  H:h" with 1-based cell numbers. Cells
// outside the planes read height 0.
std::string ReadoutText(const CMainDoc& doc, int x, int y);

// Sets the overview pixel of cell (x, y) to its tile's average colour (black for a tile index
// beyond the library), when the cell lies inside the picture.
void SetOverviewPixel(const CMainDoc& doc, Picture& overview, int x, int y);
