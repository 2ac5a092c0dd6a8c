#include "FrameOps.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int kTilePixels = 128;

// Top-down tile row for output row r (0 = the cell's top row) of an n-pixel cell. The tile's
// rows are sampled bottom-up: without flip its bottom row lands on the cell's bottom row, with
// flip on the cell's top row.
inline const std::uint32_t* SourceRow(const Picture& tile, int r, int n, int step, int flip) {
    const int fromBottom = flip ? r * step : (n - 1 - r) * step;
    return tile.Row(tile.height - 1 - fromBottom);
}

// One output row of n pixels: every step-th tile pixel, right to left with mirror.
inline void GatherRow(const std::uint32_t* src, int n, int step, int mirror, std::uint32_t* out) {
    if (step == 1 && !mirror) {
        std::memcpy(out, src, sizeof(std::uint32_t) * n);
    } else if (!mirror) {
        for (int c = 0; c < n; ++c)
            out[c] = src[c * step];
    } else if (step == 1) {
        int c = 0;
#if defined(__SSE2__)
        // Four pixels at a time, read backwards from the row's end and turned round.
        for (; c + 4 <= n; c += 4) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + n - 4 - c));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + c), _mm_shuffle_epi32(p, 0x1B));
        }
#endif
        for (; c < n; ++c)
            out[c] = src[n - 1 - c];
    } else {
        for (int c = 0; c < n; ++c)
            out[c] = src[(n - 1 - c) * step];
    }
}

inline std::uint32_t AddClamped(std::uint32_t p, int value) {
    const int b = std::clamp(static_cast<int>(p & 0xFF) + value, 0, 255);
    const int g = std::clamp(static_cast<int>((p >> 8) & 0xFF) + value, 0, 255);
    const int r = std::clamp(static_cast<int>((p >> 16) & 0xFF) + value, 0, 255);
    return (p & 0xFF000000u) | (static_cast<std::uint32_t>(r) << 16) |
           (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

// out = in with `value` (-128..200) added to blue, green and red with saturation; the fourth
// byte gets 0 added and so stays as it is. `in` may be `out`.
inline void AddRow(const std::uint32_t* in, std::uint32_t* out, int n, int value) {
    int k = 0;
#if defined(__SSE2__)
    const std::uint32_t amount = static_cast<std::uint32_t>(value > 0 ? value : -value) * 0x010101u;
    const __m128i v = _mm_set1_epi32(static_cast<int>(amount));
    if (value > 0) {
        for (; k + 4 <= n; k += 4) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_adds_epu8(p, v));
        }
    } else {
        for (; k + 4 <= n; k += 4) {
            const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + k));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_subs_epu8(p, v));
        }
    }
#endif
    for (; k < n; ++k)
        out[k] = AddClamped(in[k], value);
}

int Log2(int n) {
    int s = 0;
    while ((1 << s) < n)
        ++s;
    return s;
}

// One row of a shaded cell: out[i] = in[i] plus the bilinear brightness of column i, clamped
// to 0..255 per channel. v counts rows from the cell's bottom. Every term of the brightness is
// linear in i and is divided by q = 2^shift with truncation towards zero, as the formula asks.
// The terms stay within 32 bits: |corner| <= 255 * 64 and the factors are at most n * n.
void ShadeRow(const std::uint32_t* in, int n, int v, int tl, int tr, int bl, int br, int shift,
              int cols, std::uint32_t* out) {
    const std::int32_t bias = (1 << shift) - 1;
    std::int32_t tBL = bl * (n - v) * n, dBL = -bl * (n - v); // bl * (q + iv - in - nv)
    std::int32_t tTL = tl * n * v, dTL = -tl * v;             // tl * (nv - iv)
    std::int32_t tBR = 0, dBR = br * (n - v);                 // (in - iv) * br
    std::int32_t tTR = 0, dTR = tr * v;                       // tr * iv
    int i = 0;
#if defined(__SSE2__)
    // Four pixels at a time: each lane holds the terms of one column.
    auto lanes = [](std::int32_t t, std::int32_t d) {
        return _mm_set_epi32(t + 3 * d, t + 2 * d, t + d, t);
    };
    __m128i vBL = lanes(tBL, dBL), vTL = lanes(tTL, dTL), vBR = lanes(tBR, dBR),
            vTR = lanes(tTR, dTR);
    const __m128i sBL = _mm_set1_epi32(4 * dBL), sTL = _mm_set1_epi32(4 * dTL),
                  sBR = _mm_set1_epi32(4 * dBR), sTR = _mm_set1_epi32(4 * dTR);
    const __m128i vBias = _mm_set1_epi32(bias);
    const __m128i vShift = _mm_cvtsi32_si128(shift);
    const __m128i zero = _mm_setzero_si128();
    const __m128i colourLanes = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    auto vdiv = [&](__m128i x) {
        return _mm_sra_epi32(_mm_add_epi32(x, _mm_and_si128(_mm_srai_epi32(x, 31), vBias)), vShift);
    };
    for (; i + 4 <= cols; i += 4) {
        const __m128i value =
            _mm_add_epi32(_mm_add_epi32(vdiv(vBL), vdiv(vTL)), _mm_add_epi32(vdiv(vBR), vdiv(vTR)));
        vBL = _mm_add_epi32(vBL, sBL);
        vTL = _mm_add_epi32(vTL, sTL);
        vBR = _mm_add_epi32(vBR, sBR);
        vTR = _mm_add_epi32(vTR, sTR);
        // Spread each pixel's value over its blue, green and red lanes (16 bits each).
        const __m128i v16 = _mm_packs_epi32(value, value);  // v0 v1 v2 v3, saturated
        const __m128i pairs = _mm_unpacklo_epi16(v16, v16); // v0 v0 v1 v1 v2 v2 v3 v3
        const __m128i lo = _mm_and_si128(_mm_unpacklo_epi32(pairs, pairs), colourLanes);
        const __m128i hi = _mm_and_si128(_mm_unpackhi_epi32(pairs, pairs), colourLanes);
        const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        const __m128i pl = _mm_adds_epi16(_mm_unpacklo_epi8(px, zero), lo);
        const __m128i ph = _mm_adds_epi16(_mm_unpackhi_epi8(px, zero), hi);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(pl, ph));
    }
    tBL += i * dBL;
    tTL += i * dTL;
    tBR += i * dBR;
    tTR += i * dTR;
