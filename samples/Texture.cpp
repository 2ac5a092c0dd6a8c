#include "Texture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace samplegen {

namespace {

constexpr float kTwoPi = 2.0f * std::numbers::pi_v<float>;

int WrapIndex(int i, int n) {
    const int m = i % n;
    return m < 0 ? m + n : m;
}

// Quintic ease: lattice noise built with it has no creases at the cell edges.
float Fade(float t) {
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

// A per-pixel field of the tile, drawn into with wrap-around so it stays tileable.
class Layer {
public:
    explicit Layer(float fill = 0.0f)
        : m_values(static_cast<std::size_t>(kTileSize * kTileSize), fill) {}
    float& At(int x, int y) { return m_values[Index(x, y)]; }
    float Get(int x, int y) const { return m_values[Index(x, y)]; }

private:
    static std::size_t Index(int x, int y) {
        return static_cast<std::size_t>(WrapIndex(y, kTileSize) * kTileSize +
                                        WrapIndex(x, kTileSize));
    }

    std::vector<float> m_values;
};

// Shifts every channel so the picture's mean becomes `target`; the textures of one terrain
// then share their overall colour whatever their seed. Clamping moves the mean a little, so the
// shift is repeated a few times.
void MatchMean(Image& image, Rgb target) {
    for (int pass = 0; pass < 3; ++pass) {
        const Rgb shift = target - image.Mean();
        for (int y = 0; y < image.Height(); ++y) {
            for (int x = 0; x < image.Width(); ++x) {
                Rgb& c = image.At(x, y);
                c.r = std::clamp(c.r + shift.r, 0.0f, 255.0f);
                c.g = std::clamp(c.g + shift.g, 0.0f, 255.0f);
                c.b = std::clamp(c.b + shift.b, 0.0f, 255.0f);
            }
        }
    }
}

// Grass: patches of lighter and darker growth covered by short, mostly upright blades.
Image MakeGrass(std::uint32_t seed, Rgb base, Rgb tip) {
    Layer blades;
    Rng rng(seed);
    for (int i = 0; i < 3200; ++i) {
        const float x0 = rng.Uniform(0.0f, kTileSize);
        const float y0 = rng.Uniform(0.0f, kTileSize);
        const float length = rng.Uniform(3.0f, 8.0f);
        const float lean = rng.Uniform(-0.5f, 0.5f);
        const float shade = rng.Uniform(-1.0f, 1.0f);
        for (float t = 0.0f; t <= length; t += 0.5f) {
            const float k = t / length;
            blades.At(static_cast<int>(std::floor(x0 + lean * t)),
                      static_cast<int>(std::floor(y0 - t))) = shade * (0.55f + 0.45f * k);
        }
    }
    Image image(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const float patches = Fractal(x, y, 4, 2, seed + 11);
            const float tufts = Fractal(x, y, 16, 2, seed + 13);
            const float dryness = Fractal(x, y, 4, 3, seed + 31);
            const float fine = HashUnit(x, y, seed + 5) * 2.0f - 1.0f;
            const float blade = blades.Get(x, y);
            Rgb c = Mix(base, tip, Clamp01(0.35f + 0.6f * dryness + 0.5f * blade));
            c = c * (1.0f + 0.12f * patches + 0.25f * tufts + 0.28f * blade + 0.06f * fine);
            image.At(x, y) = c;
        }
    }
    return image;
}

// Dirt: uneven brown ground strewn with small lit clods and a few pebbles.
Image MakeDirt(std::uint32_t seed) {
    Layer relief;
    Layer pebbles;
    Rng rng(seed);
    auto drawLump = [&](Layer& target, float cx, float cy, float radius, bool shadow) {
        const int r = static_cast<int>(std::ceil(radius)) + 2;
        for (int dy = -r; dy <= r; ++dy) {
            for (int dx = -r; dx <= r; ++dx) {
                const int px = static_cast<int>(std::floor(cx)) + dx;
                const int py = static_cast<int>(std::floor(cy)) + dy;
                const float ox = px + 0.5f - cx;
                const float oy = py + 0.5f - cy;
                if (shadow) {
                    const float sd =
                        std::hypot(ox - 0.35f * radius - 0.6f, oy - 0.35f * radius - 0.6f);
                    if (sd < radius)
                        target.At(px, py) = std::min(target.At(px, py), -0.22f);
                    continue;
                }
                const float d = std::hypot(ox, oy);
                if (d < radius) {
                    // Lit from the north-west: brighter on that side of the lump.
                    const float slope = -(ox + oy) / (radius * 1.41f);
                    target.At(px, py) = 0.10f + 0.20f * slope;
                }
            }
        }
    };
    for (int i = 0; i < 520; ++i) {
        const float cx = rng.Uniform(0.0f, kTileSize);
        const float cy = rng.Uniform(0.0f, kTileSize);
        const float radius = rng.Uniform(1.0f, 3.2f);
        drawLump(relief, cx, cy, radius, true);
        drawLump(relief, cx, cy, radius, false);
    }
    for (int i = 0; i < 45; ++i) {
        const float cx = rng.Uniform(0.0f, kTileSize);
        const float cy = rng.Uniform(0.0f, kTileSize);
        const float radius = rng.Uniform(0.8f, 1.8f);
        drawLump(relief, cx, cy, radius, true);
        drawLump(relief, cx, cy, radius, false);
        for (int py = static_cast<int>(cy - radius) - 1; py <= cy + radius + 1; ++py)
            for (int px = static_cast<int>(cx - radius) - 1; px <= cx + radius + 1; ++px)
                if (std::hypot(px + 0.5f - cx, py + 0.5f - cy) < radius)
                    pebbles.At(px, py) = 1.0f;
    }
    const Rgb base = MeanColour(Terrain::Dirt);
    const Rgb pebble{150.0f, 142.0f, 128.0f};
    const Rgb dark{92.0f, 62.0f, 42.0f};
    Image image(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const float ground = Fractal(x, y, 8, 3, seed + 7);
            const float damp = Fractal(x, y, 2, 2, seed + 9);
            const float fine = HashUnit(x, y, seed + 3) * 2.0f - 1.0f;
            Rgb c = Mix(base, dark, Clamp01(0.2f + 0.3f * damp));
            if (pebbles.Get(x, y) > 0.5f)
                c = pebble;
            image.At(x, y) = c * (1.0f + 0.16f * ground + relief.Get(x, y) + 0.07f * fine);
        }
    }
    return image;
}

