#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace samplegen {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

float Luminance(const Rgb& c) {
    return 0.30f * c.r + 0.59f * c.g + 0.11f * c.b;
}

// An anti-aliased filled circle.
void Disc(Image& image, float cx, float cy, float radius, Rgb colour, float opacity) {
    const int x0 = static_cast<int>(std::floor(cx - radius - 1));
    const int x1 = static_cast<int>(std::ceil(cx + radius + 1));
    const int y0 = static_cast<int>(std::floor(cy - radius - 1));
    const int y1 = static_cast<int>(std::ceil(cy + radius + 1));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            image.Blend(x, y, colour, Clamp01(radius - d + 0.5f) * opacity);
        }
    }
}

// A one pixel wide stroke from (x0, y0) to (x1, y1) whose colour runs from `from` to `to`.
void Stroke(Image& image, float x0, float y0, float x1, float y1, Rgb from, Rgb to, float opacity) {
    const float length = std::hypot(x1 - x0, y1 - y0);
    const int steps = std::max(1, static_cast<int>(std::ceil(length * 2.0f)));
    for (int i = 0; i <= steps; ++i) {
        const float t = static_cast<float>(i) / steps;
        image.Blend(static_cast<int>(std::floor(x0 + (x1 - x0) * t)),
                    static_cast<int>(std::floor(y0 + (y1 - y0) * t)), Mix(from, to, t), opacity);
    }
}

// A rounded stone lit from the north-west with the grain of `detail`, casting a shadow to the
// south-east onto what is already drawn.
void Stone(Image& image, float cx, float cy, float rx, float ry, Rgb colour, const Image& detail,
           float shadowDarken, std::uint32_t seed) {
    Rng rng(seed);
    const float a1 = rng.Uniform(0.0f, 2.0f * kPi);
    const float a2 = rng.Uniform(0.0f, 2.0f * kPi);
    const float a3 = rng.Uniform(0.0f, 2.0f * kPi);
    auto outline = [&](float theta) {
        return 1.0f + 0.09f * std::sin(3.0f * theta + a1) + 0.05f * std::sin(5.0f * theta + a2) +
               0.025f * std::sin(9.0f * theta + a3);
    };
    const int x0 = static_cast<int>(std::floor(cx - rx * 1.3f - 2));
    const int x1 = static_cast<int>(std::ceil(cx + rx * 1.7f + 2));
    const int y0 = static_cast<int>(std::floor(cy - ry * 1.3f - 2));
    const int y1 = static_cast<int>(std::ceil(cy + ry * 1.8f + 2));
    const float shadowX = cx + 0.28f * rx;
    const float shadowY = cy + 0.38f * ry;
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = x + 0.5f - shadowX;
            const float dy = y + 0.5f - shadowY;
            const float q = std::hypot(dx / (rx * 1.08f), dy / ry) / outline(std::atan2(dy, dx));
            const float cover = 1.0f - SmoothStep(0.8f, 1.12f, q);
            if (cover > 0.0f && x >= 0 && y >= 0 && x < image.Width() && y < image.Height())
                image.At(x, y) = image.At(x, y) * (1.0f - shadowDarken * cover);
        }
    }
    const float detailMean = Luminance(detail.Mean());
    const float lx = -0.52f, ly = -0.62f, lz = 0.59f; // towards the light, unit length
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = x + 0.5f - cx;
            const float dy = y + 0.5f - cy;
            const float scale = outline(std::atan2(dy, dx));
            const float nx = dx / (rx * scale);
            const float ny = dy / (ry * scale);
            const float q = std::hypot(nx, ny);
            const float cover = Clamp01((1.0f - q) * std::min(rx, ry) + 0.5f);
            if (cover <= 0.0f)
                continue;
            const float nz = 1.3f * std::sqrt(std::max(0.0f, 1.0f - q * q));
            const float lambert =
                std::max(0.0f, (nx * lx + ny * ly + nz * lz) / std::hypot(nx, ny, nz));
            const float grain = Luminance(detail.Wrapped(x, y)) / detailMean;
            image.Blend(x, y, colour * ((0.28f + 0.9f * lambert) * grain), cover);
        }
    }
}

} // namespace

