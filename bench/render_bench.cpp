// Redrawing a 1920 x 1080 map view, beside a memcpy of the frame's bytes and beside the same
// cells drawn with QPainter (scaled, mirrored and flipped through transforms) plus a
// brightness pass, which is what a straightforward Qt version would do.
#include "MainDoc.h"
#include "MapRenderer.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

std::unique_ptr<CMainDoc> MakeDoc() {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 512;
    doc->m_tiles.m_nLastTile = 15;
    std::uint32_t s = 1;
    auto next = [&s] {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    };
    for (int t = 0; t <= doc->m_tiles.m_nLastTile; ++t) {
        doc->m_tiles.m_hTileDib[t] = Picture(128, 128);
        for (std::uint32_t& p : doc->m_tiles.m_hTileDib[t].pixels)
            p = next() & 0xFFFFFF;
    }
    for (int i = 0; i < kPlaneCells; ++i) {
        doc->m_map.m_tile[i] = static_cast<std::uint16_t>(next() % 16);
        doc->m_map.m_height[i] = static_cast<std::uint8_t>(next() % 7);
        doc->m_map.m_mirror[i] = next() & 1;
        doc->m_map.m_flip[i] = next() & 1;
    }
    doc->m_view.m_nShadeBase = 3; // brightness offsets from -96 to +96
    return doc;
}

void SetZoom(CMainDoc& doc, int step) {
    doc.m_view.m_nZoomStep = step;
    doc.m_view.m_nCellPixels = 128 / step;
}

void BM_FullRedraw(benchmark::State& state) {
    auto doc = MakeDoc();
    SetZoom(*doc, static_cast<int>(state.range(0)));
    doc->m_view.m_bGouraud = static_cast<int>(state.range(1));
    MapRenderer renderer;
    for (auto _ : state) {
        doc->RedrawAll();
        renderer.Render(*doc, kWidth, kHeight, 0, 0, nullptr);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_FullRedraw)
    ->ArgNames({"step", "gouraud"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({4, 0})
    ->Args({4, 1})
    ->Args({32, 0})
    ->Args({32, 1})
    ->Unit(benchmark::kMillisecond);

void BM_PartialRedraw201(benchmark::State& state) {
    auto doc = MakeDoc();
    SetZoom(*doc, static_cast<int>(state.range(0)));
    doc->m_view.m_bGouraud = static_cast<int>(state.range(1));
    MapRenderer renderer;
    renderer.Render(*doc, kWidth, kHeight, 0, 0, nullptr);
    const int cols = kWidth / doc->m_view.m_nCellPixels, rows = kHeight / doc->m_view.m_nCellPixels;
    for (auto _ : state) {
        for (int i = 0; i < kMaxDirty; ++i)
            doc->m_redraw.m_dirtyCell[i] = CellPair{(i * 7) % cols, (i * 3) % rows};
        doc->m_redraw.m_nLastDirty = kMaxDirty - 1;
        renderer.Render(*doc, kWidth, kHeight, 0, 0, nullptr);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PartialRedraw201)
    ->ArgNames({"step", "gouraud"})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({4, 0})
    ->Unit(benchmark::kMicrosecond);

void BM_Baseline_MemcpyFrame(benchmark::State& state) {
    std::vector<std::uint32_t> src((kWidth + 200) * (kHeight + 200), 1), dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), kWidth * kHeight * 4);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_Baseline_MemcpyFrame)->Unit(benchmark::kMillisecond);

// The obvious Qt version: drawImage per cell through a transform, then a brightness pass.
void BM_Baseline_QPainter(benchmark::State& state) {
    auto doc = MakeDoc();
    const int step = static_cast<int>(state.range(0));
    const int cp = 128 / step;
    std::vector<QImage> tiles;
    for (int t = 0; t <= doc->m_tiles.m_nLastTile; ++t)
        tiles.emplace_back(reinterpret_cast<const uchar*>(doc->m_tiles.m_hTileDib[t].pixels.data()),
                           128, 128, 128 * 4, QImage::Format_RGB32);
    QImage frame(kWidth + 200, kHeight + 200, QImage::Format_RGB32);
    const int k = 32;
    for (auto _ : state) {
        QPainter p(&frame);
        const int cols = kWidth / cp, rows = kHeight / cp;
        for (int i = 0; i < cols; ++i) {
            for (int j = 0; j < rows; ++j) {
                const int c = CellIndex(i, j);
                QTransform t;
                t.translate(i * cp + cp / 2.0, j * cp + cp / 2.0);
                t.scale(doc->m_map.m_mirror[c] ? -1.0 / step : 1.0 / step,
                        doc->m_map.m_flip[c] ? -1.0 / step : 1.0 / step);
                t.translate(-64, -64);
                p.setTransform(t);
                p.drawImage(0, 0, tiles[doc->m_map.m_tile[c]]);
            }
        }
        p.end();
        for (int j = 0; j < rows; ++j) {
            for (int i = 0; i < cols; ++i) {
                const int b = (doc->m_map.m_height[CellIndex(i, j)] - doc->m_view.m_nShadeBase) * k;
                for (int y = j * cp; y < (j + 1) * cp; ++y) {
                    QRgb* line = reinterpret_cast<QRgb*>(frame.scanLine(y));
                    for (int x = i * cp; x < (i + 1) * cp; ++x) {
                        const QRgb px = line[x];
                        line[x] = qRgb(std::clamp(qRed(px) + b, 0, 255),
                                       std::clamp(qGreen(px) + b, 0, 255),
                                       std::clamp(qBlue(px) + b, 0, 255));
                    }
                }
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 4);
}
BENCHMARK(BM_Baseline_QPainter)
    ->ArgName("step")
    ->Arg(1)
    ->Arg(4)
    ->Arg(32)
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
