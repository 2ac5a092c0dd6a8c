// Runs the real terrain-batch executable on maps written here and compares its files with what
// the core writes for the same map.

#include "GltfExport.h"
#include "HeightGroup.h"
#include "HeightImport.h"
#include "HeightmapPng.h"
#include "MainDoc.h"
#include "MapRenderer.h"
#include "Navigation.h"
#include "RegionRender.h"
#include "T3dExport.h"
#include "TerFile.h"
#include "TestPng.h"
#include "TestSupport.h"
#include "TileLibrary.h"
#include "Zoom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kSizeX = 20;
constexpr int kSizeY = 12;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// Runs terrain-batch with `args` (already quoted where needed) in `dir`; standard output and
// error go to files there, outside the folders the tests look into.
RunResult RunBatch(const TempDir& dir, const std::string& args) {
    const fs::path out = dir / "stdout.txt";
    const fs::path err = dir / "stderr.txt";
    const std::string command = "cd '" + dir.Path().string() + "' && '" TERRAIN_BATCH "' " + args +
                                " >'" + out.string() + "' 2>'" + err.string() + "' </dev/null";
    const int raw = std::system(command.c_str());
    RunResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadText(out);
    result.err = ReadText(err);
    fs::remove(out);
    fs::remove(err);
    return result;
}

// A 20 x 12 map on named tiles: tile 1 on columns 0-4, tile 3 elsewhere, heights rising along
// both axes, the first row mirrored and the first column flipped.
std::unique_ptr<CMainDoc> TestMap() {
    auto doc = std::make_unique<CMainDoc>();
    UseNamedTiles(*doc);
    doc->m_map.ClearPlanes();
    doc->m_map.m_nSizeX = kSizeX;
    doc->m_map.m_nSizeY = kSizeY;
    for (int x = 0; x < kSizeX; ++x)
        for (int y = 0; y < kSizeY; ++y)
            doc->SetTileFlags(x, y, x < 5 ? 1 : 3, y == 0, x == 0);
    for (int x = 0; x < kSizeX; ++x)
        for (int y = 0; y < kSizeY; ++y)
            doc->m_map.m_height[CellIndex(x, y)] = static_cast<std::uint8_t>(x * 10 + y);
    return doc;
}

// A folder holding map.ter, written from TestMap().
struct MapDir {
    TempDir dir;
    std::unique_ptr<CMainDoc> doc = TestMap();
    fs::path map = dir / "map.ter";
    MapDir() { SaveTerFile(*doc, map); }
    // The folder's file names, sorted.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST(TerrainBatchTest, InfoCountsTilesHeightsAndFlags) {
    MapDir m;
    const RunResult r = RunBatch(m.dir, "info map.ter");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    // Heights x * 10 + y: min 0, max 19 * 10 + 11, mean 9.5 * 10 + 5.5.
    const std::vector<std::string> expected = {
        "size: 20 x 12",      "name table: yes",  "tiles used: 2",
        "  GRDIA000: 60",     "  GRDIC000: 180",  "height: min 0, max 201, mean 100.50",
        "mirrored cells: 20", "flipped cells: 12"};
    EXPECT_EQ(Lines(r.out), expected);
}

