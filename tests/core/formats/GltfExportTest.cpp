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
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using Vec3 = std::array<float, 3>;
using Vec2 = std::array<float, 2>;

// One cell as read back from a file: its material and its corners A (x, y), B (x, y + 1),
// C (x + 1, y), D (x + 1, y + 1), and its six indices as corner numbers 0 (A) to 3 (D).
struct Cell {
    int material = -1;
    Vec3 position[4], normal[4];
    Vec2 uv[4];
    int corners[6];
};

template <class T> std::vector<T> Elements(const tinygltf::Model& m, int index) {
    const tinygltf::Accessor& a = m.accessors.at(static_cast<std::size_t>(index));
    const tinygltf::BufferView& v = m.bufferViews.at(static_cast<std::size_t>(a.bufferView));
    const std::size_t stride = v.byteStride ? v.byteStride : sizeof(T);
    std::vector<T> out(a.count);
    for (std::size_t k = 0; k < a.count; ++k)
        std::memcpy(&out[k], &m.buffers.at(0).data.at(v.byteOffset + a.byteOffset + k * stride),
                    sizeof(T));
    return out;
}

// The file parsed with tinygltf, and its cells by map position (x, y) from corner A.
struct Glb {
    tinygltf::Model model;
    std::map<std::pair<int, int>, Cell> cells;

    Glb(const fs::path& path, double cellSize) {
        tinygltf::TinyGLTF loader;
        std::string error, warning;
        EXPECT_TRUE(loader.LoadBinaryFromFile(&model, &error, &warning, path.string()))
            << error << warning;
        if (model.meshes.size() != 1)
            return;
        for (const tinygltf::Primitive& p : model.meshes[0].primitives) {
            EXPECT_EQ(p.mode, TINYGLTF_MODE_TRIANGLES);
            const auto pos = Elements<Vec3>(model, p.attributes.at("POSITION"));
            const auto nrm = Elements<Vec3>(model, p.attributes.at("NORMAL"));
            const auto uvs = p.attributes.find("TEXCOORD_0"); // none for untextured materials
            const auto uv = uvs == p.attributes.end() ? std::vector<Vec2>(pos.size(), Vec2{-1, -1})
                                                      : Elements<Vec2>(model, uvs->second);
            const auto idx = Elements<std::uint32_t>(model, p.indices);
            EXPECT_EQ(pos.size() % 4, 0u);
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
                    c.corners[i] = static_cast<int>(idx[6 * k + i]) - static_cast<int>(4 * k);
                const auto at =
                    std::pair{static_cast<int>(std::lround(c.position[0][0] / cellSize)),
                              static_cast<int>(std::lround(c.position[0][2] / cellSize))};
                EXPECT_TRUE(cells.emplace(at, c).second) << "two cells at " << at.first;
            }
        }
    }
};

// Gives tile `index` a 128 x 128 picture with a different colour in every pixel row and column,
// so that a turned or shifted picture shows.
void SetTile(CMainDoc& doc, int index, const std::string& name) {
    Picture picture(kTileSize, kTileSize);
    for (int y = 0; y < kTileSize; ++y)
        for (int x = 0; x < kTileSize; ++x)
            picture.At(x, y) = MakeColor(2 * x, 2 * y, 40 * index);
    doc.m_tiles.m_hTileDib[static_cast<std::size_t>(index)] = picture;
    doc.m_tiles.m_strTileName[static_cast<std::size_t>(index)] = name;
    doc.m_tiles.m_nLastTile = std::max(doc.m_tiles.m_nLastTile, index);
}

// A random map on five tiles (tile 2 unused) with a few cells without a tile.
std::unique_ptr<CMainDoc> RandomMap(int size, unsigned seed) {
    auto doc = std::make_unique<CMainDoc>();
    for (int t = 0; t < 5; ++t)
        SetTile(*doc, t, "TILE" + std::to_string(t));
    std::mt19937 rng(seed);
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = size;
    for (int i = 0; i < kPlaneCells; ++i) {
        const unsigned tile = rng() % 5;
        doc->m_map.m_tile[i] = rng() % 50 == 0 ? kMissingTile : tile == 2 ? 3 : tile;
        doc->m_map.m_height[i] = static_cast<std::uint8_t>(rng());
        doc->m_map.m_mirror[i] = rng() & 1;
        doc->m_map.m_flip[i] = rng() & 1;
    }
    return doc;
}