// Sand: pale fine grain with wind ripples running across the tile.
Image MakeSand(std::uint32_t seed) {
    const Rgb base = MeanColour(Terrain::Sand);
    const Rgb shadow{196.0f, 168.0f, 120.0f};
    Image image(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            // Integer wave numbers keep the ripples periodic over the tile.
            const float warp = 3.0f * Fractal(x, y, 2, 3, seed + 1);
            const float phase = kTwoPi * (2.0f * x + 7.0f * y) / kTileSize + warp;
            const float ripple = std::sin(phase + 0.7f * std::sin(phase));
            const float drift = Fractal(x, y, 4, 3, seed + 2);
            const float grain = HashUnit(x, y, seed + 3);
            float lum = 1.0f + 0.045f * ripple + 0.08f * drift + 0.08f * (grain - 0.5f);
            if (grain < 0.025f)
                lum -= 0.16f;
            else if (grain > 0.985f)
                lum += 0.08f;
            image.At(x, y) = Mix(base, shadow, Clamp01(0.3f - 0.4f * ripple + drift)) * lum;
        }
    }
    return image;
}

// Light falling from the north-west on a tileable height field: positive on slopes facing the
// light, negative on slopes facing away.
Layer Relief(const Layer& height, float strength) {
    Layer light;
    for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x)
            light.At(x, y) = strength * (height.Get(x - 1, y - 1) - height.Get(x + 1, y + 1));
    return light;
}

// Water: long soft swells running across the tile, with brighter crests and fine ripples.
Image MakeWater(std::uint32_t seed) {
    struct Wave {
        float kx, ky, amplitude, phase;
    };
    Rng rng(seed);
    // Mostly one direction of travel; integer wave numbers keep the tile periodic.
    Wave waves[] = {
        {1, 5, 1.0f, 0}, {2, 6, 0.7f, 0}, {-1, 7, 0.5f, 0}, {3, 8, 0.35f, 0}, {-2, 11, 0.25f, 0}};
    float total = 0.0f;
    for (Wave& w : waves) {
        w.phase = rng.Uniform(0.0f, kTwoPi);
        total += w.amplitude;
    }
    Layer height;
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const float warp = 2.5f * Fractal(x, y, 2, 3, seed + 1);
            float s = 0.0f;
            for (const Wave& w : waves)
                s += w.amplitude *
                     std::sin(kTwoPi * (w.kx * x + w.ky * y) / kTileSize + w.phase + warp);
            height.At(x, y) = s / total + 0.1f * ValueNoise(x, y, 16, 48, seed + 3);
        }
    }
    const Layer light = Relief(height, 1.1f);
    const Rgb base = MeanColour(Terrain::Water);
    const Rgb deep{24.0f, 66.0f, 126.0f};
    const Rgb crest{160.0f, 204.0f, 234.0f};
    Image image(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const float depth = Fractal(x, y, 2, 4, seed + 2);
            const float h = height.At(x, y);
            Rgb c = Mix(base, deep, Clamp01(0.3f - 0.6f * depth - 0.2f * h));
            c = c * (1.0f + 0.35f * light.Get(x, y));
            c = Mix(c, crest, 0.5f * Clamp01(2.0f * (h - 0.55f)));
            image.At(x, y) = c;
        }
    }
    return image;
}