Image MakeTransition(const Image& painted, const Image* edge, const Image& background,
                     Corners corners, const EdgeStyle& style, std::uint32_t seed) {
    const float nw = corners.northWest ? 1.0f : 0.0f;
    const float ne = corners.northEast ? 1.0f : 0.0f;
    const float sw = corners.southWest ? 1.0f : 0.0f;
    const float se = corners.southEast ? 1.0f : 0.0f;
    const float last = kTileSize - 1;
    const float paintedMean = Luminance(painted.Mean());
    Image out(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const float u = x / last;          // 0 on the west border
            const float v = (last - y) / last; // 0 on the south border
            const float f =
                sw * (1 - u) * (1 - v) + se * u * (1 - v) + nw * (1 - u) * v + ne * u * v;
            // Signed distance to the edge in pixels, to first order: positive when painted.
            const float dfdu = (se - sw) * (1 - v) + (ne - nw) * v;
            const float dfdv = (nw - sw) * (1 - u) + (ne - se) * u;
            const float gradient = std::hypot(dfdu, dfdv) / last;
            float d = gradient > 1e-6f ? (f - 0.5f) / gradient : (f > 0.5f ? 1e4f : -1e4f);
            d = std::clamp(d, -1e4f, 1e4f);
            // The wander is zero on all four borders: a broad swing over the inside, and a
            // ragged fringe that fades in over the first pixels from each border.
            const float window = std::sin(kPi * u) * std::sin(kPi * v);
            const float fromBorder = std::min({x, y, kTileSize - 1 - x, kTileSize - 1 - y});
            const float inside = SmoothStep(0.0f, 10.0f, fromBorder);
            // Lighter pixels of the painted texture (blade tips, grain) reach a little further.
            const float bite = (Luminance(painted.At(x, y)) / paintedMean - 1.0f) * 6.0f;
            d += style.wobble * Fractal(x, y, 2, 4, seed) * window +
                 (1.8f * ValueNoise(x, y, 32, 32, seed + 1) + std::clamp(bite, -2.0f, 2.0f)) *
                     inside;
            const float alpha = SmoothStep(-1.8f, 1.8f, d);
            Rgb top = painted.At(x, y);
            if (edge != nullptr) {
                const float reach =
                    d + 0.4f * style.edgeWidth * Fractal(x, y, 8, 2, seed + 2) * inside;
                top = Mix(edge->At(x, y), top,
                          SmoothStep(0.4f * style.edgeWidth, style.edgeWidth, reach));
            }
            top = top * (1.0f - style.rimDarken * (1.0f - SmoothStep(0.5f, 4.0f, d)));
            Rgb under = background.At(x, y);
            if (style.haloStrength > 0.0f)
                under = Mix(under, style.halo,
                            style.haloStrength * (1.0f - SmoothStep(0.0f, style.haloWidth, -d)));
            out.At(x, y) = Mix(under, top, alpha);
        }
    }
    return out;
}