// 2 x 2 cells. Corner heights (the plane's column and row 2 lie outside the map):
//   j\i  0  1  2
//   0    0  0  0
//   1    0  0  8
//   2    0  0  4
// Cell (1, 0) rises to D and splits along B-C; the others split along A-D.
TEST(GltfExportTest, TwoByTwoMapVertexByVertex) {
    auto doc = std::make_unique<CMainDoc>();
    SetTile(*doc, 0, "GRASA000");
    SetTile(*doc, 1, "ROCKB000");
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 2;
    doc->m_map.m_height[CellIndex(2, 1)] = 8;
    doc->m_map.m_height[CellIndex(2, 2)] = 4;
    doc->SetTileFlags(0, 0, 1, 0, 0);
    doc->SetTileFlags(1, 0, 0, 1, 0);            // mirrored
    doc->SetTileFlags(0, 1, 1, 0, 1);            // flipped
    doc->SetTileFlags(1, 1, kMissingTile, 1, 1); // no tile, mirrored and flipped
    TempDir dir;
    const double cs = 2.0;
    const GltfExportResult r = ExportGltf(*doc, {std::nullopt, cs}, dir / "map.glb");
    EXPECT_EQ(r.cells, 4);
    EXPECT_EQ(r.cellsWithoutTile, 1);
    EXPECT_EQ(r.materials, 3);
    EXPECT_EQ(r.bytes, fs::file_size(dir / "map.glb"));
    const Glb glb(dir / "map.glb", cs);

    const int h[3][3] = {{0, 0, 0}, {0, 0, 8}, {0, 0, 4}}; // [j][i]
    struct Expected {
        int x, y, material;
        Vec2 uvA; // the others follow: B below A, C right of A; -1: no texture coordinates
        int corners[6];
    };
    const Expected cells[] = {
        {0, 0, 1, {0, 0}, {0, 1, 3, 0, 3, 2}},
        {1, 0, 0, {1, 0}, {2, 0, 1, 2, 1, 3}},
        {0, 1, 1, {0, 1}, {0, 1, 3, 0, 3, 2}},
        {1, 1, 2, {-1, -1}, {0, 1, 3, 0, 3, 2}},
    };
    ASSERT_EQ(glb.cells.size(), 4u);
    for (const Expected& e : cells) {
        SCOPED_TRACE(testing::Message() << "cell " << e.x << ", " << e.y);
        const Cell& c = glb.cells.at({e.x, e.y});
        EXPECT_EQ(c.material, e.material);
        for (int k = 0; k < 4; ++k) {
            const int i = e.x + k / 2, j = e.y + k % 2;
            const Vec3 position{float(i * cs), float(h[j][i] * cs / 8), float(j * cs)};
            EXPECT_EQ(c.position[k], position) << "corner " << k;
            const Vec2 uv = e.material == 2
                                ? Vec2{-1, -1}
                                : Vec2{std::abs(e.uvA[0] - k / 2), std::abs(e.uvA[1] - k % 2)};
            EXPECT_EQ(c.uv[k], uv) << "corner " << k;
        }
        EXPECT_TRUE(std::equal(c.corners, c.corners + 6, e.corners));
    }
    // Normals: up on flat ground; at (1, 1) the slope along x is 8 steps (one cell) over two
    // cells; at (2, 1), on the map's edge, one-sided along x (8 steps over one cell) and 4 steps
    // over two cells along y. Cells that share a corner share its normal.
    struct Normal {
        int x, y, corner;
        Vec3 n;
    };
    const double r11 = std::sqrt(1.25), r21 = std::sqrt(2.0625);
    const Normal normals[] = {{0, 0, 0, {0, 1, 0}},
                              {0, 0, 3, {float(-0.5 / r11), float(1 / r11), 0}},
                              {1, 1, 0, {float(-0.5 / r11), float(1 / r11), 0}},
                              {1, 0, 3, {float(-1 / r21), float(1 / r21), float(-0.25 / r21)}},
                              {1, 1, 2, {float(-1 / r21), float(1 / r21), float(-0.25 / r21)}}};
    for (const Normal& n : normals)
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(glb.cells.at({n.x, n.y}).normal[n.corner][k], n.n[k], 1e-6)
                << n.x << ", " << n.y << " corner " << n.corner;

    // Materials: the used tiles in tile order, their pictures embedded as they are, then grey.
    const tinygltf::Model& m = glb.model;
    ASSERT_EQ(m.materials.size(), 3u);
    ASSERT_EQ(m.images.size(), 2u);
    const char* names[] = {"GRASA000", "ROCKB000", "No tile"};
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(names[k]);
        const tinygltf::Material& mat = m.materials[static_cast<std::size_t>(k)];
        EXPECT_EQ(mat.name, names[k]);
        EXPECT_EQ(mat.pbrMetallicRoughness.metallicFactor, 0.0);
        if (k == 2) {
            EXPECT_EQ(mat.pbrMetallicRoughness.baseColorTexture.index, -1);
            EXPECT_EQ(mat.pbrMetallicRoughness.baseColorFactor,
                      (std::vector<double>{0.5, 0.5, 0.5, 1}));
            continue;
        }
        const int texture = mat.pbrMetallicRoughness.baseColorTexture.index;
        ASSERT_GE(texture, 0);
        const tinygltf::Image& image = m.images.at(
            static_cast<std::size_t>(m.textures.at(static_cast<std::size_t>(texture)).source));
        EXPECT_EQ(image.name, names[k]);
        EXPECT_EQ(image.mimeType, "image/png");
        ASSERT_EQ(image.width, kTileSize);
        ASSERT_EQ(image.height, kTileSize);
        const Picture& tile = doc->m_tiles.m_hTileDib[static_cast<std::size_t>(k)];
        for (int y = 0; y < kTileSize; ++y)
            for (int x = 0; x < kTileSize; ++x) {
                const unsigned char* p =
                    &image.image[(static_cast<std::size_t>(y) * kTileSize + x) * image.component];
                ASSERT_EQ(MakeColor(p[0], p[1], p[2]), tile.At(x, y)) << x << ", " << y;
            }
    }
}

