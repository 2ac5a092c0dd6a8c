#include "FrameOps.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Source pixel of output column c, row r (from the top) of an n-pixel cell.
// The tile's own rows run bottom-up: without flip its bottom row lands on the cell's bottom
// row; with flip on the cell's top row. With mirror the columns run right to left.
struct Sampler {
    const Picture& tile;
    int step;
    int n;
    int flip;
    int mirror;

    // Top-down tile row for output row r (0 = the cell's top row).
    const std::uint32_t* SourceRow(int r) const {
        const int fromBottom = flip ? r * step : (n - 1 - r) * step;
        return tile.Row(kTileSizePixels - 1 - fromBottom);
    }
    int SourceColumn(int c) const { return mirror ? (n - 1 - c) * step : c * step; }
    static constexpr int kTileSizePixels = 128;
};

// Gathers one output row of the cell into `out` (n pixels).
inline void GatherRow(const Sampler& s, int r, std::uint32_t* out) {
    const std::uint32_t* src = s.SourceRow(r);
    if (s.step == 1) {
        if (!s.mirror) {
            std::memcpy(out, src, sizeof(std::uint32_t) * s.n);
        } else {
            for (int c = 0; c < s.n; ++c)
                out[c] = src[s.n - 1 - c];
        }
        return;
    }
    for (int c = 0; c < s.n; ++c)
        out[c] = src[s.SourceColumn(c)];
}

inline std::uint32_t AddClamped(std::uint32_t p, int value) {
    const int b = std::clamp(static_cast<int>(p & 0xFF) + value, 0, 255);
    const int g = std::clamp(static_cast<int>((p >> 8) & 0xFF) + value, 0, 255);
    const int r = std::clamp(static_cast<int>((p >> 16) & 0xFF) + value, 0, 255);
    return (p & 0xFF000000u) | (static_cast<std::uint32_t>(r) << 16) |
           (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

// Saturating add of a positive (or negative) amount to the three colour bytes of every pixel.
void AddRow(std::uint32_t* row, int n, int value) {
    std::uint8_t* bytes = reinterpret_cast<std::uint8_t*>(row);
    if (value > 0) {
        const int v = value;
        for (int k = 0; k < 4 * n; k += 4) {
            for (int ch = 0; ch < 3; ++ch) {
                const int s = bytes[k + ch] + v;
                bytes[k + ch] = static_cast<std::uint8_t>(s > 255 ? 255 : s);
            }
        }
    } else {
        const int v = -value;
        for (int k = 0; k < 4 * n; k += 4) {
            for (int ch = 0; ch < 3; ++ch) {
                const int s = bytes[k + ch] - v;
                bytes[k + ch] = static_cast<std::uint8_t>(s < 0 ? 0 : s);
            }
        }
    }
}

// Integer division by q = 2^shift truncated towards zero.
inline int DivTrunc(long long x, int shift) {
    return static_cast<int>(x >= 0 ? (x >> shift) : -((-x) >> shift));
}

int Log2(int n) {
    int s = 0;
    while ((1 << s) < n)
        ++s;
    return s;
}

} // namespace

void DrawTile(Picture& frame, int x, int y, const Picture& tile, int brightness, int flip,
              int mirror, int step) {
    const int n = 128 / step;
    const Sampler s{tile, step, n, flip, mirror};
    for (int r = 0; r < n; ++r) {
        const int fy = y + r;
        if (fy < 0 || fy >= frame.height)
            continue;
        // The frame is 200 pixels larger than the client area, so cells never cross its
        // right edge; clip anyway so that any caller stays inside the picture.
        const int cols = std::min(n, frame.width - x);
        if (x < 0 || cols <= 0)
            continue;
        std::uint32_t* out = frame.Row(fy) + x;
        if (brightness < -128) {
            std::fill(out, out + cols, 0u);
            continue;
        }
        if (brightness > 200) {
            std::fill(out, out + cols, 0xFFFFFFFFu);
            continue;
        }
        if (cols == n) {
            GatherRow(s, r, out);
        } else {
            std::uint32_t tmp[128];
            GatherRow(s, r, tmp);
            std::memcpy(out, tmp, sizeof(std::uint32_t) * cols);
        }
        if (brightness != 0)
            AddRow(out, cols, brightness);
    }
}

void DrawTileShaded(Picture& frame, int x, int y, const Picture& tile, int tl, int tr, int bl,
                    int br, int flip, int mirror, int step) {
    const int n = 128 / step;
    const int shift = Log2(n) * 2; // q = n * n is a power of two
    const Sampler s{tile, step, n, flip, mirror};
    std::uint32_t row[128];
    for (int r = 0; r < n; ++r) {
        const int fy = y + r;
        const int cols = std::min(n, frame.width - x);
        if (fy < 0 || fy >= frame.height || x < 0 || cols <= 0)
            continue;
        GatherRow(s, r, row);
        const long long v = n - 1 - r; // rows counted from the cell's bottom
        // Each term is linear in i along the row: start values and steps.
        long long tBL = static_cast<long long>(bl) * (n - v) * n; // bl * (q + iv - in - nv)
        long long tTL = static_cast<long long>(tl) * n * v;       // tl * (nv - iv)
        long long tBR = 0;                                        // (in - iv) * br
        long long tTR = 0;                                        // tr * iv
        const long long dBL = -static_cast<long long>(bl) * (n - v);
        const long long dTL = -static_cast<long long>(tl) * v;
        const long long dBR = static_cast<long long>(br) * (n - v);
        const long long dTR = static_cast<long long>(tr) * v;
        std::uint32_t* out = frame.Row(fy) + x;
        for (int i = 0; i < cols; ++i) {
            const int value = DivTrunc(tBL, shift) + DivTrunc(tTL, shift) + DivTrunc(tBR, shift) +
                              DivTrunc(tTR, shift);
            out[i] = AddClamped(row[i], value);
            tBL += dBL;
            tTL += dTL;
            tBR += dBR;
            tTR += dTR;
        }
    }
}

void FrameVLine(Picture& frame, int x, int y0, int y1) {
    if (x < 0 || x >= frame.width)
        return;
    for (int y = std::max(y0 - 1, 0); y <= y1 - 1 && y < frame.height; ++y)
        frame.At(x, y) = kGridVColor;
}

void FrameHLine(Picture& frame, int x0, int x1, int y) {
    const int row = y - 1;
    if (row < 0 || row >= frame.height)
        return;
    for (int x = std::max(x0, 0); x <= x1 && x < frame.width; ++x)
        frame.At(x, row) = kGridHColor;
}

std::string NumberText(double number) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", number);
    int i = static_cast<int>(std::strlen(buffer)) - 1;
    while (i > 1 && buffer[i] == '0')
        --i;
    return std::string(buffer, static_cast<std::size_t>(i));
}
