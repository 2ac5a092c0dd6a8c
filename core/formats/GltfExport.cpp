#include "GltfExport.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "MainDoc.h"
#include "PngWriter.h"
#include "T3dExport.h"

#include <tiny_gltf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <streambuf>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The corner grid counts 128 units a cell and 16 a height step.
constexpr double kGridUnitsPerCell = 128.0;
constexpr int kNoTileSlot = kMaxTiles; // the material slot of cells without a tile

// Vertex and index data per cell: the four corners A, B, C, D with their own texture
// coordinates, and two triangles.
constexpr std::size_t kVerticesPerCell = 4;
constexpr std::size_t kIndicesPerCell = 6;
constexpr std::size_t kVec3Bytes = 3 * sizeof(float);
constexpr std::size_t kVec2Bytes = 2 * sizeof(float);

std::size_t Align4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

bool HasTile(const TileLibrary& tiles, std::uint16_t tile) {
    return tile < kMaxTiles && tile <= tiles.m_nLastTile;
}

// The materials of the export in file order: each used tile by ascending index, then the one
// for cells without a tile. Cells are stored grouped by material in the same order.
struct MaterialPlan {
    std::vector<int> slots;                          // tile index, or kNoTileSlot
    std::array<int, kMaxTiles + 1> materialOfSlot{}; // -1 for slots no cell uses
    std::vector<std::size_t> firstCell;              // per material
    std::vector<std::size_t> cellCount;              // per material
};

MaterialPlan PlanMaterials(const CMainDoc& doc, const CellRect& r) {
    std::array<std::size_t, kMaxTiles + 1> counts{};
    for (int y = r.y; y < r.y + r.h; ++y)
        for (int x = r.x; x < r.x + r.w; ++x) {
            const std::uint16_t tile = doc.m_map.m_tile[CellIndex(x, y)];
            ++counts[HasTile(doc.m_tiles, tile) ? tile : kNoTileSlot];
        }
    MaterialPlan plan;
    plan.materialOfSlot.fill(-1);
    std::size_t first = 0;
    for (int slot = 0; slot <= kMaxTiles; ++slot) {
        if (counts[slot] == 0)
            continue;
        plan.materialOfSlot[slot] = static_cast<int>(plan.slots.size());
        plan.slots.push_back(slot);
        plan.firstCell.push_back(first);
        plan.cellCount.push_back(counts[slot]);
        first += counts[slot];
    }
    return plan;
}

// Smooth normals at the corners of the region: the surface's slopes along x and y from the
// corner heights on either side, one-sided at the map's edge. The cell size cancels out.
std::vector<float> CornerNormals(const CMainDoc& doc, const T3dCornerGrid& grid,
                                 const CellRect& r) {
    const int lastI = doc.m_map.m_nSizeX, lastJ = doc.m_map.m_nSizeY;
    std::vector<float> normals(static_cast<std::size_t>(r.w + 1) * (r.h + 1) * 3);
    float* n = normals.data();
    for (int j = r.y; j <= r.y + r.h; ++j)
        for (int i = r.x; i <= r.x + r.w; ++i, n += 3) {
            const int i0 = std::max(i - 1, 0), i1 = std::min(i + 1, lastI);
            const int j0 = std::max(j - 1, 0), j1 = std::min(j + 1, lastJ);
            const double sx = (grid.Z(i1, j) - grid.Z(i0, j)) / kGridUnitsPerCell / (i1 - i0);
            const double sz = (grid.Z(i, j1) - grid.Z(i, j0)) / kGridUnitsPerCell / (j1 - j0);
            const double length = std::sqrt(sx * sx + 1.0 + sz * sz);
            n[0] = static_cast<float>(-sx / length);
            n[1] = static_cast<float>(1.0 / length);
            n[2] = static_cast<float>(-sz / length);
        }
    return normals;
}

// The bounds of a primitive's positions, which glTF requires in the file.
struct Bounds {
    std::array<float, 3> min{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::max()};
    std::array<float, 3> max{-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                             -std::numeric_limits<float>::max()};
    void Add(const float* p) {
        for (int k = 0; k < 3; ++k) {
            min[k] = std::min(min[k], p[k]);
            max[k] = std::max(max[k], p[k]);
        }
    }
};

// Where the parts of the one buffer lie: positions, normals, texture coordinates and indices of
// all cells (grouped by material), then the tile pictures.
struct Layout {
    explicit Layout(std::size_t cells)
        : normals(cells * kVerticesPerCell * kVec3Bytes), uvs(2 * normals),
          indices(uvs + cells * kVerticesPerCell * kVec2Bytes),
          pictures(indices + cells * kIndicesPerCell * sizeof(std::uint32_t)) {}
    std::size_t positions = 0, normals, uvs, indices, pictures;
};

