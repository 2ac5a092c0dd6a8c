// T3D export of a random 512 x 512 map, beside writing the same bytes with plain fwrite to the
// same number of files. The whole-map figures depend on the disk; on a shared machine run them
// with --benchmark_repetitions=3 --benchmark_enable_random_interleaving=true.
#include "MainDoc.h"
#include "T3dExport.h"
#include "TestSupport.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <random>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A random 512 x 512 map with a library of 40 tiles, and the text of its pieces.
struct Setup {
    Setup() {
        std::mt19937 rng(512);
        doc->m_tiles.m_nLastTile = 39;
        for (int i = 0; i < 40; ++i)
            doc->m_tiles.m_strTileName[i] = "TILE" + std::to_string(1000 + i);
        CellPlanes& map = doc->m_map;
        map.m_nSizeX = map.m_nSizeY = 512;
        for (int i = 0; i < kPlaneCells; ++i) {
            map.m_height[i] = static_cast<std::uint8_t>(rng());
            map.m_tile[i] = static_cast<std::uint16_t>(rng() % 40);
            map.m_mirror[i] = static_cast<std::uint8_t>(rng() & 1);
            map.m_flip[i] = static_cast<std::uint8_t>(rng() & 1);
        }
        const T3dCornerGrid grid(map.m_height.data());
        for (int i = 0; i < 64; ++i)
            for (int j = 0; j < 64; ++j) {
                pieces.emplace_back();
                WriteT3dPiece(pieces.back(), *doc, grid, 8 * i, 8 * j, 8);
                piecePaths.push_back(T3dPiecePath(dir / "fwrite" / "map.t3d", i, j));
            }
        WriteT3dPiece(piece50, *doc, grid, 0, 0, 50);
        fs::create_directories(dir / "export");
        fs::create_directories(dir / "fwrite");
    }
    std::unique_ptr<CMainDoc> doc = std::make_unique<CMainDoc>();
    TempDir dir;
    std::vector<std::string> pieces; // the 4,096 pieces of 8 x 8, in export order
    std::vector<fs::path> piecePaths;
    std::string piece50;
};

Setup& Map() {
    static Setup setup;
    return setup;
}

void FwriteFile(const fs::path& path, const std::string& bytes, benchmark::State& state) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f))
        state.SkipWithError("fwrite failed");
}

// Each round starts with the disk's write-back done, so that no round pays for the one before.
void SettleDisk(benchmark::State& state) {
    state.PauseTiming();
    ::sync();
    state.ResumeTiming();
}

void BM_ExportEntireMap8x8(benchmark::State& state) {
    Setup& s = Map();
    T3dChoices choices;
    choices.Accept(3, 1);
    for (auto _ : state) {
        SettleDisk(state);
        const T3dExportResult r = ExportT3d(*s.doc, choices, s.dir / "export" / "map.t3d");
        if (r.piecesWritten != 4096 || r.failure)
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_ExportEntireMap8x8)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Baseline_FwriteEntireMap8x8(benchmark::State& state) {
    Setup& s = Map();
    for (auto _ : state) {
        SettleDisk(state);
        for (std::size_t k = 0; k < s.pieces.size(); ++k)
            FwriteFile(s.piecePaths[k], s.pieces[k], state);
    }
}
BENCHMARK(BM_Baseline_FwriteEntireMap8x8)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ExportPiece50x50(benchmark::State& state) {
    Setup& s = Map();
    const T3dCornerGrid grid(s.doc->m_map.m_height.data());
    for (auto _ : state)
        ExportT3dPiece(*s.doc, grid, 0, 0, 50, s.dir / "export" / "piece50.t3d");
}
BENCHMARK(BM_ExportPiece50x50)->Unit(benchmark::kMillisecond);

void BM_Baseline_FwritePiece50x50(benchmark::State& state) {
    Setup& s = Map();
    for (auto _ : state)
        FwriteFile(s.dir / "fwrite" / "piece50.t3d", s.piece50, state);
}
BENCHMARK(BM_Baseline_FwritePiece50x50)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
