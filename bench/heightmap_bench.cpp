// Heightmap files of a 512 x 512 plane. The 16-bit PNG export and import run beside Qt's QImage
// doing the same work (fill a Grayscale16 picture and save it as PNG; load a PNG, convert it to
// Grayscale16 and round its samples into the plane), both in memory so that only the coding is
// compared. The RAW export (temporary file, flush to disk, rename) runs beside a plain fwrite
// of the same bytes, and beside fwrite followed by fsync, which is what the flush costs.
#include "HeightmapPng.h"
#include "HeightmapRaw.h"
#include "MainDoc.h"
#include "TestSupport.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

// A hilly plane: smooth slopes with some noise, as real heightmaps have.
HeightPlane MakeHeights() {
    HeightPlane h(kPlaneCells);
    std::uint32_t s = 7;
    for (int x = 0; x < kMaxMapSize; ++x)
        for (int y = 0; y < kMaxMapSize; ++y) {
            s = s * 1664525u + 1013904223u;
            h[CellIndex(x, y)] =
                static_cast<std::uint8_t>((x + y) / 4 + ((x * y) >> 10) + (s >> 29));
        }
    return h;
}

std::vector<std::uint8_t> OurPng(const HeightPlane& h) {
    std::vector<std::uint8_t> png;
    std::string error;
    EncodePngHeights(h, png, error);
    return png;
}

void BM_PngExport(benchmark::State& state) {
    const HeightPlane h = MakeHeights();
    std::vector<std::uint8_t> png;
    std::string error;
    for (auto _ : state) {
        EncodePngHeights(h, png, error);
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_PngExport)->Unit(benchmark::kMillisecond);

void BM_Baseline_QImagePngExport(benchmark::State& state) {
    const HeightPlane h = MakeHeights();
    QByteArray png;
    for (auto _ : state) {
        QImage image(kMaxMapSize, kMaxMapSize, QImage::Format_Grayscale16);
        for (int y = 0; y < kMaxMapSize; ++y) {
            auto* row = reinterpret_cast<quint16*>(image.scanLine(y));
            for (int x = 0; x < kMaxMapSize; ++x)
                row[x] = static_cast<quint16>(h[CellIndex(x, y)] * 257);
        }
        png.clear();
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        benchmark::DoNotOptimize(png.data());
    }
    state.counters["bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_Baseline_QImagePngExport)->Unit(benchmark::kMillisecond);

void BM_PngImport(benchmark::State& state) {
    const std::vector<std::uint8_t> png = OurPng(MakeHeights());
    HeightPlane h(kPlaneCells);
    std::string error;
    for (auto _ : state) {
        if (!ParsePngHeights(png.data(), png.size(), h, error))
            state.SkipWithError(error.c_str());
        benchmark::DoNotOptimize(h.data());
    }
}
BENCHMARK(BM_PngImport)->Unit(benchmark::kMillisecond);

void BM_Baseline_QImagePngImport(benchmark::State& state) {
    const std::vector<std::uint8_t> ours = OurPng(MakeHeights());
    const QByteArray png(reinterpret_cast<const char*>(ours.data()), static_cast<int>(ours.size()));
    HeightPlane h(kPlaneCells);
    for (auto _ : state) {
        const QImage image =
            QImage::fromData(png, "PNG").convertToFormat(QImage::Format_Grayscale16);
        if (image.isNull())
            state.SkipWithError("QImage could not read the picture");
        const int w = std::min(image.width(), kMaxMapSize);
        const int rows = std::min(image.height(), kMaxMapSize);
        for (int y = 0; y < rows; ++y) {
            const auto* row = reinterpret_cast<const quint16*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x)
                h[CellIndex(x, y)] = static_cast<std::uint8_t>((row[x] + 128) / 257);
        }
        benchmark::DoNotOptimize(h.data());
    }
}
BENCHMARK(BM_Baseline_QImagePngImport)->Unit(benchmark::kMillisecond);

void BM_RawExport(benchmark::State& state) {
    TempDir dir;
    auto doc = std::make_unique<CMainDoc>();
    doc->m_map.m_height = MakeHeights();
    for (auto _ : state)
        ExportRawHeights(*doc, dir / "h.raw");
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kRawHeightBytes));
}
BENCHMARK(BM_RawExport)->Unit(benchmark::kMillisecond);

// fwrite of the same bytes into the same folder; with range 1 also fsync before closing.
void BM_Baseline_Fwrite(benchmark::State& state) {
    TempDir dir;
    const HeightPlane h = MakeHeights();
    const std::string path = (dir / "h.raw").string();
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(h.data(), 1, h.size(), f);
        if (state.range(0) != 0) {
            std::fflush(f);
            ::fsync(::fileno(f));
        }
        std::fclose(f);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kRawHeightBytes));
}
BENCHMARK(BM_Baseline_Fwrite)->ArgName("fsync")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
