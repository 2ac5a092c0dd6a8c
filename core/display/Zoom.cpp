#include "Zoom.h"

#include "MainDoc.h"

void ApplyZoom(CMainDoc& doc, int k) {
    if (k < 0 || k > 5)
        return;
    doc.m_view.m_nZoomStep = 1 << k;
    doc.m_view.m_nCellPixels = 128 / doc.m_view.m_nZoomStep;
    doc.RedrawAll();
}
