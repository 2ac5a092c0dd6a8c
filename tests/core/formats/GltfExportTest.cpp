#include "GltfExport.h"
#include "AtomicFile.h"
#include "MainDoc.h"
#include "T3dExport.h"
#include "TestSupport.h"

#include <gtest/gtest.h>
#include <tiny_gltf.h>

#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using Vec3 = std::array<float, 3>;
using Vec2 = std::array<float, 2>;

// A cell read back: its material, corners A (x, y), B (x, y + 1), C (x + 1, y), D (x + 1, y + 1)
// and its six indices as corner numbers 0 (A) to 3 (D). No texture coordinates read -1.
struct Cell {
    int material = -1;
    Vec3 position[4], normal[4];
    Vec2 uv[4];
    std::array<int, 6> corners;
};

template <class T> std::vector<T> Elements(const tinygltf::Model& m, int index) {
    const tinygltf::Accessor& a = m.accessors.at(static_cast<std::size_t>(index));
    const tinygltf::BufferView& v = m.bufferViews.at(static_cast<std::size_t>(a.bufferView));
    std::vector<T> out(a.count);
    for (std::size_t k = 0; k < a.count; ++k)
        std::memcpy(&out[k], &m.buffers[0].data.at(v.byteOffset + a.byteOffset + k * sizeof(T)),
                    sizeof(T));
    return out;
}

// The file parsed with tinygltf, and its cells by the map position of corner A.
struct Glb {
    tinygltf::Model model;
    std::map<std::pair<int, int>, Cell> cells;

    Glb(const fs::path& path, double cellSize) {
        std::string error, warning;
        EXPECT_TRUE(
            tinygltf::TinyGLTF().LoadBinaryFromFile(&model, &error, &warning, path.string()))
            << error << warning;
        for (const tinygltf::Primitive& p : model.meshes.at(0).primitives) {
            const auto pos = Elements<Vec3>(model, p.attributes.at("POSITION"));
            const auto nrm = Elements<Vec3>(model, p.attributes.at("NORMAL"));
            const auto uvs = p.attributes.find("TEXCOORD_0");
            const auto uv = uvs == p.attributes.end() ? std::vector<Vec2>(pos.size(), {-1, -1})
                                                      : Elements<Vec2>(model, uvs->second);
            const auto idx = Elements<std::uint32_t>(model, p.indices);
            EXPECT_EQ(idx.size(), pos.size() / 4 * 6);
            for (std::size_t k = 0; k < pos.size() / 4; ++k) {
                Cell c;
                c.material = p.material;
                for (std::size_t i = 0; i < 4; ++i) {
                    c.position[i] = pos[4 * k + i];
                    c.normal[i] = nrm[4 * k + i];
                    c.uv[i] = uv[4 * k + i];
                }
                for (std::size_t i = 0; i < 6; ++i)
                    c.corners[i] = static_cast<int>(idx.at(6 * k + i) - 4 * k);
                const std::pair at{static_cast<int>(std::lround(c.position[0][0] / cellSize)),
                                   static_cast<int>(std::lround(c.position[0][2] / cellSize))};
                EXPECT_TRUE(cells.emplace(at, c).second) << "two cells at " << at.first;
            }
        }
    }
};

// Tile `index` with a different colour in every pixel row and column, so a turned picture shows.
void SetTile(CMainDoc& doc, int index, const std::string& name) {
    Picture& picture = doc.m_tiles.m_hTileDib[static_cast<std::size_t>(index)];
    picture = Picture(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x)
            picture.At(x, y) = MakeColor(2 * x, 2 * y, 40 * index);
    doc.m_tiles.m_strTileName[static_cast<std::size_t>(index)] = name;
    doc.m_tiles.m_nLastTile = std::max(doc.m_tiles.m_nLastTile, index);
}

