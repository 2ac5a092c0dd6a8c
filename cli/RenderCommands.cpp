// The commands that draw a map into a picture: render (the map view) and overview (the mini map).

#include "AtomicFile.h"
#include "BatchCommands.h"
#include "BatchMap.h"
#include "FileError.h"
#include "HeightmapPng.h"
#include "MainDoc.h"
#include "MapRenderer.h"
#include "PngWriter.h"
#include "RegionRender.h"
#include "TileLibrary.h"
#include "Zoom.h"

#include <bit>
#include <cstdio>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The map in a document whose tile library holds the pictures of the tile folder, renumbered
// against that library as the editor's Load Map does. What the user should know about the tiles
// goes to `warnings`, to be printed once the picture is written: a failed run prints its error
// alone.
std::unique_ptr<CMainDoc> LoadWithTiles(const BatchOptions& opt, std::string& warnings) {
    const fs::path dir =
        opt.textures ? fs::path(*opt.textures) : TileLibrary::TexturesDir(fs::current_path());
    auto doc = std::make_unique<CMainDoc>();
    TileLoadReport report;
    if (fs::is_directory(dir))
        report = doc->m_tiles.LoadTilesFrom(dir);
    else
        report.status = TileLoadReport::Status::NoTiles;
    if (report.status == TileLoadReport::Status::NoTiles)
        throw FileError(dir.string(), "Could not read the tiles",
                        fs::is_directory(dir)
                            ? "The folder holds no .bmp tile."
                            : "There is no such folder; name one with --textures.");
    if (report.status == TileLoadReport::Status::OpenFailed)
        throw FileError(dir.string(), "Could not read the tiles", report.openFailure);
    if (report.HasProblems())
        warnings += report.ProblemText();
    TerMap map = ReadTerMap(opt.map);
    const TerLoadResult loaded = ApplyTerMap(*doc, map);
    if (loaded.unmatchedNames > 0)
        warnings += opt.map + ": " + std::to_string(loaded.unmatchedNames) +
                    " tile name(s) not in " + dir.string() + "; their cells have no tile\n";
    return doc;
}

CellRect RegionOf(const BatchOptions& opt, const CMainDoc& doc) {
    const int sx = doc.m_map.m_nSizeX, sy = doc.m_map.m_nSizeY;
    if (!opt.region)
        return CellRect{0, 0, sx, sy};
    CellRect r;
    char c1 = 0, c2 = 0, c3 = 0;
    std::istringstream in(*opt.region);
    if (!(in >> r.x >> c1 >> r.y >> c2 >> r.w >> c3 >> r.h) || c1 != ',' || c2 != ',' ||
        c3 != ',' || !(in >> std::ws).eof())
        throw UsageError{"--region: give X,Y,W,H as four whole numbers, such as 0,0,64,64"};
    if (r.x < 0 || r.y < 0 || r.w < 1 || r.h < 1 || r.x + r.w > sx || r.y + r.h > sy)
        throw UsageError{"--region: " + *opt.region + " does not lie inside the map's " +
                         std::to_string(sx) + " x " + std::to_string(sy) + " cells"};
    return r;
}

void WritePng(const PngRows& rows, const std::string& path) {
    std::vector<std::uint8_t> png;
    std::string error;
    if (!EncodePng(rows, png, error))
        throw FileError(path, "Could not write", error);
    WriteFileAtomically(path, png);
}

// Render and overview write PNG only: refuse another extension rather than mislabel the file.
void CheckPngOutput(const BatchOptions& opt) {
    if (LowerExtension(opt.output) != ".png")
        throw UsageError{"--output: the picture file must end in .png"};
}

} // namespace

void RunRender(const BatchOptions& opt) {
    CheckPngOutput(opt);
    std::string warnings;
    std::unique_ptr<CMainDoc> doc = LoadWithTiles(opt, warnings);
    ApplyZoom(*doc, std::countr_zero(static_cast<unsigned>(opt.zoom)));
    doc->m_view.m_bGouraud = opt.gouraud;
    doc->m_view.m_bGrid = opt.grid;
    doc->m_view.m_bScaleMarker = opt.scaleMarker;
    if (opt.heightScale)
        doc->m_view.m_nHeightViewScale = *opt.heightScale == 0 ? -1 : *opt.heightScale;
    if (opt.shadeBase)
        doc->m_view.m_nShadeBase = *opt.shadeBase;
    const CellRect region = RegionOf(opt, *doc);
    RegionRenderer renderer(*doc, region);
    if (renderer.Width() > kMaxPngSide || renderer.Height() > kMaxPngSide)
        throw UsageError{"the picture would be " + std::to_string(renderer.Width()) + " x " +
                         std::to_string(renderer.Height()) + " pixels, more than " +
                         std::to_string(kMaxPngSide) +
                         " a side: choose a smaller --zoom or a --region"};

    ProgressBar bar(opt.quiet);
    PngRows rows;
    rows.width = renderer.Width();
    rows.height = renderer.Height();
    rows.fillRow = [&](int y, std::uint8_t* row) {
        PixelsToRgb(renderer.Row(y), rows.width, row);
        bar.Show(y + 1, rows.height);
    };
    WritePng(rows, opt.output);
    if (!opt.quiet)
        std::fputs(warnings.c_str(), stderr);
}

void RunOverview(const BatchOptions& opt) {
    CheckPngOutput(opt);
    std::string warnings;
    std::unique_ptr<CMainDoc> doc = LoadWithTiles(opt, warnings);
    Picture overview(doc->m_map.m_nSizeX, doc->m_map.m_nSizeY);
    for (int y = 0; y < overview.height; ++y)
        for (int x = 0; x < overview.width; ++x)
            SetOverviewPixel(*doc, overview, x, y);
    WritePicturePng(overview, opt.output);
    if (!opt.quiet)
        std::fputs(warnings.c_str(), stderr);
}