// Rock: rough, lit grey stone split by irregular cracks, some deep and some fading out.
Image MakeRock(std::uint32_t seed) {
    Layer height;
    Layer crackDepth;
    Layer tint;
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            // Warping the lookup by periodic noise keeps the cracks jagged and still tileable.
            const float wx = x + 8.0f * Fractal(x, y, 4, 3, seed + 1);
            const float wy = y + 8.0f * Fractal(x, y, 4, 3, seed + 2);
            const CellSample plates = Cellular(wx, wy, 4, seed + 3);
            const CellSample chips = Cellular(wx, wy, 9, seed + 4);
            const float fade = Clamp01(0.6f + 1.6f * Fractal(x, y, 4, 2, seed + 9));
            const float crack = (1.0f - SmoothStep(0.0f, 1.8f, plates.f2 - plates.f1)) * fade;
            const float hairline = (1.0f - SmoothStep(0.0f, 0.9f, chips.f2 - chips.f1)) *
                                   Clamp01(Fractal(x, y, 4, 2, seed + 10) * 2.0f);
            const float plateTilt = HashUnit(plates.id, 0, seed + 5) - 0.5f;
            height.At(x, y) = Fractal(x, y, 4, 5, seed + 6) +
                              0.5f * Fractal(x, y, 16, 3, seed + 7) + 0.3f * plateTilt -
                              0.8f * crack - 0.25f * hairline;
            crackDepth.At(x, y) = 0.55f * crack + 0.2f * hairline;
            tint.At(x, y) = Fractal(x, y, 2, 3, seed + 8);
        }
    }
    const Layer light = Relief(height, 0.8f);
    const Rgb base = MeanColour(Terrain::Rock);
    const Rgb warm{140.0f, 126.0f, 106.0f};
    const Rgb cool{110.0f, 116.0f, 122.0f};
    Image image(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const float t = tint.At(x, y);
            Rgb c =
                t > 0 ? Mix(base, warm, Clamp01(1.6f * t)) : Mix(base, cool, Clamp01(-1.6f * t));
            const float fine = HashUnit(x, y, seed + 11) - 0.5f;
            c = c * (1.0f + light.Get(x, y) + 0.12f * height.At(x, y) + 0.08f * fine -
                     crackDepth.At(x, y));
            image.At(x, y) = c;
        }
    }
    return image;
}

// Snow: near white with faint blue hollows between soft drifts and a few glints.
Image MakeSnow(std::uint32_t seed) {
    const Rgb white{248.0f, 250.0f, 253.0f};
    const Rgb hollow{194.0f, 210.0f, 236.0f};
    Image image(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y) {
        for (int x = 0; x < kTileSize; ++x) {
            const float warp = 2.5f * Fractal(x, y, 2, 3, seed + 1);
            const float drift = std::sin(kTwoPi * (1.0f * x + 3.0f * y) / kTileSize + warp);
            const float mounds = Fractal(x, y, 4, 4, seed + 2);
            const float grain = HashUnit(x, y, seed + 3);
            const float shade = Clamp01(0.25f - 0.9f * mounds - 0.18f * drift);
            Rgb c = Mix(white, hollow, shade) * (1.0f + 0.03f * (grain - 0.5f));
            if (grain > 0.996f)
                c = Rgb{255.0f, 255.0f, 255.0f};
            image.At(x, y) = c;
        }
    }
    return image;
}

} // namespace

float Clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}

float SmoothStep(float edge0, float edge1, float x) {
    const float t = Clamp01((x - edge0) / (edge1 - edge0));
    return t * t * (3.0f - 2.0f * t);
}

Image::Image(int width, int height, Rgb fill)
    : m_width(width), m_height(height),
      m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

const Rgb& Image::Wrapped(int x, int y) const {
    return At(WrapIndex(x, m_width), WrapIndex(y, m_height));
}

void Image::Blend(int x, int y, Rgb colour, float alpha) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return;
    Rgb& c = At(x, y);
    c = Mix(c, colour, Clamp01(alpha));
}

Rgb Image::Mean() const {
    double r = 0, g = 0, b = 0;
    for (const Rgb& c : m_pixels) {
        r += c.r;
        g += c.g;
        b += c.b;
    }
    const double n = static_cast<double>(m_pixels.size());
    return {static_cast<float>(r / n), static_cast<float>(g / n), static_cast<float>(b / n)};
}