// A random 64 x 64 map on five tiles (tile 2 unused) with a few cells without a tile.
std::unique_ptr<CMainDoc> RandomMap(unsigned seed) {
    auto doc = std::make_unique<CMainDoc>();
    for (int t = 0; t < 5; ++t)
        SetTile(*doc, t, "TILE" + std::to_string(t));
    std::mt19937 rng(seed);
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 64;
    for (int i = 0; i < kPlaneCells; ++i) {
        const unsigned tile = rng() % 5;
        doc->m_map.m_tile[i] = rng() % 50 == 0 ? kMissingTile : tile == 2 ? 3 : tile;
        doc->m_map.m_height[i] = static_cast<std::uint8_t>(rng());
        doc->m_map.m_mirror[i] = rng() & 1;
        doc->m_map.m_flip[i] = rng() & 1;
    }
    return doc;
}

// 2 x 2 cells; corner heights [j][i] below, column and row 2 from the plane outside the map.
// Cell (1, 0) rises to D and splits along B-C; the others split along A-D.
TEST(GltfExportTest, TwoByTwoMapVertexByVertex) {
    const int h[3][3] = {{0, 0, 0}, {0, 0, 8}, {0, 0, 4}};
    auto doc = std::make_unique<CMainDoc>();
    SetTile(*doc, 0, "GRASA000");
    SetTile(*doc, 1, "ROCKB000");
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 2;
    doc->m_map.m_height[CellIndex(2, 1)] = 8;
    doc->m_map.m_height[CellIndex(2, 2)] = 4;
    doc->SetTileFlags(0, 0, 1, 0, 0);
    doc->SetTileFlags(1, 0, 0, 1, 0);            // mirrored
    doc->SetTileFlags(0, 1, 1, 0, 1);            // flipped
    doc->SetTileFlags(1, 1, kMissingTile, 1, 1); // no tile
    TempDir dir;
    const double cs = 2.0;
    const GltfExportResult r = ExportGltf(*doc, {std::nullopt, cs}, dir / "map.glb");
    EXPECT_EQ(std::tuple(r.cells, r.cellsWithoutTile, r.materials), std::tuple(4, 1, 3));
    EXPECT_EQ(r.bytes, fs::file_size(dir / "map.glb"));
    const Glb glb(dir / "map.glb", cs);
    ASSERT_EQ(glb.cells.size(), 4u);

    struct Expected {
        int x, y, material;
        Vec2 uvA; // B lies below A, C right of A
        std::array<int, 6> corners;
    };
    const Expected cells[] = {{0, 0, 1, {0, 0}, {0, 1, 3, 0, 3, 2}},
                              {1, 0, 0, {1, 0}, {2, 0, 1, 2, 1, 3}},
                              {0, 1, 1, {0, 1}, {0, 1, 3, 0, 3, 2}},
                              {1, 1, 2, {-1, -1}, {0, 1, 3, 0, 3, 2}}};
    for (const Expected& e : cells) {
        SCOPED_TRACE(testing::Message() << "cell " << e.x << ", " << e.y);
        const Cell& c = glb.cells.at({e.x, e.y});
        EXPECT_EQ(c.material, e.material);
        EXPECT_EQ(c.corners, e.corners);
        for (int k = 0; k < 4; ++k) {
            const int i = e.x + k / 2, j = e.y + k % 2;
            EXPECT_EQ(c.position[k], (Vec3{float(i * cs), float(h[j][i] * cs / 8), float(j * cs)}));
            const Vec2 uv{std::abs(e.uvA[0] - k / 2), std::abs(e.uvA[1] - k % 2)};
            EXPECT_EQ(c.uv[k], e.uvA[0] < 0 ? e.uvA : uv) << "corner " << k;
        }
    }
    // Up on flat ground; at (1, 1) 8 steps (a cell) over two cells along x; at (2, 1) on the
    // map's edge one-sided along x, 4 steps over two cells along y. Shared corners agree.
    const double r11 = std::sqrt(1.25), r21 = std::sqrt(2.0625);
    const Vec3 up{0, 1, 0}, n11{float(-0.5 / r11), float(1 / r11), 0},
        n21{float(-1 / r21), float(1 / r21), float(-0.25 / r21)};
    const std::tuple<int, int, int, Vec3> normals[] = {
        {0, 0, 0, up}, {0, 0, 3, n11}, {1, 1, 0, n11}, {1, 0, 3, n21}, {1, 1, 2, n21}};
    for (const auto& [x, y, corner, n] : normals)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(glb.cells.at({x, y}).normal[corner][k], n[k], 1e-6) << x << y << corner;

    // The used tiles in tile order with their pictures as they are, then the grey material.
    const tinygltf::Model& m = glb.model;
    ASSERT_EQ(m.materials.size(), 3u);
    ASSERT_EQ(m.images.size(), 2u);
    for (std::size_t k = 0; k < 3; ++k) {
        const tinygltf::PbrMetallicRoughness& pbr = m.materials[k].pbrMetallicRoughness;
        EXPECT_EQ(pbr.metallicFactor, 0.0);
        if (k == 2) {
            EXPECT_EQ(m.materials[k].name, "No tile");
            EXPECT_EQ(pbr.baseColorTexture.index, -1);
            EXPECT_EQ(pbr.baseColorFactor, (std::vector<double>{0.5, 0.5, 0.5, 1}));
            continue;
        }
        const tinygltf::Image& image =
            m.images.at(static_cast<std::size_t>(m.textures.at(k).source));
        EXPECT_EQ(m.materials[k].name, doc->m_tiles.m_strTileName[k]);
        EXPECT_EQ(image.name, doc->m_tiles.m_strTileName[k]);
        EXPECT_EQ(pbr.baseColorTexture.index, static_cast<int>(k));
        ASSERT_EQ(image.width * image.height, kTileSize * kTileSize);
        for (int p = 0; p < kTileSize * kTileSize; ++p) {
            const unsigned char* rgb = &image.image[static_cast<std::size_t>(p * image.component)];
            ASSERT_EQ(MakeColor(rgb[0], rgb[1], rgb[2]), doc->m_tiles.m_hTileDib[k].pixels[p]);
        }
    }
}