// Every cell shows the T3D export's two triangles in its order, with the corners in glTF's
// axes and each triangle turned to face up (counter-clockwise seen from above).
TEST(GltfExportTest, SurfaceIsTheT3dSurfaceFacingUp) {
    const auto doc = RandomMap(64, 7);
    TempDir dir;
    const double cs = 0.5;
    ExportGltf(*doc, {std::nullopt, cs}, dir / "map.glb");
    const Glb glb(dir / "map.glb", cs);
    ASSERT_EQ(glb.cells.size(), 64u * 64u);
    std::string t3d;
    WriteT3dPiece(t3d, *doc, T3dCornerGrid(doc->m_map.m_height.data()), 0, 0, 64);
    std::istringstream lines(t3d);
    std::vector<Vec3> vertices; // T3D order, in glTF's axes and metres
    for (std::string line; std::getline(lines, line);) {
        int x = 0, y = 0, z = 0;
        if (std::sscanf(line.c_str(), "Vertex %d,%d,%d", &x, &y, &z) == 3)
            vertices.push_back(
                {float(x / 128.0 * cs), float(z / 128.0 * cs), float(y / 128.0 * cs)});
    }
    ASSERT_EQ(vertices.size(), 64u * 64u * 6u);
    std::size_t next = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            for (int t = 0; t < 2; ++t, next += 3) {
                const Cell& c = glb.cells.at({x, y});
                const Vec3& p0 = c.position[c.corners[3 * t]];
                const Vec3& p1 = c.position[c.corners[3 * t + 1]];
                const Vec3& p2 = c.position[c.corners[3 * t + 2]];
                ASSERT_EQ(p0, vertices[next]) << x << ", " << y;
                ASSERT_EQ(p1, vertices[next + 2]) << x << ", " << y;
                ASSERT_EQ(p2, vertices[next + 1]) << x << ", " << y;
                // The y component of (p1 - p0) x (p2 - p0).
                const float up =
                    (p1[2] - p0[2]) * (p2[0] - p0[0]) - (p1[0] - p0[0]) * (p2[2] - p0[2]);
                ASSERT_GT(up, 0) << x << ", " << y;
            }
}