// The heights of a heightmap imported into the map come back unchanged from export-heights over
// the map's cells (a map file holds no others), in both formats, and the imported map keeps its
// tiles, flags, size and names.
TEST(TerrainBatchTest, ImportThenExportHeightsRoundTrips) {
    HeightPlane heights(kPlaneCells);
    for (int i = 0; i < kPlaneCells; ++i)
        heights[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 7 + i / 512) % 256);
    for (const std::string ext : {".raw", ".png"}) {
        SCOPED_TRACE(ext);
        MapDir m;
        if (ext == ".raw") {
            WriteBytes(m.dir / "in.raw", heights);
        } else {
            std::vector<std::uint8_t> png;
            std::string error;
            ASSERT_TRUE(EncodePngHeights(heights, png, error)) << error;
            WriteBytes(m.dir / "in.png", png);
        }
        RunResult r = RunBatch(m.dir, "import-heights map.ter --from in" + ext + " -o new.ter");
        ASSERT_EQ(r.status, 0) << r.err;
        r = RunBatch(m.dir, "export-heights new.ter -o back" + ext);
        ASSERT_EQ(r.status, 0) << r.err;

        HeightPlane back(kPlaneCells);
        if (ext == ".raw") {
            back = ReadBytes(m.dir / "back.raw");
        } else {
            const std::vector<std::uint8_t> png = ReadBytes(m.dir / "back.png");
            std::string error;
            ASSERT_TRUE(ParsePngHeights(png.data(), png.size(), back, error)) << error;
        }
        ASSERT_EQ(back.size(), heights.size());
        for (int x = 0; x < kSizeX; ++x)
            for (int y = 0; y < kSizeY; ++y)
                ASSERT_EQ(back[CellIndex(x, y)], heights[CellIndex(x, y)]) << x << ", " << y;

        auto loaded = std::make_unique<CMainDoc>();
        UseNamedTiles(*loaded);
        LoadTerFile(*loaded, m.dir / "new.ter");
        EXPECT_EQ(loaded->m_map.m_nSizeX, kSizeX);
        EXPECT_EQ(loaded->m_map.m_nSizeY, kSizeY);
        EXPECT_EQ(loaded->m_map.m_tile, m.doc->m_map.m_tile);
        EXPECT_EQ(loaded->m_map.m_mirror, m.doc->m_map.m_mirror);
        EXPECT_EQ(loaded->m_map.m_flip, m.doc->m_map.m_flip);
    }
}

// A map whose file ends before its name table needs a tile folder for the exports that write
// tile names, and says so.
TEST(TerrainBatchTest, MapWithoutNameTableNeedsTextures) {
    MapDir m;
    // The table is the file's last chunk, after the 'M' and 'S' chunks and four planes of
    // (sizeX + 1) x sizeY cells, the tile plane two bytes a cell.
    const std::size_t cells = static_cast<std::size_t>(kSizeX + 1) * kSizeY;
    std::vector<std::uint8_t> bytes = ReadBytes(m.map);
    bytes.resize(9 + 9 + 3 * (1 + cells) + 1 + 2 * cells);
    WriteBytes(m.dir / "old.ter", bytes);

    RunResult r = RunBatch(m.dir, "export-t3d old.ter -o old.t3d");
    EXPECT_EQ(r.status, 1);
    ASSERT_EQ(Lines(r.err).size(), 1u) << r.err;
    EXPECT_NE(r.err.find("--textures"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(m.dir / "old.t3d"));

    r = RunBatch(m.dir, "info old.ter");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("name table: no"), std::string::npos) << r.out;

    // Tiles A, B, C, D: tile numbers 1 and 3 stand for B0000000 and D0000000.
    WritePlainTiles(m.dir / "work", {0xff0000, 0x00ff00, 0x0000ff, 0xffffff});
    r = RunBatch(m.dir, "export-t3d old.ter -o old.t3d --piece 8 --textures work/Textures");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string t3d = ReadText(m.dir / "old.t3d");
    EXPECT_NE(t3d.find("Texture=B0000000"), std::string::npos);
    EXPECT_NE(t3d.find("Texture=D0000000"), std::string::npos);
    EXPECT_EQ(t3d.find("Texture=A0000000"), std::string::npos);
}

// Four 128 x 128 tiles of noise, A0000000 ... D0000000, in <work>/Textures; with `extra`, a
// plain tile 0EXTRA00 sorts before them and shifts their numbers by one.
void WriteNoiseTiles(const fs::path& work, bool extra) {
    fs::create_directories(work / "Textures");
    std::uint32_t s = 17;
    for (const char letter : std::string("ABCD")) {
        TestBmp bmp = TestBmp::Filled(128, 128, 0);
        for (std::uint32_t& px : bmp.pixels) {
            s = s * 1664525u + 1013904223u;
            px = (s >> 8) & 0xFFFFFF;
        }
        bmp.Write(work / "Textures" / (std::string(1, letter) + "0000000.BMP"));
    }
    if (extra)
        TestBmp::Filled(128, 128, 0x808080).Write(work / "Textures" / "0EXTRA00.BMP");
}