// Every cell shows the T3D export's two triangles in its order, in glTF's axes and turned to
// face up; a region holds its cells as the whole map's file does, with the materials it uses.
TEST(GltfExportTest, SurfaceIsTheT3dSurfaceAndRegionsFitIt) {
    const auto doc = RandomMap(7);
    const CellRect region{5, 7, 20, 11};
    for (int y = region.y; y < region.y + region.h; ++y)
        for (int x = region.x; x < region.x + region.w; ++x)
            doc->m_map.m_tile[CellIndex(x, y)] = x < 15 ? 4 : 1;
    TempDir dir;
    const double cs = 0.5;
    ExportGltf(*doc, {std::nullopt, cs}, dir / "map.glb");
    EXPECT_EQ(ExportGltf(*doc, {region, cs}, dir / "region.glb").cellsWithoutTile, 0);
    const Glb whole(dir / "map.glb", cs), part(dir / "region.glb", cs);

    std::string t3d;
    WriteT3dPiece(t3d, *doc, T3dCornerGrid(doc->m_map.m_height.data()), 0, 0, 64);
    std::istringstream lines(t3d);
    std::vector<Vec3> t3dVertices;
    for (std::string line; std::getline(lines, line);)
        if (int x, y, z; std::sscanf(line.c_str(), "Vertex %d,%d,%d", &x, &y, &z) == 3)
            t3dVertices.push_back({float(x * cs / 128), float(z * cs / 128), float(y * cs / 128)});
    ASSERT_EQ(t3dVertices.size(), 64u * 64u * 6u);
    ASSERT_EQ(whole.cells.size(), 64u * 64u);
    auto v = t3dVertices.begin();
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            for (int t = 0; t < 2; ++t, v += 3) {
                const Cell& c = whole.cells.at({x, y});
                const Vec3& p0 = c.position[c.corners[3 * t]];
                const Vec3& p1 = c.position[c.corners[3 * t + 1]];
                const Vec3& p2 = c.position[c.corners[3 * t + 2]];
                ASSERT_TRUE(p0 == v[0] && p1 == v[2] && p2 == v[1]) << x << ", " << y;
                // The y component of (p1 - p0) x (p2 - p0).
                ASSERT_GT((p1[2] - p0[2]) * (p2[0] - p0[0]) - (p1[0] - p0[0]) * (p2[2] - p0[2]), 0);
            }

    ASSERT_EQ(part.model.materials.size(), 2u);
    EXPECT_EQ(part.model.materials[0].name, "TILE1");
    EXPECT_EQ(part.model.materials[1].name, "TILE4");
    ASSERT_EQ(part.cells.size(), 220u);
    for (const auto& [at, c] : part.cells) {
        const auto [x, y] = at;
        ASSERT_TRUE(x >= region.x && x < region.x + region.w && y >= region.y &&
                    y < region.y + region.h);
        const Cell& w = whole.cells.at(at);
        EXPECT_EQ(part.model.materials[static_cast<std::size_t>(c.material)].name,
                  whole.model.materials[static_cast<std::size_t>(w.material)].name);
        ASSERT_TRUE(std::equal(c.position, c.position + 4, w.position) &&
                    std::equal(c.normal, c.normal + 4, w.normal) &&
                    std::equal(c.uv, c.uv + 4, w.uv) && c.corners == w.corners)
            << x << ", " << y;
    }
}