#endif
    auto div = [shift, bias](std::int32_t x) { return (x + ((x >> 31) & bias)) >> shift; };
    for (; i < cols; ++i) {
        out[i] = AddClamped(in[i], div(tBL) + div(tTL) + div(tBR) + div(tTR));
        tBL += dBL;
        tTL += dTL;
        tBR += dBR;
        tTR += dTR;
    }
}

} // namespace

void DrawTile(Picture& frame, int x, int y, const Picture& tile, int brightness, int flip,
              int mirror, int step) {
    // Tiles are 128 pixels square; a tile already reduced to n pixels is drawn with step 1.
    const int n = std::min(tile.width, kTilePixels) / step;
    // The frame is 200 pixels larger than the client area, so cells never cross its edges;
    // clip anyway so that no caller can write outside the picture.
    const int cols = std::min(n, frame.width - x);
    if (x < 0 || cols <= 0)
        return;
    std::uint32_t tmp[kTilePixels];
    for (int r = 0; r < n; ++r) {
        const int fy = y + r;
        if (fy < 0 || fy >= frame.height)
            continue;
        std::uint32_t* out = frame.Row(fy) + x;
        if (brightness < -128) {
            std::fill(out, out + cols, 0u);
        } else if (brightness > 200) {
            std::fill(out, out + cols, 0xFFFFFFFFu);
        } else {
            const std::uint32_t* src = SourceRow(tile, r, n, step, flip);
            // Whole rows of an unmirrored x1 cell are read straight from the tile.
            if (step != 1 || mirror) {
                GatherRow(src, n, step, mirror, tmp);
                src = tmp;
            }
            if (brightness != 0)
                AddRow(src, out, cols, brightness);
            else
                std::memcpy(out, src, sizeof(std::uint32_t) * cols);
        }
    }
}

void DrawTileShaded(Picture& frame, int x, int y, const Picture& tile, int tl, int tr, int bl,
                    int br, int flip, int mirror, int step) {
    if (tl == 0 && tr == 0 && bl == 0 && br == 0) {
        // Every term is zero: the plain copy gives the same pixels, faster.
        DrawTile(frame, x, y, tile, 0, flip, mirror, step);
        return;
    }
    // Tiles are 128 pixels square; a tile already reduced to n pixels is drawn with step 1.
    const int n = std::min(tile.width, kTilePixels) / step;
    const int shift = Log2(n) * 2; // q = n * n is a power of two
    const int cols = std::min(n, frame.width - x);
    if (x < 0 || cols <= 0)
        return;
    std::uint32_t row[kTilePixels];
    for (int r = 0; r < n; ++r) {
        const int fy = y + r;
        if (fy < 0 || fy >= frame.height)
            continue;
        const std::uint32_t* src = SourceRow(tile, r, n, step, flip);
        if (step != 1 || mirror) {
            GatherRow(src, n, step, mirror, row);
            src = row;
        }
        // The brightness follows the pixel's place on the screen, whatever the orientation.
        ShadeRow(src, n, n - 1 - r, tl, tr, bl, br, shift, cols, frame.Row(fy) + x);
    }
}

Picture ReduceTile(const Picture& tile, int step) {
    const int n = kTilePixels / step;
    Picture reduced(n, n);
    for (int r = 0; r < n; ++r) {
        // Output row r (from the top) takes the tile's row (n - 1 - r) * step counted from the
        // bottom; flipping the reduced picture then picks row r * step, as the full tile would.
        const std::uint32_t* src = SourceRow(tile, r, n, step, 0);
        for (int c = 0; c < n; ++c)
            reduced.At(c, r) = src[c * step];
    }
    return reduced;
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
