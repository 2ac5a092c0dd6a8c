// terrain-batch render of a whole 512 x 512 map at x16: a 4096 x 4096 picture. The command's
// own work (render in bands, encode the PNG, write it through a temporary file) runs beside
// Qt's QImage::save of the same, already rendered pixels as PNG to a file; the whole executable
// (start, tile folder, map file) runs beside it too.
#include "AtomicFile.h"
#include "MainDoc.h"
#include "PngWriter.h"
#include "RegionRender.h"
#include "TerFile.h"
#include "TestSupport.h"
#include "Zoom.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace {

// A 512 x 512 map on the sample tiles with varied tiles, orientations and hills.
std::unique_ptr<CMainDoc> SampleMap() {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_tiles.LoadTileLibrary(SampleWorkDir());
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = kMaxMapSize;
    std::uint32_t s = 3;
    for (int x = 0; x < kMaxMapSize; ++x)
        for (int y = 0; y < kMaxMapSize; ++y) {
            s = s * 1664525u + 1013904223u;
            const int tile = ((x / 8 + y / 8) * 7) % (doc->m_tiles.m_nLastTile + 1);
            doc->SetTileFlags(x, y, static_cast<std::uint16_t>(tile), (s >> 20) & 1, (s >> 21) & 1);
            doc->m_map.m_height[CellIndex(x, y)] = static_cast<std::uint8_t>(
                24 + 12 * std::sin(x / 23.0) + 12 * std::cos(y / 31.0) + (s >> 30));
        }
    ApplyZoom(*doc, 4);
    return doc;
}

const CellRect kWholeMap{0, 0, kMaxMapSize, kMaxMapSize};

void BM_RenderToPngFile(benchmark::State& state) {
    auto doc = SampleMap();
    TempDir dir;
    std::vector<std::uint8_t> png;
    for (auto _ : state) {
        RegionRenderer renderer(*doc, kWholeMap);
        PngRows rows;
        rows.width = renderer.Width();
        rows.height = renderer.Height();
        rows.fillRow = [&](int y, std::uint8_t* row) {
            PixelsToRgb(renderer.Row(y), rows.width, row);
        };
        std::string error;
        if (!EncodePng(rows, png, error))
            state.SkipWithError(error.c_str());
        WriteFileAtomically(dir / "map.png", png);
    }
    state.counters["MB"] = static_cast<double>(png.size()) / 1e6;
}
BENCHMARK(BM_RenderToPngFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Baseline_QImageSave(benchmark::State& state) {
    auto doc = SampleMap();
    Picture picture = RegionRenderer(*doc, kWholeMap).Render();
    TempDir dir;
    const QString path = QString::fromStdString((dir / "map.png").string());
    for (auto _ : state) {
        const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                           picture.height, picture.width * 4, QImage::Format_RGB32);
        if (!image.save(path, "PNG"))
            state.SkipWithError("QImage could not save");
    }
    state.counters["MB"] =
        static_cast<double>(std::filesystem::file_size(path.toStdString())) / 1e6;
}
BENCHMARK(BM_Baseline_QImageSave)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RenderCommand(benchmark::State& state) {
    auto doc = SampleMap();
    TempDir dir;
    SaveTerFile(*doc, dir / "map.ter");
    const std::string command = "'" TERRAIN_BATCH "' render '" + (dir / "map.ter").string() +
                                "' -o '" + (dir / "map.png").string() + "' -q --textures '" +
                                (SampleWorkDir() / "Textures").string() + "'";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("terrain-batch failed");
}
BENCHMARK(BM_RenderCommand)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