// The Khronos validator finds no error and no warning in the export of a random map.
TEST(GltfExportTest, ValidatorFindsNoErrorsOrWarnings) {
    if (!fs::exists(fs::path(GLTF_VALIDATOR_PACKAGE) / "package.json") ||
        std::system("node --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "the glTF validator is not installed (scripts/setup installs it with npm "
                        "into .cache/gltf-validator)";
    TempDir dir;
    ExportGltf(*RandomMap(3), {}, dir / "map.glb");
    const std::string command = "node '" GLTF_VALIDATOR_SCRIPT "' '" GLTF_VALIDATOR_PACKAGE "' '" +
                                (dir / "map.glb").string() + "' 2>&1";
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string report;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        report.append(buffer, n);
    ASSERT_EQ(pclose(pipe), 0) << report;
    int errors = -1, warnings = -1;
    ASSERT_EQ(std::sscanf(report.c_str(), "errors %d warnings %d", &errors, &warnings), 2)
        << report;
    EXPECT_EQ(errors + warnings, 0) << report;
    std::printf("glTF validator: %s", report.c_str());
}

// A failure at any step of the save, a stop asked for by the progress callback and bad options
// all leave an existing file whole and no temporary file behind.
TEST(GltfExportTest, FailedOrStoppedExportKeepsTheOldFile) {
    const auto doc = RandomMap(5);
    TempDir dir;
    const fs::path path = dir / "map.glb";
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    WriteBytes(path, old);
    const auto unchanged = [&] {
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1);
    };
    using Step = AtomicFile::Step;
    for (auto [step, nth] : {std::pair{Step::Create, 1},
                             {Step::Write, 1},
                             {Step::Write, 12},
                             {Step::Sync, 1},
                             {Step::Rename, 1}}) {
        AtomicFile::InjectFault(step, nth, ENOSPC);
        try {
            ExportGltf(*doc, {}, path);
            ADD_FAILURE() << "the export reported success";
        } catch (const FileError& e) {
            EXPECT_EQ(e.Path(), path.string());
            EXPECT_EQ(e.Reason(), std::strerror(ENOSPC));
        }
        AtomicFile::ClearFault();
        unchanged();
    }
    // 4 tile pictures, 64 rows and the file: stop in the pictures and in the rows.
    for (const int stopAt : {2, 30}) {
        int last = 0;
        const GltfExportResult r = ExportGltf(*doc, {}, path, [&](int done, int total) {
            EXPECT_EQ(total, 4 + 64 + 1);
            EXPECT_EQ(done, ++last);
            return done < stopAt;
        });
        EXPECT_TRUE(r.stopped);
        EXPECT_EQ(last, stopAt);
        unchanged();
    }
    EXPECT_THROW(ExportGltf(*doc, {CellRect{60, 0, 5, 5}, 1.0}, path), std::invalid_argument);
    EXPECT_THROW(ExportGltf(*doc, {std::nullopt, 0.0}, path), std::invalid_argument);
    unchanged();
}

} // namespace