// Writes the vertices and indices of every cell of the region into `data`; returns false when
// `progress` asked to stop.
bool FillGeometry(const CMainDoc& doc, const CellRect& r, double cellSize, const MaterialPlan& plan,
                  const Layout& layout, std::vector<unsigned char>& data,
                  std::vector<Bounds>& bounds, const std::function<bool(int row)>& rowDone) {
    const T3dCornerGrid grid(doc.m_map.m_height.data());
    const std::vector<float> normals = CornerNormals(doc, grid, r);
    std::vector<std::size_t> next = plan.firstCell; // the next cell slot of each material
    bounds.assign(plan.slots.size(), Bounds{});
    const double heightScale = cellSize / kGridUnitsPerCell;
    for (int y = r.y; y < r.y + r.h; ++y) {
        for (int x = r.x; x < r.x + r.w; ++x) {
            const int cell = CellIndex(x, y);
            const std::uint16_t tile = doc.m_map.m_tile[cell];
            const int material =
                plan.materialOfSlot[HasTile(doc.m_tiles, tile) ? tile : kNoTileSlot];
            const std::size_t slot = next[material]++;
            const std::size_t vertex = slot * kVerticesPerCell;
            const bool mirror = doc.m_map.m_mirror[cell] != 0;
            const bool flip = doc.m_map.m_flip[cell] != 0;
            // Corners A (x, y), B (x, y + 1), C (x + 1, y), D (x + 1, y + 1).
            for (std::size_t k = 0; k < kVerticesPerCell; ++k) {
                const int right = k >= 2 ? 1 : 0, down = static_cast<int>(k & 1);
                const int i = x + right, j = y + down;
                const float position[3] = {static_cast<float>(i * cellSize),
                                           static_cast<float>(grid.Z(i, j) * heightScale),
                                           static_cast<float>(j * cellSize)};
                // The map view draws tile row 0 at the cell's top and column 0 at its left;
                // mirror and flip turn the picture round.
                const float uv[2] = {static_cast<float>(right ^ mirror),
                                     static_cast<float>(down ^ flip)};
                const float* normal =
                    &normals[(static_cast<std::size_t>(j - r.y) * (r.w + 1) + (i - r.x)) * 3];
                const std::size_t v = vertex + k;
                std::memcpy(&data[layout.positions + v * kVec3Bytes], position, kVec3Bytes);
                std::memcpy(&data[layout.normals + v * kVec3Bytes], normal, kVec3Bytes);
                std::memcpy(&data[layout.uvs + v * kVec2Bytes], uv, kVec2Bytes);
                bounds[static_cast<std::size_t>(material)].Add(position);
            }
            // The triangles of the T3D export, in its order, each turned to face up: (A, B, D)
            // and (A, D, C), or (C, A, B) and (C, B, D) when the quad is split along B-C.
            const int a = grid.Z(x, y), b = grid.Z(x, y + 1);
            const int c = grid.Z(x + 1, y), d = grid.Z(x + 1, y + 1);
            static constexpr std::uint32_t kSplitAD[] = {0, 1, 3, 0, 3, 2};
            static constexpr std::uint32_t kSplitBC[] = {2, 0, 1, 2, 1, 3};
            const std::uint32_t* corners = SplitsAlongBC(a, b, c, d) ? kSplitBC : kSplitAD;
            const auto base = static_cast<std::uint32_t>(
                (slot - plan.firstCell[static_cast<std::size_t>(material)]) * kVerticesPerCell);
            std::uint32_t indices[kIndicesPerCell];
            for (std::size_t k = 0; k < kIndicesPerCell; ++k)
                indices[k] = base + corners[k];
            std::memcpy(&data[layout.indices + slot * sizeof indices], indices, sizeof indices);
        }
        if (rowDone && !rowDone(y - r.y + 1))
            return false;
    }
    return true;
}

int AddView(tinygltf::Model& model, std::size_t offset, std::size_t length, std::size_t stride,
            int target) {
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = offset;
    view.byteLength = length;
    view.byteStride = stride;
    view.target = target;
    model.bufferViews.push_back(view);
    return static_cast<int>(model.bufferViews.size()) - 1;
}

int AddAccessor(tinygltf::Model& model, int view, std::size_t offset, std::size_t count,
                int componentType, int type) {
    tinygltf::Accessor accessor;
    accessor.bufferView = view;
    accessor.byteOffset = offset;
    accessor.count = count;
    accessor.componentType = componentType;
    accessor.type = type;
    model.accessors.push_back(accessor);
    return static_cast<int>(model.accessors.size()) - 1;
}