Image MakeFlowers(const Image& grass, std::uint32_t seed) {
    struct Clump {
        float x, y;
        int petals;
        float petalRadius;
        Rgb petal, heart;
    };
    const Clump clumps[] = {
        {36, 38, 6, 1.5f, {238, 238, 230}, {236, 196, 40}}, // daisies
        {88, 46, 5, 1.6f, {244, 214, 40}, {200, 140, 20}},  // buttercups
        {44, 90, 5, 1.5f, {150, 96, 196}, {240, 220, 120}}, // violets
        {92, 94, 4, 2.4f, {214, 40, 34}, {40, 24, 20}},     // poppies
    };
    Image image = grass;
    Rng rng(seed);
    const Rgb shadow{20, 40, 10};
    const Rgb leaf{70, 140, 44};
    struct Flower {
        float x, y;
        const Clump* clump;
    };
    std::vector<Flower> flowers;
    for (const Clump& clump : clumps) {
        const int count = 5 + static_cast<int>(rng.Next() % 4);
        for (int i = 0; i < count; ++i) {
            const float angle = rng.Uniform(0.0f, 2.0f * kPi);
            const float reach = rng.Uniform(3.0f, 15.0f);
            flowers.push_back(
                {clump.x + std::cos(angle) * reach, clump.y + std::sin(angle) * reach, &clump});
        }
    }
    // Leaves and shadows first, so no flower is hidden under a neighbour's leaves.
    for (const Flower& f : flowers) {
        for (int k = 0; k < 3; ++k)
            Disc(image, f.x + rng.Uniform(-4.0f, 4.0f), f.y + rng.Uniform(-1.0f, 4.0f), 1.4f,
                 leaf * rng.Uniform(0.8f, 1.15f), 0.9f);
    }
    for (const Flower& f : flowers)
        Disc(image, f.x + 1.0f, f.y + 1.4f, f.clump->petalRadius * 2.25f, shadow, 0.3f);
    for (const Flower& f : flowers) {
        const Clump& clump = *f.clump;
        const float spread = clump.petalRadius * 1.25f;
        const float turn = rng.Uniform(0.0f, 2.0f * kPi);
        for (int p = 0; p < clump.petals; ++p) {
            const float a = turn + 2.0f * kPi * p / clump.petals;
            Disc(image, f.x + std::cos(a) * spread, f.y + std::sin(a) * spread, clump.petalRadius,
                 clump.petal * rng.Uniform(0.85f, 1.05f), 1.0f);
        }
        Disc(image, f.x, f.y, clump.petalRadius * 0.75f, clump.heart, 1.0f);
    }
    return image;
}

Image MakeStoneOnGrass(const Image& grass, const Image& rock, std::uint32_t seed) {
    Image image = grass;
    Stone(image, 62, 60, 21, 15, {150, 146, 138}, rock, 0.45f, seed);
    Stone(image, 88, 78, 6, 4.5f, {140, 136, 128}, rock, 0.4f, seed + 1);
    // Blades in front of the stone's foot settle it into the turf.
    Rng rng(seed + 2);
    for (int i = 0; i < 70; ++i) {
        const float t = rng.Uniform(-1.0f, 1.0f);
        const float x = 62 + t * 22.0f;
        const float y = 60 + 15.0f * std::sqrt(1.0f - t * t) + rng.Uniform(-1.0f, 3.0f);
        const Rgb base = grass.Wrapped(static_cast<int>(x), static_cast<int>(y));
        const float length = rng.Uniform(3.0f, 7.0f);
        Stroke(image, x, y, x + rng.Uniform(-2.0f, 2.0f), y - length, base * 0.8f,
               base * rng.Uniform(1.15f, 1.5f), 0.9f);
    }
    return image;
}

Image MakeBoulderOnRock(const Image& rock, const Image& boulderDetail, std::uint32_t seed) {
    Image image = rock;
    Stone(image, 58, 56, 32, 25, {160, 148, 132}, boulderDetail, 0.5f, seed);
    Stone(image, 94, 88, 9, 7, {150, 140, 126}, boulderDetail, 0.45f, seed + 1);
    Stone(image, 34, 92, 6, 4.5f, {156, 146, 130}, boulderDetail, 0.45f, seed + 2);
    return image;
}

