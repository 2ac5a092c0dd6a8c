// glTF export of a whole 512 x 512 map on the sample tiles, beside writing the same number of
// bytes with plain fwrite, once left to the system and once flushed to disk as the export's save
// does. The figures depend on the disk; on a shared machine run them with
// --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true.
#include "GltfExport.h"
#include "MainDoc.h"
#include "TestSupport.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A 512 x 512 map on the sample tiles with varied tiles, orientations and hills, and the size of
// its export.
struct Setup {
    Setup() {
        doc->m_tiles.LoadTileLibrary(SampleWorkDir());
        CellPlanes& map = doc->m_map;
        map.m_nSizeX = map.m_nSizeY = kMaxMapSize;
        std::uint32_t s = 3;
        for (int x = 0; x < kMaxMapSize; ++x)
            for (int y = 0; y < kMaxMapSize; ++y) {
                s = s * 1664525u + 1013904223u;
                const int tile = ((x / 8 + y / 8) * 7) % (doc->m_tiles.m_nLastTile + 1);
                doc->SetTileFlags(x, y, static_cast<std::uint16_t>(tile), (s >> 20) & 1,
                                  (s >> 21) & 1);
                map.m_height[CellIndex(x, y)] = static_cast<std::uint8_t>(
                    24 + 12 * std::sin(x / 23.0) + 12 * std::cos(y / 31.0) + (s >> 30));
            }
        const GltfExportResult r = ExportGltf(*doc, {}, dir / "size.glb");
        bytes.assign(r.bytes, 'x');
        materials = r.materials;
    }
    std::unique_ptr<CMainDoc> doc = std::make_unique<CMainDoc>();
    TempDir dir;
    std::vector<char> bytes;
    int materials = 0;
};

Setup& Map() {
    static Setup setup;
    return setup;
}

void SetCounters(benchmark::State& state, const Setup& s) {
    state.counters["MB"] = static_cast<double>(s.bytes.size()) / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * s.bytes.size()));
}

void BM_ExportGltf512(benchmark::State& state) {
    Setup& s = Map();
    for (auto _ : state) {
        const GltfExportResult r = ExportGltf(*s.doc, {}, s.dir / "map.glb");
        if (r.bytes != s.bytes.size())
            state.SkipWithError("export failed");
    }
    state.counters["materials"] = s.materials;
    SetCounters(state, s);
}
BENCHMARK(BM_ExportGltf512)->Unit(benchmark::kMillisecond)->Iterations(5);

void Fwrite(benchmark::State& state, bool toDisk) {
    Setup& s = Map();
    const fs::path path = s.dir / "fwrite.glb";
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f || std::fwrite(s.bytes.data(), 1, s.bytes.size(), f) != s.bytes.size() ||
            std::fflush(f) != 0 || (toDisk && ::fsync(fileno(f)) != 0) || std::fclose(f) != 0)
            state.SkipWithError("fwrite failed");
    }
    SetCounters(state, s);
}

void BM_Baseline_Fwrite(benchmark::State& state) {
    Fwrite(state, false);
}
BENCHMARK(BM_Baseline_Fwrite)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Baseline_FwriteFsync(benchmark::State& state) {
    Fwrite(state, true);
}
BENCHMARK(BM_Baseline_FwriteFsync)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

BENCHMARK_MAIN();
