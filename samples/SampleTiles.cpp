#include "SampleTiles.h"

#include "BmpWriter.h"
#include "Pictures.h"
#include "Texture.h"

#include <map>
#include <utility>

namespace samplegen {

namespace {

// The plain tiles of a terrain, <code>_<alternative>M000, each alternative with its own seed.
struct TerrainEntry {
    const char* code;
    Terrain terrain;
    int alternatives;
    int firstPaletted; // alternatives from this number on are written with 8 bits
};

const TerrainEntry kTerrains[] = {
    {"GR", Terrain::Grass, 3, 3}, {"DI", Terrain::Dirt, 2, 2}, {"SA", Terrain::Sand, 2, 3},
    {"WA", Terrain::Water, 2, 2}, {"RK", Terrain::Rock, 2, 3}, {"SN", Terrain::Snow, 2, 2},
};

// One version of a painted-over-background group. Its tiles are named <code><kind>0<version>0.
struct GroupEntry {
    const char* code;
    int version;
    Terrain painted;
    Terrain edge; // the painted terrain's look along its edge; `painted` for no change
    Terrain background;
    EdgeStyle style;
};

constexpr EdgeStyle kGrassEdge{.wobble = 20.0f, .rimDarken = 0.25f};
// Grass dried out along the dirt, turning green further in so that it still meets the plain
// grass tiles.
constexpr EdgeStyle kDryGrassEdge{.wobble = 26.0f, .rimDarken = 0.2f, .edgeWidth = 18.0f};
// Shallow, lighter water along the beach.
constexpr EdgeStyle kBeach{.wobble = 18.0f,
                           .rimDarken = 0.1f,
                           .halo = {86, 158, 178},
                           .haloStrength = 0.65f,
                           .haloWidth = 10.0f};
// Rock casts a little shade onto the grass around it.
constexpr EdgeStyle kRockEdge{.wobble = 22.0f,
                              .rimDarken = 0.3f,
                              .halo = {28, 52, 20},
                              .haloStrength = 0.4f,
                              .haloWidth = 4.0f};
constexpr EdgeStyle kSnowEdge{.wobble = 22.0f, .rimDarken = 0.08f};

const GroupEntry kGroups[] = {
    {"GRDI", 0, Terrain::Grass, Terrain::Grass, Terrain::Dirt, kGrassEdge},
    {"GRDI", 1, Terrain::Grass, Terrain::DryGrass, Terrain::Dirt, kDryGrassEdge},
    {"SAWA", 0, Terrain::Sand, Terrain::Sand, Terrain::Water, kBeach},
    {"RKGR", 0, Terrain::Rock, Terrain::Rock, Terrain::Grass, kRockEdge},
    {"SNRK", 0, Terrain::Snow, Terrain::Snow, Terrain::Rock, kSnowEdge},
};

// The four drawn kinds; the editor mirrors and flips them into the other eight.
struct KindEntry {
    char letter;
    Corners corners;
};

const KindEntry kKinds[] = {
    {'A', {false, false, true, true}},  // south half
    {'B', {true, false, true, false}},  // west half
    {'E', {false, false, true, false}}, // south-west corner
    {'I', {true, false, true, true}},   // all corners but the north-east
};

std::uint32_t TextureSeed(Terrain terrain, int alternative) {
    return 1000u * (static_cast<std::uint32_t>(terrain) + 1u) +
           17u * static_cast<std::uint32_t>(alternative);
}

class TileWriter {
public:
    explicit TileWriter(std::filesystem::path dir) : m_dir(std::move(dir)) {}

    void Save(const std::string& name, const Image& image, bool paletted) {
        const std::string file = name + ".BMP";
        if (paletted)
            WriteBmp8(m_dir / file, image);
        else
            WriteBmp24(m_dir / file, image);
        m_names.push_back(file);
    }

    // The first alternative of each terrain, shared by the transitions and decorations so
    // they continue the plain tiles they sit next to.
    const Image& Texture(Terrain terrain) {
        auto it = m_textures.find(terrain);
        if (it == m_textures.end())
            it = m_textures.emplace(terrain, MakeTerrain(terrain, TextureSeed(terrain, 1))).first;
        return it->second;
    }

    std::vector<std::string> Names() const { return m_names; }

private:
    std::filesystem::path m_dir;
    std::vector<std::string> m_names;
    std::map<Terrain, Image> m_textures;
};

} // namespace

std::vector<std::string> WriteSampleTiles(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    TileWriter writer(dir);

    // Plain tiles: <terrain>_<alternative>M000.
    for (const TerrainEntry& t : kTerrains) {
        for (int alt = 1; alt <= t.alternatives; ++alt) {
            const std::string name = std::string(t.code) + "_" + std::to_string(alt) + "M000";
            const Image image = alt == 1 ? writer.Texture(t.terrain)
                                         : MakeTerrain(t.terrain, TextureSeed(t.terrain, alt));
            writer.Save(name, image, alt >= t.firstPaletted);
        }
    }

    // Transitions: <group><kind>0<version>0.
    std::uint32_t edgeSeed = 500;
    for (const GroupEntry& g : kGroups) {
        for (const KindEntry& kind : kKinds) {
            const std::string name =
                std::string(g.code) + kind.letter + "0" + std::to_string(g.version) + "0";
            const Image* edge = g.edge == g.painted ? nullptr : &writer.Texture(g.edge);
            writer.Save(name,
                        MakeTransition(writer.Texture(g.painted), edge,
                                       writer.Texture(g.background), kind.corners, g.style,
                                       edgeSeed++),
                        false);
        }
    }

    // Single tiles: <terrain><what>N000.
    writer.Save("GRFLN000", MakeFlowers(writer.Texture(Terrain::Grass), 71), true);
    writer.Save("GRSTN000",
                MakeStoneOnGrass(writer.Texture(Terrain::Grass), writer.Texture(Terrain::Rock), 72),
                true);
    writer.Save(
        "RKBON000",
        MakeBoulderOnRock(writer.Texture(Terrain::Rock), MakeTerrain(Terrain::Rock, 7301), 73),
        true);
    writer.Save("SAPAN000", MakePalmShadow(writer.Texture(Terrain::Sand), 74), true);

    // The pond, 2 x 2 pieces GRE0S_<column><row>. "GRE0" sorts right after the GRDI
    // transitions, so the pieces belong to that group.
    const Image pond = MakePond(writer.Texture(Terrain::Grass), writer.Texture(Terrain::Water),
                                writer.Texture(Terrain::Dirt), writer.Texture(Terrain::Rock), 75);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < 2; ++column)
            writer.Save("GRE0S_" + std::to_string(column) + std::to_string(row),
                        pond.Crop(column * kTileSize, row * kTileSize, kTileSize, kTileSize), true);
    return writer.Names();
}

} // namespace samplegen
