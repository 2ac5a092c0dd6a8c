// Loading a library of 500 tiles, beside reading the same files' bytes with plain stdio.
#include "TestSupport.h"
#include "TileLibrary.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>

namespace fs = std::filesystem;

namespace {

// 500 tiles, half 24-bit and half 8-bit, 128 x 128, created once.
class LibraryFolder {
public:
    LibraryFolder() {
        fs::create_directories(m_dir / "Textures");
        for (int i = 0; i < 500; ++i) {
            TestBmp b = TestBmp::Filled(128, 128, 0);
            if (i % 2) {
                b.bitCount = 8;
                for (int c = 0; c < 256; ++c)
                    b.palette.push_back(MakeColor(c, 255 - c, (c * 7) & 0xFF));
            }
            for (std::size_t p = 0; p < b.pixels.size(); ++p)
                b.pixels[p] = (i % 2) ? (p * 31 + i) & 0xFF : (p * 2654435761u + i) & 0xFFFFFF;
            char name[32];
            std::snprintf(name, sizeof name, "G%03d%c000.BMP", i / 12, 'A' + i % 12);
            b.Write(m_dir / "Textures" / name);
            m_files.push_back(m_dir / "Textures" / name);
        }
    }
    fs::path Work() const { return m_dir.Path(); }
    const std::vector<fs::path>& Files() const { return m_files; }

private:
    TempDir m_dir;
    std::vector<fs::path> m_files;
};

LibraryFolder& Folder() {
    static LibraryFolder folder;
    return folder;
}

void BM_LoadTileLibrary500(benchmark::State& state) {
    auto lib = std::make_unique<TileLibrary>();
    for (auto _ : state) {
        TileLoadReport r = lib->LoadTileLibrary(Folder().Work());
        benchmark::DoNotOptimize(r);
        if (lib->m_nLastTile != 499)
            state.SkipWithError("not all tiles loaded");
    }
}
BENCHMARK(BM_LoadTileLibrary500)->Unit(benchmark::kMillisecond);

void BM_Baseline_ReadSameBytes(benchmark::State& state) {
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::size_t total = 0;
        for (const fs::path& f : Folder().Files()) {
            std::FILE* in = std::fopen(f.c_str(), "rb");
            total += std::fread(buffer.data(), 1, buffer.size(), in);
            std::fclose(in);
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_Baseline_ReadSameBytes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