Image Image::Crop(int x0, int y0, int width, int height) const {
    Image part(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            part.At(x, y) = At(x0 + x, y0 + y);
    return part;
}

std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    std::uint32_t h =
        (a * 0x9E3779B1u) ^ ((b + 0x7F4A7C15u) * 0x85EBCA77u) ^ ((c + 0x165667B1u) * 0xC2B2AE3Du);
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

float HashUnit(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    return static_cast<float>(Hash(a, b, c) >> 8) * (1.0f / 16777216.0f);
}

Rng::Rng(std::uint32_t seed) : m_state(0x853C49E6748FEA9Bull ^ (std::uint64_t{seed} << 17)) {}

std::uint32_t Rng::Next() {
    m_state += 0x9E3779B97F4A7C15ull;
    std::uint64_t z = m_state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return static_cast<std::uint32_t>((z ^ (z >> 31)) >> 32);
}

float Rng::Uniform(float lo, float hi) {
    return lo + (hi - lo) * static_cast<float>(Next() >> 8) * (1.0f / 16777216.0f);
}

float ValueNoise(float x, float y, int cellsX, int cellsY, std::uint32_t seed) {
    const float lx = x * cellsX / kTileSize;
    const float ly = y * cellsY / kTileSize;
    const float fx = std::floor(lx);
    const float fy = std::floor(ly);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const float tx = Fade(lx - fx);
    const float ty = Fade(ly - fy);
    auto corner = [&](int cx, int cy) {
        return HashUnit(WrapIndex(cx, cellsX), WrapIndex(cy, cellsY), seed) * 2.0f - 1.0f;
    };
    const float top = corner(ix, iy) + (corner(ix + 1, iy) - corner(ix, iy)) * tx;
    const float bottom = corner(ix, iy + 1) + (corner(ix + 1, iy + 1) - corner(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

float Fractal(float x, float y, int cells, int octaves, std::uint32_t seed) {
    float sum = 0.0f;
    float amplitude = 1.0f;
    float norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        const int n = cells << o;
        sum += amplitude * ValueNoise(x, y, n, n, seed + static_cast<std::uint32_t>(o) * 7919u);
        norm += amplitude;
        amplitude *= 0.5f;
    }
    return sum / norm;
}

CellSample Cellular(float x, float y, int cells, std::uint32_t seed) {
    const float size = static_cast<float>(kTileSize) / cells;
    const int cx = static_cast<int>(std::floor(x / size));
    const int cy = static_cast<int>(std::floor(y / size));
    CellSample s{1e9f, 1e9f, 0};
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            const int gx = cx + dx;
            const int gy = cy + dy;
            const auto hx = static_cast<std::uint32_t>(WrapIndex(gx, cells));
            const auto hy = static_cast<std::uint32_t>(WrapIndex(gy, cells));
            const float px = (gx + HashUnit(hx, hy, seed)) * size;
            const float py = (gy + HashUnit(hx, hy, seed + 1)) * size;
            const float d = std::hypot(x - px, y - py);
            if (d < s.f1) {
                s.f2 = s.f1;
                s.f1 = d;
                s.id = hy * static_cast<std::uint32_t>(cells) + hx;
            } else if (d < s.f2) {
                s.f2 = d;
            }
        }
    }
    return s;
}

Rgb MeanColour(Terrain terrain) {
    switch (terrain) {
    case Terrain::Grass:
        return {70.0f, 116.0f, 42.0f};
    case Terrain::DryGrass:
        return {94.0f, 128.0f, 40.0f};
    case Terrain::Dirt:
        return {114.0f, 84.0f, 57.0f};
    case Terrain::Sand:
        return {214.0f, 193.0f, 142.0f};
    case Terrain::Water:
        return {40.0f, 90.0f, 150.0f};
    case Terrain::Rock:
        return {122.0f, 121.0f, 116.0f};
    case Terrain::Snow:
        return {232.0f, 238.0f, 247.0f};
    }
    return {};
}

Image MakeTerrain(Terrain terrain, std::uint32_t seed) {
    Image image(kTileSize, kTileSize);
    switch (terrain) {
    case Terrain::Grass:
        image = MakeGrass(seed, {52.0f, 104.0f, 34.0f}, {128.0f, 150.0f, 58.0f});
        break;
    case Terrain::DryGrass:
        image = MakeGrass(seed, {84.0f, 118.0f, 34.0f}, {126.0f, 140.0f, 48.0f});
        break;
    case Terrain::Dirt:
        image = MakeDirt(seed);
        break;
    case Terrain::Sand:
        image = MakeSand(seed);
        break;
    case Terrain::Water:
        image = MakeWater(seed);
        break;
    case Terrain::Rock:
        image = MakeRock(seed);
        break;
    case Terrain::Snow:
        image = MakeSnow(seed);
        break;
    }
    MatchMean(image, MeanColour(terrain));
    return image;
}

} // namespace samplegen
