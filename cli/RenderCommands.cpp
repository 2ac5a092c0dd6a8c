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
#include "Zoom.h"

#include <bit>
#include <cstdio>
#include <memory>

namespace fs = std::filesystem;

namespace {

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
