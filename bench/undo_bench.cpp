// Recording and undoing a history step, beside a full copy of the four planes (what a one-level
// snapshot costs). The steps: a 255 x 255 custom-pen stroke of noisy heights and a whole-map
// fill. The "bytes" counter is what a step keeps.
#include "MainDoc.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

// Changes the cells of one step: a 255 x 255 square or the whole 512 x 512 map.
void Change(CMainDoc& doc, int side, std::mt19937& rng) {
    const std::uint8_t base = static_cast<std::uint8_t>(rng());
    for (int x = 0; x < side; ++x)
        for (int y = 0; y < side; ++y)
            doc.m_map.m_height[CellIndex(x, y)] =
                side == kMaxMapSize ? base : static_cast<std::uint8_t>(base + (rng() & 7));
}

std::unique_ptr<CMainDoc> MakeDoc() {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_map.m_nSizeX = doc->m_map.m_nSizeY = kMaxMapSize;
    doc->m_history.SetLimits(UndoHistory::kDefaultMaxBytes, 1 << 20);
    return doc;
}

void BM_RecordStep(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    auto doc = MakeDoc();
    std::mt19937 rng(1);
    std::size_t before = 0;
    for (auto _ : state) {
        state.PauseTiming();
        before = doc->m_history.Bytes();
        state.ResumeTiming();
        doc->SaveUndo("Step"); // the snapshot ...
        state.PauseTiming();
        Change(*doc, side, rng);
        state.ResumeTiming();
        doc->EndStep(); // ... and the comparison that keeps the changed rectangle
    }
    state.counters["bytes"] = static_cast<double>(doc->m_history.Bytes() - before);
}
BENCHMARK(BM_RecordStep)->ArgName("side")->Arg(255)->Arg(512)->Unit(benchmark::kMicrosecond);

void BM_UndoRedoStep(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    auto doc = MakeDoc();
    std::mt19937 rng(2);
    doc->SaveUndo("Step");
    Change(*doc, side, rng);
    doc->EndStep();
    for (auto _ : state) {
        doc->Undo();
        doc->Redo();
    }
    state.SetItemsProcessed(state.iterations() * 2); // two exchanges per iteration
}
BENCHMARK(BM_UndoRedoStep)->ArgName("side")->Arg(255)->Arg(512)->Unit(benchmark::kMicrosecond);

// The baseline: one full copy of the four planes, as a one-level snapshot takes per stroke.
void BM_CopyFourPlanes(benchmark::State& state) {
    auto doc = MakeDoc();
    CellPlanes copy;
    for (auto _ : state) {
        copy.CopyPlanes(doc->m_map);
        benchmark::DoNotOptimize(copy.m_height.data());
    }
    state.counters["bytes"] = 5.0 * kPlaneCells;
}
BENCHMARK(BM_CopyFourPlanes)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