// A region holds its cells exactly as the whole map's file does (absolute positions, the same
// normals at its edges) and the materials of the tiles it uses only.
TEST(GltfExportTest, RegionHoldsItsCellsAsTheWholeMapDoes) {
    const auto doc = RandomMap(64, 11);
    const CellRect region{5, 7, 20, 11};
    for (int y = region.y; y < region.y + region.h; ++y)
        for (int x = region.x; x < region.x + region.w; ++x)
            doc->m_map.m_tile[CellIndex(x, y)] = x < 15 ? 4 : 1;
    TempDir dir;
    const GltfExportResult r = ExportGltf(*doc, {region, 1.0}, dir / "region.glb");
    EXPECT_EQ(r.cells, 220);
    EXPECT_EQ(r.cellsWithoutTile, 0);
    ExportGltf(*doc, {}, dir / "map.glb");
    const Glb part(dir / "region.glb", 1.0), whole(dir / "map.glb", 1.0);
    ASSERT_EQ(part.model.materials.size(), 2u);
    EXPECT_EQ(part.model.materials[0].name, "TILE1");
    EXPECT_EQ(part.model.materials[1].name, "TILE4");
    EXPECT_EQ(part.model.images.size(), 2u);
    ASSERT_EQ(part.cells.size(), 220u);
    for (const auto& [at, c] : part.cells) {
        const auto [x, y] = at;
        ASSERT_TRUE(x >= region.x && x < region.x + region.w && y >= region.y &&
                    y < region.y + region.h)
            << x << ", " << y;
        const Cell& w = whole.cells.at(at);
        EXPECT_EQ(part.model.materials[static_cast<std::size_t>(c.material)].name,
                  whole.model.materials[static_cast<std::size_t>(w.material)].name);
        for (int k = 0; k < 4; ++k) {
            ASSERT_EQ(c.position[k], w.position[k]) << x << ", " << y;
            ASSERT_EQ(c.normal[k], w.normal[k]) << x << ", " << y;
            ASSERT_EQ(c.uv[k], w.uv[k]) << x << ", " << y;
        }
        ASSERT_TRUE(std::equal(c.corners, c.corners + 6, w.corners)) << x << ", " << y;
    }
}

// The Khronos validator finds no error and no warning in the export of a random map.
TEST(GltfExportTest, ValidatorFindsNoErrorsOrWarnings) {
    if (!fs::exists(fs::path(GLTF_VALIDATOR_PACKAGE) / "package.json") ||
        std::system("node --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "the glTF validator is not installed (scripts/setup installs it with npm "
                        "into .cache/gltf-validator)";
    const auto doc = RandomMap(64, 3);
    TempDir dir;
    ExportGltf(*doc, {}, dir / "map.glb");
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
    EXPECT_EQ(errors, 0) << report;
    EXPECT_EQ(warnings, 0) << report;
    std::printf("glTF validator: %s", report.substr(0, report.find('\n') + 1).c_str());
}

// A failure at any step of the save, a stop asked for by the progress callback and bad options
// all leave an existing file whole and no temporary file behind.
TEST(GltfExportTest, FailedOrStoppedExportKeepsTheOldFile) {
    const auto doc = RandomMap(64, 5);
    TempDir dir;
    const fs::path path = dir / "map.glb";
    const std::vector<std::uint8_t> old = {'o', 'l', 'd'};
    const auto unchanged = [&] {
        EXPECT_EQ(ReadBytes(path), old);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1); // no leftovers
    };
    const std::pair<AtomicFile::Step, int> faults[] = {{AtomicFile::Step::Create, 1},
                                                       {AtomicFile::Step::Write, 1},
                                                       {AtomicFile::Step::Write, 12},
                                                       {AtomicFile::Step::Sync, 1},
                                                       {AtomicFile::Step::Rename, 1}};
    for (auto [step, nth] : faults) {
        WriteBytes(path, old);
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
    // 64 rows, 5 tile pictures and the file: stop in the pictures and in the rows.
    for (const int stopAt : {2, 30}) {
        int last = 0;
        const GltfExportResult r = ExportGltf(*doc, {}, path, [&](int done, int total) {
            EXPECT_EQ(total, 64 + 4 + 1);
            EXPECT_EQ(done, last + 1);
            last = done;
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
