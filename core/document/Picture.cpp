#include "Picture.h"

std::uint32_t Picture::AverageColor() const {
    if (pixels.empty())
        return 0;
    std::uint64_t r = 0, g = 0, b = 0;
    for (std::uint32_t p : pixels) {
        r += (p >> 16) & 0xFF;
        g += (p >> 8) & 0xFF;
        b += p & 0xFF;
    }
    const std::uint64_t n = pixels.size();
    return MakeColor(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}