Image MakePalmShadow(const Image& sand, std::uint32_t seed) {
    struct Frond {
        float angle, length, bend;
    };
    Rng rng(seed);
    std::vector<Frond> fronds;
    for (int k = 0; k < 8; ++k)
        fronds.push_back({2.0f * kPi * k / 8 + rng.Uniform(-0.25f, 0.25f), rng.Uniform(25, 33),
                          rng.Uniform(-0.45f, 0.45f)});
    const float crownX = 60, crownY = 54;
    const float baseX = 88, baseY = 98;
    Image image = sand;
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const float px = x + 0.5f;
            const float py = y + 0.5f;
            float cover = 0.0f;
            // The trunk's shadow narrows towards the crown.
            {
                const float tx = baseX - crownX;
                const float ty = baseY - crownY;
                const float t =
                    Clamp01(((px - crownX) * tx + (py - crownY) * ty) / (tx * tx + ty * ty));
                const float dist = std::hypot(px - crownX - t * tx, py - crownY - t * ty);
                cover = std::max(cover, Clamp01(2.0f + 1.5f * t - dist + 0.5f));
            }
            for (const Frond& frond : fronds) {
                // Nearest sample of the frond's curved midrib.
                float best = 1e9f, bestT = 0.0f, side = 1.0f;
                constexpr int kSamples = 48;
                for (int i = 0; i <= kSamples; ++i) {
                    const float t = static_cast<float>(i) / kSamples;
                    const float a = frond.angle + frond.bend * t;
                    const float mx = crownX + std::cos(a) * frond.length * t;
                    const float my = crownY + std::sin(a) * frond.length * t;
                    const float dist = std::hypot(px - mx, py - my);
                    if (dist < best) {
                        best = dist;
                        bestT = t;
                        side = std::cos(a) * (py - my) - std::sin(a) * (px - mx) >= 0 ? 1 : -1;
                    }
                }
                const float halfWidth =
                    1.0f + 7.0f * std::pow(std::sin(kPi * std::min(bestT * 1.1f, 1.0f)), 0.7f);
                const float rib = Clamp01(1.2f - best + 0.5f);
                // Leaflets slant back from the midrib, with gaps of sunlight between them.
                const float along = bestT * frond.length;
                const float leaflet =
                    SmoothStep(-0.45f, -0.05f, std::sin(1.5f * along - 0.55f * best + side));
                const float blade = leaflet * Clamp01(halfWidth - best + 0.5f);
                cover = std::max({cover, rib, blade});
            }
            cover = std::max(cover, Clamp01(4.0f - std::hypot(px - crownX, py - crownY) + 0.5f));
            const Rgb s = image.At(x, y);
            image.At(x, y) = Mix(s, Rgb{s.r * 0.58f, s.g * 0.6f, s.b * 0.7f}, cover * 0.8f);
        }
    }
    return image;
}

