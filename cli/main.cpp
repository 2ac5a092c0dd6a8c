// terrain-batch: converts and exports terrain maps without opening the editor.

#include "BatchMap.h"
#include "BuildInfo.h"
#include "FileError.h"
#include "HeightGroup.h"
#include "HeightmapBmp.h"
#include "HeightmapPng.h"
#include "HeightmapRaw.h"
#include "T3dExport.h"
#include "TerFile.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <map>
#include <optional>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kExitFile = 1;
constexpr int kExitUsage = 2;

struct Options {
    bool quiet = false;
    std::string map;
    std::string output;
    std::string from;
    std::optional<std::string> textures;
    int piece = 16;
    bool entire = false;
};

// A usage problem found after parsing, reported like CLI11's own.
struct UsageError {
    std::string message;
};

std::string LowerExtension(const fs::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

std::optional<fs::path> TexturesOf(const Options& opt) {
    if (opt.textures)
        return fs::path(*opt.textures);
    return std::nullopt;
}

// Draws "[#####     ] 5/10" on standard error, overwriting the line, when it is a terminal.
class ProgressBar {
public:
    explicit ProgressBar(bool quiet) : m_bShow(!quiet && isatty(STDERR_FILENO)) {}
    ~ProgressBar() {
        if (m_bShow && m_bDrawn)
            std::fputs("\n", stderr);
    }
    void Show(int done, int total) {
        if (!m_bShow || total <= 0)
            return;
        constexpr int kWidth = 40;
        const int filled = static_cast<int>(static_cast<long long>(done) * kWidth / total);
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.resize(kWidth, ' ');
        std::fprintf(stderr, "\r[%s] %d/%d", bar.c_str(), done, total);
        std::fflush(stderr);
        m_bDrawn = true;
    }

private:
    bool m_bShow;
    bool m_bDrawn = false;
};

void RunInfo(const Options& opt) {
    const TerMap map = ReadTerMap(opt.map);
    const CellPlanes& p = map.planes;
    std::map<int, long> tileCells;
    long mirrored = 0, flipped = 0, heightSum = 0;
    int minHeight = 255, maxHeight = 0;
    for (int x = 0; x < p.m_nSizeX; ++x)
        for (int y = 0; y < p.m_nSizeY; ++y) {
            const int i = CellIndex(x, y);
            ++tileCells[p.m_tile[i]];
            mirrored += p.m_mirror[i] != 0;
            flipped += p.m_flip[i] != 0;
            heightSum += p.m_height[i];
            minHeight = std::min<int>(minHeight, p.m_height[i]);
            maxHeight = std::max<int>(maxHeight, p.m_height[i]);
        }
    const long cells = static_cast<long>(p.m_nSizeX) * p.m_nSizeY;
    std::printf("size: %d x %d\n", p.m_nSizeX, p.m_nSizeY);
    std::printf("name table: %s\n", map.hasNameTable ? "yes" : "no");
    std::printf("tiles used: %zu\n", tileCells.size());
    for (const auto& [tile, count] : tileCells) {
        std::string name = "tile " + std::to_string(tile);
        if (tile == kMissingTile)
            name = "(no tile)";
        else if (map.hasNameTable && tile < static_cast<int>(map.tileNames.size()))
            name = map.tileNames[static_cast<std::size_t>(tile)];
        std::printf("  %s: %ld\n", name.c_str(), count);
    }
    std::printf("height: min %d, max %d, mean %.2f\n", minHeight, maxHeight,
                static_cast<double>(heightSum) / static_cast<double>(cells));
    std::printf("mirrored cells: %ld\n", mirrored);
    std::printf("flipped cells: %ld\n", flipped);
}

void RunExportT3d(const Options& opt) {
    const BatchMap map = LoadBatchMap(opt.map, TexturesOf(opt));
    const int* size = std::find(std::begin(kT3dPieceSizes), std::end(kT3dPieceSizes), opt.piece);
    T3dChoices choices;
    choices.Accept(static_cast<int>(size - std::begin(kT3dPieceSizes)), opt.entire ? 1 : 0);
    ProgressBar bar(opt.quiet);
    const T3dExportResult result =
        ExportT3d(*map.doc, choices, opt.output, [&bar](int written, int total) {
            bar.Show(written, total);
            return true;
        });
    if (result.failure)
        throw *result.failure;
    if (!opt.quiet) {
        std::printf("%d piece file(s) written", result.piecesWritten);
        if (result.cellsWithoutTile > 0)
            std::printf(", %d cell(s) without a tile name", result.cellsWithoutTile);
        std::printf("\n");
    }
}

void RunExportHeights(const Options& opt) {
    const std::string ext = LowerExtension(opt.output);
    if (ext != ".raw" && ext != ".png")
        throw UsageError{"--output: the height file must end in .raw or .png"};
    const TerMap file = ReadTerMap(opt.map);
    auto doc = std::make_unique<CMainDoc>();
    doc->m_map = file.planes;
    if (ext == ".raw")
        ExportRawHeights(*doc, opt.output);
    else
        ExportPngHeights(*doc, opt.output);
}

void RunExportGroup(const Options& opt) {
    const BatchMap map = LoadBatchMap(opt.map, TexturesOf(opt));
    const HeightGroup group = ExportHeightGroup(*map.doc, opt.output);
    if (!opt.quiet)
        for (const std::string& name : group.names.All())
            std::printf("%s\n", (fs::path(opt.output).parent_path() / name).string().c_str());
}

void RunImportHeights(const Options& opt) {
    const std::string ext = LowerExtension(opt.from);
    if (ext != ".raw" && ext != ".png" && ext != ".bmp")
        throw UsageError{"--from: the height file must end in .raw, .bmp or .png"};
    BatchMap map = LoadBatchMap(opt.map, TexturesOf(opt));
    if (ext == ".raw") {
        const RawImportResult raw = ImportRawHeights(*map.doc, opt.from);
        if (!raw.FullPlane() && !opt.quiet)
            std::fprintf(stderr, "%s: %ju bytes instead of %zu, read as far as it goes\n",
                         opt.from.c_str(), raw.fileBytes, kRawHeightBytes);
    } else if (ext == ".png") {
        ImportPngHeights(*map.doc, opt.from);
    } else {
        ImportBmpHeights(*map.doc, opt.from);
    }
    SaveTerFile(*map.doc, opt.output);
}

// The error's one line: what failed, the file, and the system's reason.
std::string OneLine(const FileError& e) {
    std::string line = e.What() + ": " + e.Path();
    if (!e.Reason().empty())
        line += ": " + e.Reason();
    std::replace(line.begin(), line.end(), '\n', ' ');
    return line;
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"terrain-batch: converts and exports terrain maps (.ter) without the editor"};
    app.require_subcommand(1);
    app.fallthrough(); // --quiet may follow the subcommand too
    app.set_version_flag("--version", "terrain-batch " TERRAIN_VERSION);
    Options opt;
    app.add_flag("-q,--quiet", opt.quiet, "Print nothing but errors");

    const auto addMap = [&opt](CLI::App* cmd) {
        cmd->add_option("map", opt.map, "The map file (.ter)")->required();
    };
    const auto addOutput = [&opt](CLI::App* cmd, const std::string& what) {
        cmd->add_option("-o,--output", opt.output, what)->required();
    };
    const auto addTextures = [&opt](CLI::App* cmd) {
        cmd->add_option("--textures", opt.textures,
                        "Tile folder whose .bmp names stand for the tile numbers of a map "
                        "without a tile-name table");
    };

    CLI::App* info = app.add_subcommand("info", "Size, tiles, heights and flags of a map");
    addMap(info);

    CLI::App* t3d = app.add_subcommand("export-t3d", "T3D export, as the editor writes it");
    addMap(t3d);
    addOutput(t3d, "The T3D file; pieces of --entire are named after it");
    t3d->add_option("--piece", opt.piece, "Piece size in cells")
        ->check(CLI::IsMember({50, 32, 16, 8}));
    t3d->add_flag("--entire", opt.entire, "Every whole piece of the map, one file each");
    addTextures(t3d);

    CLI::App* heights =
        app.add_subcommand("export-heights", "The height plane as RAW or 16-bit PNG");
    addMap(heights);
    addOutput(heights, "OUT.raw or OUT.png");

    CLI::App* group = app.add_subcommand("export-group", "The height format file group");
    addMap(group);
    addOutput(group, "NAME.raw: the group is written next to it");
    addTextures(group);

    CLI::App* import =
        app.add_subcommand("import-heights", "Imports a heightmap and saves a new map");
    addMap(import);
    import->add_option("--from", opt.from, "The heightmap (.raw, .bmp or .png)")->required();
    addOutput(import, "The new map file (.ter)");
    addTextures(import);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : kExitUsage;
    }

    try {
        if (*info)
            RunInfo(opt);
        else if (*t3d)
            RunExportT3d(opt);
        else if (*heights)
            RunExportHeights(opt);
        else if (*group)
            RunExportGroup(opt);
        else if (*import)
            RunImportHeights(opt);
    } catch (const UsageError& e) {
        std::cerr << e.message << "\nRun with --help for more information.\n";
        return kExitUsage;
    } catch (const FileError& e) {
        std::cerr << "terrain-batch: " << OneLine(e) << "\n";
        return kExitFile;
    } catch (const std::exception& e) {
        std::cerr << "terrain-batch: " << e.what() << "\n";
        return kExitFile;
    }
    return 0;
}
