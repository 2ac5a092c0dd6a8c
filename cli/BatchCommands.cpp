// The commands that read a map and write the editor's export files.

#include "BatchCommands.h"
#include "BatchMap.h"
#include "FileError.h"
#include "HeightGroup.h"
#include "HeightmapBmp.h"
#include "HeightmapPng.h"
#include "HeightmapRaw.h"
#include "T3dExport.h"
#include "TerFile.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

ProgressBar::ProgressBar(bool quiet) : m_bShow(!quiet && isatty(STDERR_FILENO)) {}

ProgressBar::~ProgressBar() {
    if (m_bShow && m_bDrawn)
        std::fputs("\n", stderr);
}

void ProgressBar::Show(int done, int total) {
    if (!m_bShow || total <= 0)
        return;
    // Redrawn only when a tenth of a percent has passed: a render reports every pixel row.
    const int permille = static_cast<int>(static_cast<long long>(done) * 1000 / total);
    if (permille == m_nLastPermille)
        return;
    m_nLastPermille = permille;
    constexpr int kWidth = 40;
    std::string bar(static_cast<std::size_t>(permille * kWidth / 1000), '#');
    bar.resize(kWidth, ' ');
    std::fprintf(stderr, "\r[%s] %d/%d", bar.c_str(), done, total);
    std::fflush(stderr);
    m_bDrawn = true;
}

namespace {

std::optional<fs::path> TexturesOf(const BatchOptions& opt) {
    if (opt.textures)
        return fs::path(*opt.textures);
    return std::nullopt;
}

} // namespace

void RunInfo(const BatchOptions& opt) {
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

void RunExportT3d(const BatchOptions& opt) {
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

void RunExportHeights(const BatchOptions& opt) {
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

void RunExportGroup(const BatchOptions& opt) {
    const BatchMap map = LoadBatchMap(opt.map, TexturesOf(opt));
    const HeightGroup group = ExportHeightGroup(*map.doc, opt.output);
    if (!opt.quiet)
        for (const std::string& name : group.names.All())
            std::printf("%s\n", (fs::path(opt.output).parent_path() / name).string().c_str());
}

void RunImportHeights(const BatchOptions& opt) {
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