// A stream buffer that hands everything written to it to an AtomicFile and keeps the first
// failure, for the writer to throw once the serializer has returned.
class AtomicFileStreamBuf : public std::streambuf {
public:
    explicit AtomicFileStreamBuf(AtomicFile& file) : m_file(file) {}
    std::optional<FileError> m_failure;
    std::uintmax_t m_nBytes = 0;

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        if (m_failure)
            return 0;
        try {
            m_file.Write(s, static_cast<std::size_t>(n));
        } catch (const FileError& e) {
            m_failure = e;
            return 0;
        }
        m_nBytes += static_cast<std::uintmax_t>(n);
        return n;
    }
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        const char ch = traits_type::to_char_type(c);
        return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
    }

private:
    AtomicFile& m_file;
};

} // namespace

GltfExportResult ExportGltf(const CMainDoc& doc, const GltfOptions& options, const fs::path& path,
                            const GltfProgress& progress) {
    const CellPlanes& map = doc.m_map;
    const CellRect r = options.region.value_or(CellRect{0, 0, map.m_nSizeX, map.m_nSizeY});
    if (r.x < 0 || r.y < 0 || r.w < 1 || r.h < 1 || r.x + r.w > map.m_nSizeX ||
        r.y + r.h > map.m_nSizeY || map.m_nSizeX > kMaxMapSize || map.m_nSizeY > kMaxMapSize)
        throw std::invalid_argument("glTF export: the region does not lie inside the map");
    if (!(options.cellSize > 0.0 && options.cellSize <= kMaxGltfCellSize))
        throw std::invalid_argument("glTF export: the cell size is out of range");

    GltfExportResult result;
    const MaterialPlan plan = PlanMaterials(doc, r);
    result.cells = r.w * r.h;
    result.materials = static_cast<int>(plan.slots.size());
    if (plan.materialOfSlot[kNoTileSlot] >= 0)
        result.cellsWithoutTile = static_cast<int>(
            plan.cellCount[static_cast<std::size_t>(plan.materialOfSlot[kNoTileSlot])]);

    // A tile whose picture is missing or not tile-sized keeps its material, untextured.
    std::vector<std::vector<std::uint8_t>> pictures(plan.slots.size());
    int textured = 0;
    for (int slot : plan.slots)
        if (slot != kNoTileSlot && doc.m_tiles.m_hTileDib[slot].width == kTileSize &&
            doc.m_tiles.m_hTileDib[slot].height == kTileSize)
            ++textured;
    const int total = r.h + textured + 1;
    int done = 0;
    const auto step = [&]() { return !progress || progress(++done, total); };

    for (std::size_t m = 0; m < plan.slots.size(); ++m) {
        const int slot = plan.slots[m];
        if (slot == kNoTileSlot || doc.m_tiles.m_hTileDib[slot].width != kTileSize ||
            doc.m_tiles.m_hTileDib[slot].height != kTileSize)
            continue;
        std::string error;
        if (!EncodePicturePng(doc.m_tiles.m_hTileDib[slot], pictures[m], error))
            throw FileError(path.string(),
                            "Could not encode the tile picture " + doc.m_tiles.m_strTileName[slot],
                            error);
        if (!step()) {
            result.stopped = true;
            return result;
        }
    }

    tinygltf::Model model;
    model.asset.version = "2.0";
    model.asset.generator = "terrain-editor";
    tinygltf::Buffer& buffer = model.buffers.emplace_back();
    const Layout layout(static_cast<std::size_t>(result.cells));
    std::size_t size = layout.pictures;
    for (const auto& png : pictures)
        size += Align4(png.size());
    buffer.data.resize(size);

    std::vector<Bounds> bounds;
    if (!FillGeometry(doc, r, options.cellSize, plan, layout, buffer.data, bounds,
                      [&](int) { return step(); })) {
        result.stopped = true;
        return result;
    }

    const std::size_t vertices = static_cast<std::size_t>(result.cells) * kVerticesPerCell;
    const int positionView = AddView(model, layout.positions, vertices * kVec3Bytes, kVec3Bytes,
                                     TINYGLTF_TARGET_ARRAY_BUFFER);
    const int normalView = AddView(model, layout.normals, vertices * kVec3Bytes, kVec3Bytes,
                                   TINYGLTF_TARGET_ARRAY_BUFFER);
    const int uvView =
        AddView(model, layout.uvs, vertices * kVec2Bytes, kVec2Bytes, TINYGLTF_TARGET_ARRAY_BUFFER);
    const int indexView =
        AddView(model, layout.indices, static_cast<std::size_t>(result.cells) * kIndicesPerCell * 4,
                0, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);

    // Each cell shows its whole tile once: clamping keeps the far edges from bleeding in.
    tinygltf::Sampler sampler;
    sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
    sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
    sampler.wrapS = sampler.wrapT = TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE;

    tinygltf::Mesh& mesh = model.meshes.emplace_back();
    mesh.name = "Terrain";
    std::size_t pictureOffset = layout.pictures;
    for (std::size_t m = 0; m < plan.slots.size(); ++m) {
        const int slot = plan.slots[m];
        tinygltf::Material material;
        // Terrain is not metal: without this, viewers show it as dark polished metal.
        material.pbrMetallicRoughness.metallicFactor = 0.0;
        if (slot == kNoTileSlot) {
            material.name = "No tile";
            material.pbrMetallicRoughness.baseColorFactor = {0.5, 0.5, 0.5, 1.0};
        } else {
            material.name = doc.m_tiles.m_strTileName[slot];
            if (!pictures[m].empty()) {
                if (model.samplers.empty())
                    model.samplers.push_back(sampler);
                std::memcpy(&buffer.data[pictureOffset], pictures[m].data(), pictures[m].size());
                tinygltf::Image image;
                image.name = material.name;
                image.mimeType = "image/png";
                image.bufferView = AddView(model, pictureOffset, pictures[m].size(), 0, 0);
                pictureOffset += Align4(pictures[m].size());
                model.images.push_back(image);
                tinygltf::Texture texture;
                texture.sampler = 0;
                texture.source = static_cast<int>(model.images.size()) - 1;
                model.textures.push_back(texture);
                material.pbrMetallicRoughness.baseColorTexture.index =
                    static_cast<int>(model.textures.size()) - 1;
            } else {
                material.pbrMetallicRoughness.baseColorFactor = {0.5, 0.5, 0.5, 1.0};
            }
        }
        model.materials.push_back(material);

        const std::size_t first = plan.firstCell[m] * kVerticesPerCell;
        const std::size_t count = plan.cellCount[m] * kVerticesPerCell;
        tinygltf::Primitive primitive;
        primitive.mode = TINYGLTF_MODE_TRIANGLES;
        primitive.material = static_cast<int>(m);
        const int position = AddAccessor(model, positionView, first * kVec3Bytes, count,
                                         TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3);
        model.accessors[static_cast<std::size_t>(position)].minValues.assign(bounds[m].min.begin(),
                                                                             bounds[m].min.end());
        model.accessors[static_cast<std::size_t>(position)].maxValues.assign(bounds[m].max.begin(),
                                                                             bounds[m].max.end());
        primitive.attributes["POSITION"] = position;
        primitive.attributes["NORMAL"] =
            AddAccessor(model, normalView, first * kVec3Bytes, count, TINYGLTF_COMPONENT_TYPE_FLOAT,
                        TINYGLTF_TYPE_VEC3);
        // Untextured materials read no texture coordinates.
        if (!pictures[m].empty())
            primitive.attributes["TEXCOORD_0"] =
                AddAccessor(model, uvView, first * kVec2Bytes, count, TINYGLTF_COMPONENT_TYPE_FLOAT,
                            TINYGLTF_TYPE_VEC2);
        primitive.indices = AddAccessor(model, indexView,
                                        plan.firstCell[m] * kIndicesPerCell * sizeof(std::uint32_t),
                                        plan.cellCount[m] * kIndicesPerCell,
                                        TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, TINYGLTF_TYPE_SCALAR);
        mesh.primitives.push_back(primitive);
    }

    tinygltf::Node& node = model.nodes.emplace_back();
    node.name = "Terrain";
    node.mesh = 0;
    tinygltf::Scene& scene = model.scenes.emplace_back();
    scene.nodes.push_back(0);
    model.defaultScene = 0;

    AtomicFile file(path);
    AtomicFileStreamBuf streamBuf(file);
    std::ostream stream(&streamBuf);
    tinygltf::TinyGLTF writer;
    const bool written = writer.WriteGltfSceneToStream(&model, stream, false, true);
    if (streamBuf.m_failure)
        throw *streamBuf.m_failure;
    if (!written || !stream)
        throw FileError(path.string(), "Could not write the glTF file", "The glTF writer gave up.");
    file.Commit();
    result.bytes = streamBuf.m_nBytes;
    if (progress)
        progress(total, total);
    return result;
}
