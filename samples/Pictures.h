#pragma once

// The composed sample pictures: terrain transitions, single decorated tiles and the
// multi-tile pond.

#include "Texture.h"

#include <cstdint>

namespace samplegen {

// Which corners of a transition tile show the painted terrain.
struct Corners {
    bool northWest = false;
    bool northEast = false;
    bool southWest = false;
    bool southEast = false;
};

// How the painted terrain's edge is drawn.
struct EdgeStyle {
    float wobble = 16.0f;   // how far, in pixels, the edge wanders inside the tile
    float rimDarken = 0.2f; // darkening of the painted terrain just inside its edge
    Rgb halo{};             // colour washed over the background just outside the edge
    float haloStrength = 0.0f;
    float haloWidth = 6.0f; // pixels
    float edgeWidth = 0.0f; // pixels of the edge texture along the inside of the edge
};

// `painted` over `background`; the painted share of a point is the bilinear blend of the corner
// values (1 painted, 0 not), and the edge runs where it is one half, so the edge meets every
// border that it crosses at the border's middle. The organic wander of the edge fades out
// towards the borders, which keeps that true for mirrored and flipped copies too. When `edge`
// is given, the painted terrain turns into it over style.edgeWidth pixels towards its edge (dry
// grass along the dirt, say) while staying `painted` further in.
Image MakeTransition(const Image& painted, const Image* edge, const Image& background,
                     Corners corners, const EdgeStyle& style, std::uint32_t seed);

// Single tiles: the decoration is kept clear of the borders so the tile sits among plain tiles.
Image MakeFlowers(const Image& grass, std::uint32_t seed);
Image MakeStoneOnGrass(const Image& grass, const Image& rock, std::uint32_t seed);
Image MakeBoulderOnRock(const Image& rock, const Image& boulderDetail, std::uint32_t seed);
Image MakePalmShadow(const Image& sand, std::uint32_t seed);

// A 2 x 2 tile pond in grass; its outer border is the plain grass texture.
Image MakePond(const Image& grass, const Image& water, const Image& dirt, const Image& rock,
               std::uint32_t seed);

} // namespace samplegen
