#include "PenDialogs.h"

#include "MainDoc.h"

#include <charconv>

CustomPen CurrentCustomPen(const CMainDoc& doc) {
    CustomPen pen;
    pen.shape = doc.m_nPenShape;
    pen.horz = static_cast<int>(doc.m_fPenWidth);
    pen.vert = static_cast<int>(doc.m_fPenHeight);
    pen.gradient = doc.m_nPenGradient;
    return pen;
}

void ApplyCustomPen(CMainDoc& doc, const CustomPen& pen) {
    doc.m_bCustomPen = 1;
    doc.m_nPenShape = pen.shape;
    doc.m_fPenWidth = static_cast<float>(pen.horz);
    doc.m_fPenHeight = static_cast<float>(pen.vert);
    doc.m_nPenGradient = pen.gradient;
}

std::optional<int> ParseCustomPenSize(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    // from_chars takes a minus sign but not a plus sign.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;

    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    if (value < kMinCustomPenSize || value > kMaxCustomPenSize)
        return std::nullopt;
    return value;
}

int GradientOpeningAxis(CMainDoc& doc) {
    if (doc.m_nGradientSetting < 0)
        doc.m_nGradientSetting = 3;
    return doc.m_nGradientSetting;
}