// A map on the noise tiles of `dir`/a with every tile, orientation and many heights, saved as
// `dir`/map.ter; the returned document holds it.
std::unique_ptr<CMainDoc> NoiseTileMap(const TempDir& dir) {
    WriteNoiseTiles(dir / "a", false);
    WriteNoiseTiles(dir / "b", true);
    auto doc = std::make_unique<CMainDoc>();
    doc->m_tiles.LoadTileLibrary(dir / "a");
    doc->m_map.m_nSizeX = kSizeX;
    doc->m_map.m_nSizeY = kSizeY;
    for (int x = 0; x < kSizeX; ++x)
        for (int y = 0; y < kSizeY; ++y) {
            doc->SetTileFlags(x, y, static_cast<std::uint16_t>((x + y) % 4), x % 2, y % 3 == 0);
            doc->m_map.m_height[CellIndex(x, y)] = static_cast<std::uint8_t>(x * 9 + y * 5);
        }
    SaveTerFile(*doc, dir / "map.ter");
    return doc;
}

// render draws what the map view's renderer draws for the same region and settings, with the
// map renumbered against a tile folder in another order; overview gives each cell its tile's
// average colour.
TEST(TerrainBatchTest, RenderAndOverviewMatchTheEditorsPictures) {
    TempDir dir;
    const std::unique_ptr<CMainDoc> doc = NoiseTileMap(dir);
    // The RGB picture in `file` as 0x00RRGGBB words, top row first.
    const auto pixelsOf = [](const fs::path& file, int width, int height) {
        const TestPng png = TestPng::Decode(ReadBytes(file));
        EXPECT_EQ(png.colorType, TestPng::Rgb);
        EXPECT_EQ(std::pair(png.width, png.height), std::pair(width, height));
        Picture picture(png.width, png.height);
        for (std::size_t i = 0; i < picture.pixels.size() && 3 * i + 2 < png.samples.size(); ++i)
            picture.pixels[i] =
                MakeColor(png.samples[3 * i], png.samples[3 * i + 1], png.samples[3 * i + 2]);
        return picture.pixels;
    };
    struct Case {
        std::string args;
        int zoom, options, heightScale, shadeBase; // options: grid and marker (1), Gouraud (2)
        CellRect region;
    };
    const CellRect all{0, 0, kSizeX, kSizeY};
    const Case cases[] = {
        {"--grid --scale-marker --region 2,1,15,10", 4, 1, 8, 0, {2, 1, 15, 10}},
        {"--zoom 4 --gouraud --height-scale 32 --shade-base 40", 2, 2, 32, 40, all},
        {"--zoom 32 --height-scale 0", 5, 0, -1, 0, all},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const RunResult r =
            RunBatch(dir, "render map.ter -o out.png --textures b/Textures " + c.args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        ApplyZoom(*doc, c.zoom);
        doc->m_view.m_bGrid = doc->m_view.m_bScaleMarker = c.options & 1;
        doc->m_view.m_bGouraud = c.options >> 1;
        doc->m_view.m_nHeightViewScale = c.heightScale;
        doc->m_view.m_nShadeBase = c.shadeBase;
        const int cp = doc->m_view.m_nCellPixels;
        MapRenderer renderer;
        doc->RedrawAll();
        renderer.Render(*doc, c.region.w * cp, c.region.h * cp, c.region.x * ScrollUnitsPerCell,
                        c.region.y * ScrollUnitsPerCell, nullptr);
        Picture want(c.region.w * cp, c.region.h * cp);
        for (int y = 0; y < want.height; ++y)
            for (int x = 0; x < want.width; ++x)
                want.At(x, y) = renderer.m_hFrameDib.At(x, y) & 0xFFFFFF;
        ASSERT_TRUE(pixelsOf(dir / "out.png", want.width, want.height) == want.pixels);
    }

    const RunResult r = RunBatch(dir, "overview map.ter -o ov.png --textures b/Textures");
    ASSERT_EQ(r.status, 0) << r.err;
    Picture want(kSizeX, kSizeY);
    for (int y = 0; y < kSizeY; ++y)
        for (int x = 0; x < kSizeX; ++x)
            want.At(x, y) = static_cast<std::uint32_t>(
                doc->m_tiles.m_tileColor[doc->m_map.m_tile[CellIndex(x, y)]]);
    EXPECT_TRUE(pixelsOf(dir / "ov.png", kSizeX, kSizeY) == want.pixels);
}

// Each export command writes exactly the files the core writes for the same map, region and
// options, with the map renumbered against a tile folder in another order where it needs one;
// nothing is printed on standard error when it is not a terminal.
TEST(TerrainBatchTest, ExportsAreByteIdenticalToTheCore) {
    TempDir dir;
    const std::unique_ptr<CMainDoc> doc = NoiseTileMap(dir);
    const auto t3d = [&doc](int size, int entire) {
        return [&doc, size, entire](const fs::path& to) {
            T3dChoices choices;
            choices.Accept(size, entire);
            const T3dExportResult result = ExportT3d(*doc, choices, to / "out.t3d");
            ASSERT_FALSE(result.failure);
        };
    };
    const auto gltf = [&doc](const GltfOptions& options) {
        return [&doc, options](const fs::path& to) { ExportGltf(*doc, options, to / "out.glb"); };
    };
    struct Case {
        std::string args;
        std::function<void(const fs::path&)> core;
        std::string out; // the start of standard output
    };
    const Case cases[] = {
        {"export-t3d map.ter -o cli/out.t3d", t3d(2, 0), "1 piece file(s) written"},
        {"export-t3d map.ter -o cli/out.t3d --piece 8 -q", t3d(3, 0), ""},
        {"export-t3d map.ter -o cli/out.t3d --piece 8 --entire -q", t3d(3, 1), ""},
        {"export-group map.ter -o cli/hills.raw -q",
         [&doc](const fs::path& to) { ExportHeightGroup(*doc, to / "hills.raw"); }, ""},
        {"export-gltf map.ter -o cli/out.glb --textures b/Textures", gltf({}),
         "cli/out.glb: 240 cells, 4 materials, "},
        {"export-gltf map.ter -o cli/out.glb --textures b/Textures --region 2,1,15,10 "
         "--cell-size 2.5",
         gltf({CellRect{2, 1, 15, 10}, 2.5}), "cli/out.glb: 150 cells, 4 materials, "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        for (const char* sub : {"cli", "core"}) {
            fs::remove_all(dir / sub);
            fs::create_directory(dir / sub);
        }
        const RunResult r = RunBatch(dir, c.args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << r.out;
        EXPECT_EQ(r.out.empty(), c.out.empty()) << r.out;
        c.core(dir / "core");
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir / "core")) {
            names.push_back(entry.path().filename().string());
            EXPECT_EQ(ReadBytes(dir / "cli" / names.back()), ReadBytes(entry.path()))
                << names.back();
        }
        EXPECT_FALSE(names.empty());
        EXPECT_EQ(std::distance(fs::directory_iterator(dir / "cli"), fs::directory_iterator()),
                  static_cast<long>(names.size()));
    }
}

// On a terminal a long run draws its progress bar on standard error, ending at the total;
// --quiet draws nothing.
TEST(TerrainBatchTest, ProgressBarOnlyOnATerminal) {
    TempDir dir;
    NoiseTileMap(dir);
    for (const bool quiet : {false, true}) {
        // script(1) gives the command a terminal and copies what it writes to our file.
        const std::string command = std::string("cd '") + dir.Path().string() +
                                    "' && script -qefc \"'" TERRAIN_BATCH
                                    "' render map.ter -o out.png --textures a/Textures" +
                                    (quiet ? " -q" : "") + "\" /dev/null >terminal.txt";
        ASSERT_EQ(std::system(command.c_str()), 0);
        const std::string shown = ReadText(dir / "terminal.txt");
        if (quiet)
            EXPECT_EQ(shown, "");
        else
            EXPECT_NE(shown.find("] 96/96"), std::string::npos) << shown;
    }
}

// Each failure gives its exit status and one line on standard error naming the problem, and
// leaves no file behind (no output, no temporary file).
TEST(TerrainBatchTest, FailuresExitWithTheirStatusAndLeaveNoFile) {
    struct Case {
        std::string args;
        int status;
        std::string named; // text the first error line holds
    };
    const Case cases[] = {
        {"info missing.ter", 1, "missing.ter"},
        {"export-heights missing.ter -o out.raw", 1, "missing.ter"},
        {"export-t3d corrupt.ter -o out.t3d", 1, "corrupt.ter"},
        {"import-heights corrupt.ter --from in.raw -o out.ter", 1, "corrupt.ter"},
        {"export-heights map.ter -o nowhere/out.raw", 1, "nowhere/out.raw"},
        {"export-t3d map.ter -o nowhere/out.t3d", 1, "nowhere/out.t3d"},
        {"export-group map.ter -o nowhere/out.raw", 1, "nowhere/out"},
        {"export-heights map.ter -o out.raw --bogus", 2, "--bogus"},
        {"export-t3d map.ter -o out.t3d --piece 12", 2, "--piece"},
        {"export-heights map.ter -o out.bmp", 2, ".raw or .png"},
        {"export-heights map.ter", 2, "--output"},
        {"overview map.ter -o ov.png", 1, "Textures"},
        {"render map.ter -o out.png --textures nowhere", 1, "nowhere"},
        {"render map.ter -o nowhere/out.png --textures work/Textures", 1, "nowhere/out.png"},
        {"render map.ter -o out.png --textures work/Textures --region 0,0,21,12", 2, "--region"},
        {"render map.ter -o out.png --textures work/Textures --region 0,0", 2, "--region"},
        {"render map.ter -o out.png --zoom 3", 2, "--zoom"},
        {"overview map.ter -o out.jpg --textures work/Textures", 2, ".png"},
        {"export-gltf map.ter -o nowhere/out.glb --textures work/Textures", 1, "nowhere/out.glb"},
        {"export-gltf map.ter -o out.glb --textures work/Textures --region 5,0,16,1", 2,
         "--region"},
        {"export-gltf map.ter -o out.glb --cell-size 0", 2, "--cell-size"},
        {"export-gltf map.ter -o out.gltf --textures work/Textures", 2, ".glb"},
        {"", 2, "subcommand"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        MapDir m;
        WriteBytes(m.dir / "corrupt.ter", {'X', 'Y', 'Z'});
        WritePlainTiles(m.dir / "work", {0xff0000, 0x00ff00, 0x0000ff, 0xffffff});
        const std::vector<std::string> before = m.Files();
        const RunResult r = RunBatch(m.dir, c.args);
        EXPECT_EQ(r.status, c.status);
        const std::vector<std::string> lines = Lines(r.err);
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(lines[0].find(c.named), std::string::npos) << r.err;
        if (c.status == 1) {
            EXPECT_EQ(lines.size(), 1u) << r.err;
        }
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(m.Files(), before);
    }
}

TEST(TerrainBatchTest, HelpOnEveryLevel) {
    TempDir dir;
    for (const std::string cmd : {"", "info", "export-t3d", "export-heights", "export-group",
                                  "import-heights", "render", "overview", "export-gltf"}) {
        SCOPED_TRACE(cmd);
        const RunResult r = RunBatch(dir, cmd + " --help");
        EXPECT_EQ(r.status, 0);
        EXPECT_NE(r.out.find("Usage:"), std::string::npos);
        EXPECT_EQ(r.err, "");
    }
}

} // namespace
