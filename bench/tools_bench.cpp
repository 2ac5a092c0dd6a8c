// Flood fills over a whole 512 x 512 map and over a serpentine region, beside a plain pass over
// the same cells; and pen strokes with the 15 x 15 pen and a 255 x 255 custom pen.
#include "Fills.h"
#include "MainDoc.h"
#include "MapEditor.h"
#include "Pens.h"
#include "ToolCodes.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<CMainDoc> MakeDoc(bool serpentine) {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = 512;
    for (int x = 0; x < 512; ++x)
        for (int y = 0; y < 512; ++y) {
            const bool wall = serpentine && (x % 2 == 1) && ((x / 2) % 2 == 0 ? y != 511 : y != 0);
            doc->m_map.m_tile[CellIndex(x, y)] = wall ? 1 : 0;
        }
    return doc;
}

void BM_FloodFill(benchmark::State& state) {
    auto doc = MakeDoc(state.range(0) != 0);
    long cells = 0;
    for (auto _ : state) {
        cells = 0;
        PerformFill(*doc, fillFloodTile, 0, 0, [&](int x, int y) {
            cells += x + y;
            benchmark::DoNotOptimize(cells);
        });
    }
    state.SetItemsProcessed(state.iterations() * 512 * 512);
}
BENCHMARK(BM_FloodFill)->ArgName("serpentine")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same cells visited by a plain double loop with the same callback: the floor for a fill.
void BM_Baseline_PlainPass(benchmark::State& state) {
    auto doc = MakeDoc(false);
    long cells = 0;
    const std::function<void(int, int)> apply = [&](int x, int y) {
        cells += x + y;
        benchmark::DoNotOptimize(cells);
    };
    for (auto _ : state) {
        cells = 0;
        for (int x = 0; x < 512; ++x)
            for (int y = 0; y < 512; ++y)
                if (doc->m_map.m_tile[CellIndex(x, y)] == 0)
                    apply(x, y);
    }
    state.SetItemsProcessed(state.iterations() * 512 * 512);
}
BENCHMARK(BM_Baseline_PlainPass)->Unit(benchmark::kMillisecond);

// One click of a pen raising land, with the gradient weighting on.
void BM_PenStroke(benchmark::State& state) {
    auto doc = MakeDoc(false);
    MapEditor editor(*doc);
    doc->m_tools.m_bGradiatedDraw = 1;
    if (state.range(0) == 15) {
        SelectPenRow(*doc, 12);
    } else {
        doc->m_tools.m_nPenShape = 0;
        doc->m_tools.m_fPenWidth = doc->m_tools.m_fPenHeight = 255;
    }
    for (auto _ : state) {
        doc->m_redraw.m_bRedrawAll = 0;
        editor.ApplyTool(128, 128, 1, opAddHeight);
    }
}
BENCHMARK(BM_PenStroke)->ArgName("pen")->Arg(15)->Arg(255)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
