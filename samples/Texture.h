#pragma once

// Pictures, noise and the procedural terrain textures of the sample tile generator.

#include <cstdint>
#include <vector>

namespace samplegen {

constexpr int kTileSize = 128;

// A colour with channels in 0..255, kept as floats while a picture is being composed.
struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
inline Rgb operator-(Rgb a, Rgb b) {
    return {a.r - b.r, a.g - b.g, a.b - b.b};
}
inline Rgb operator*(Rgb a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
inline Rgb Mix(Rgb a, Rgb b, float t) {
    return a + (b - a) * t;
}

float Clamp01(float v);
float SmoothStep(float edge0, float edge1, float x);

// A picture stored row by row from the top (north) row down.
class Image {
public:
    Image(int width, int height, Rgb fill = {});

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Rgb& At(int x, int y) { return m_pixels[static_cast<std::size_t>(y * m_width + x)]; }
    const Rgb& At(int x, int y) const {
        return m_pixels[static_cast<std::size_t>(y * m_width + x)];
    }
    // Looks the picture up as if it repeated endlessly in both directions.
    const Rgb& Wrapped(int x, int y) const;
    // Mixes `colour` into the pixel by `alpha`; positions outside the picture are ignored.
    void Blend(int x, int y, Rgb colour, float alpha);
    Rgb Mean() const;
    Image Crop(int x0, int y0, int width, int height) const;

private:
    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

std::uint32_t Hash(std::uint32_t a, std::uint32_t b, std::uint32_t c);
// A hash mapped to [0, 1).
float HashUnit(std::uint32_t a, std::uint32_t b, std::uint32_t c);

// A small deterministic generator for scattering details.
class Rng {
public:
    explicit Rng(std::uint32_t seed);
    std::uint32_t Next();
    float Uniform(float lo, float hi);

private:
    std::uint64_t m_state;
};

// The noise functions below repeat every kTileSize pixels in x and y, so textures built from
// them tile without seams.

// Smooth value noise in [-1, 1] on a lattice of cellsX x cellsY cells per tile.
float ValueNoise(float x, float y, int cellsX, int cellsY, std::uint32_t seed);
// Octaves of value noise starting at `cells` cells per tile; roughly in [-1, 1].
float Fractal(float x, float y, int cells, int octaves, std::uint32_t seed);

// Distances to the nearest and second nearest of one jittered point per cell (cells x cells per
// tile), and an identifier of the nearest cell.
struct CellSample {
    float f1;
    float f2;
    std::uint32_t id;
};
CellSample Cellular(float x, float y, int cells, std::uint32_t seed);

enum class Terrain { Grass, DryGrass, Dirt, Sand, Water, Rock, Snow };

// The mean colour every texture of `terrain` is brought to, whatever its seed.
Rgb MeanColour(Terrain terrain);

// A tileable kTileSize x kTileSize texture of `terrain`.
Image MakeTerrain(Terrain terrain, std::uint32_t seed);

} // namespace samplegen
