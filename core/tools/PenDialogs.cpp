#include "PenDialogs.h"

#include "MainDoc.h"

CustomPen CurrentCustomPen(const CMainDoc& doc) {
    CustomPen pen;
    pen.shape = doc.m_tools.m_nPenShape;
    pen.horz = static_cast<int>(doc.m_tools.m_fPenWidth);
    pen.vert = static_cast<int>(doc.m_tools.m_fPenHeight);
    pen.gradient = doc.m_tools.m_nPenGradient;
    return pen;
}

void ApplyCustomPen(CMainDoc& doc, const CustomPen& pen) {
    doc.m_tools.m_bCustomPen = 1;
    doc.m_tools.m_nPenShape = pen.shape;
    doc.m_tools.m_fPenWidth = static_cast<float>(pen.horz);
    doc.m_tools.m_fPenHeight = static_cast<float>(pen.vert);
    doc.m_tools.m_nPenGradient = pen.gradient;
}

int GradientOpeningAxis(CMainDoc& doc) {
    if (doc.m_tools.m_nGradientSetting < 0)
        doc.m_tools.m_nGradientSetting = 3;
    return doc.m_tools.m_nGradientSetting;
}