Image MakePond(const Image& grass, const Image& water, const Image& dirt, const Image& rock,
               std::uint32_t seed) {
    const int size = 2 * kTileSize;
    const float centre = size / 2.0f;
    Rng rng(seed);
    float phase[4];
    for (float& p : phase)
        p = rng.Uniform(0.0f, 2.0f * kPi);
    // Shore radius by direction, below 89 pixels: with the wet bank and the reeds everything
    // stays within about 110 pixels of the centre, so the outer border is plain grass.
    auto shore = [&](float theta) {
        return 74.0f + 7.0f * std::sin(2.0f * theta + phase[0]) +
               4.0f * std::sin(3.0f * theta + phase[1]) + 2.5f * std::sin(5.0f * theta + phase[2]) +
               1.2f * std::sin(9.0f * theta + phase[3]);
    };
    const Rgb lush{44, 100, 36};
    const Rgb murky{70, 108, 100};
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const float dx = x + 0.5f - centre;
            const float dy = y + 0.5f - centre;
            const float d = std::hypot(dx, dy) - shore(std::atan2(dy, dx)); // < 0 in the water
            const float ragged = 1.5f * ValueNoise(x, y, 32, 32, seed + 1);
            Rgb c = grass.Wrapped(x, y);
            const float wet = 1.0f - SmoothStep(2.0f, 18.0f, d + ragged);
            c = Mix(c, Mix(c, lush, 0.35f) * 0.85f, wet);
            const float mud = 1.0f - SmoothStep(2.0f, 5.0f, d + 2.0f * ragged);
            c = Mix(c, dirt.Wrapped(x, y) * 0.78f, mud);
            const float depth = SmoothStep(-4.0f, -48.0f, d);
            Rgb w = Mix(Mix(water.Wrapped(x, y), murky, 0.5f), water.Wrapped(x, y) * 0.72f, depth);
            w = Mix(w, Rgb{190, 214, 220}, 0.35f * std::exp(-(d + 4.0f) * (d + 4.0f) / 2.0f));
            c = Mix(c, w, 1.0f - SmoothStep(-3.5f, -1.5f, d));
            image.At(x, y) = c;
        }
    }
    auto onShore = [&](float theta, float offset, float& px, float& py) {
        const float r = shore(theta) + offset;
        px = centre + std::cos(theta) * r;
        py = centre + std::sin(theta) * r;
    };
    // Lily pads, one in flower.
    const float pads[][3] = {{0.7f, -30, 6.5f},
                             {1.0f, -22, 5.0f},
                             {2.5f, -40, 6.0f},
                             {-1.2f, -26, 5.5f},
                             {-0.9f, -36, 4.5f}};
    for (const auto& pad : pads) {
        float px = 0, py = 0;
        onShore(pad[0], pad[1], px, py);
        const float radius = pad[2];
        const float notch = rng.Uniform(0.0f, 2.0f * kPi);
        Disc(image, px + 1.2f, py + 1.5f, radius, Rgb{10, 30, 50}, 0.35f);
        for (int y = static_cast<int>(py - radius - 1); y <= py + radius + 1; ++y) {
            for (int x = static_cast<int>(px - radius - 1); x <= px + radius + 1; ++x) {
                const float ox = x + 0.5f - px;
                const float oy = y + 0.5f - py;
                const float dist = std::hypot(ox, oy);
                const float gap = std::remainder(std::atan2(oy, ox) - notch, 2.0f * kPi);
                if (std::abs(gap) < 0.28f)
                    continue;
                const Rgb green = Mix(Rgb{84, 140, 58}, Rgb{44, 92, 36}, Clamp01(dist / radius));
                image.Blend(x, y, green, Clamp01(radius - dist + 0.5f));
            }
        }
    }
    {
        float px = 0, py = 0;
        onShore(0.7f, -30, px, py);
        for (int p = 0; p < 6; ++p) {
            const float a = 2.0f * kPi * p / 6;
            Disc(image, px + std::cos(a) * 2.0f, py + std::sin(a) * 2.0f - 1, 1.6f,
                 Rgb{236, 160, 196}, 1.0f);
        }
        Disc(image, px, py - 1, 1.0f, Rgb{246, 214, 90}, 1.0f);
    }
    // Stones on the bank.
    const float stones[][4] = {{1.9f, 3, 7, 5}, {2.1f, 6, 4.5f, 3.5f}, {-2.8f, 2, 6, 4.5f}};
    std::uint32_t stoneSeed = seed + 2;
    for (const auto& stone : stones) {
        float px = 0, py = 0;
        onShore(stone[0], stone[1], px, py);
        Stone(image, px, py, stone[2], stone[3], Rgb{150, 146, 138}, rock, 0.4f, stoneSeed++);
    }
    // Reeds along two stretches of the bank, drawn back to front.
    struct Reed {
        float x, y, length, lean;
        bool head;
    };
    std::vector<Reed> reeds;
    const float stretches[][2] = {{-2.7f, -1.7f}, {-0.3f, 0.45f}};
    for (const auto& stretch : stretches) {
        for (int i = 0; i < 40; ++i) {
            float px = 0, py = 0;
            onShore(rng.Uniform(stretch[0], stretch[1]), rng.Uniform(-5.0f, 2.0f), px, py);
            reeds.push_back({px, py, rng.Uniform(9.0f, 18.0f), rng.Uniform(-0.3f, 0.3f),
                             rng.Uniform(0.0f, 1.0f) < 0.25f});
        }
    }
    std::sort(reeds.begin(), reeds.end(), [](const Reed& a, const Reed& b) { return a.y < b.y; });
    for (const Reed& reed : reeds) {
        const float tipX = reed.x + reed.lean * reed.length;
        const float tipY = reed.y - reed.length;
        Stroke(image, reed.x + 2, reed.y, tipX + 2, tipY + 1, Rgb{16, 34, 16}, Rgb{30, 60, 30},
               0.35f);
        Stroke(image, reed.x, reed.y, tipX, tipY, Rgb{34, 66, 26}, Rgb{92, 126, 48}, 1.0f);
        Stroke(image, reed.x + 1, reed.y, tipX + 1, tipY, Rgb{60, 96, 36}, Rgb{150, 178, 84}, 1.0f);
        if (reed.head) {
            const float hx = reed.x + reed.lean * reed.length * 0.75f;
            const float hy = reed.y - reed.length * 0.75f;
            Disc(image, hx, hy - 1.0f, 1.3f, Rgb{92, 58, 32}, 1.0f);
            Disc(image, hx, hy + 1.0f, 1.3f, Rgb{92, 58, 32}, 1.0f);
        }
    }
    return image;
}

} // namespace samplegen
