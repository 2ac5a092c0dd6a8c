// Feeds arbitrary bytes to the TER reader and, when they parse, applies the map to a document
// with a small tile library, then checks that every cell of the map holds a library tile or
// the missing-tile index.
#include "MainDoc.h"
#include "TerFile.h"

#include <cstddef>
#include <cstdint>

namespace {

CMainDoc& Document() {
    static CMainDoc* doc = [] {
        auto* d = new CMainDoc;
        const char* names[] = {"GRASA000", "ROCKA000", "SANDA000", "GRASA000"};
        for (const char* name : names)
            d->m_tiles.m_strTileName[++d->m_tiles.m_nLastTile] = name;
        return d;
    }();
    return *doc;
}

// Left out of the coverage feedback: it adds nothing to explore and would dominate the run time.
// Only clang knows the attribute; the plain corpus replay builds with GCC as well.
#if defined(__clang__)
#define NO_COVERAGE __attribute__((no_sanitize("coverage")))
#else
#define NO_COVERAGE
#endif
NO_COVERAGE bool TilesAreRenumbered(const CMainDoc& doc) {
    for (int x = 0; x < doc.m_map.m_nSizeX; ++x)
        for (int y = 0; y < doc.m_map.m_nSizeY; ++y) {
            const int tile = doc.m_map.m_tile[CellIndex(x, y)];
            if (tile > doc.m_tiles.m_nLastTile && tile != kMissingTile)
                return false;
        }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One map, cleared for every input: building a fresh one fills 1.25 MB element by element
    // under coverage instrumentation, which would dominate the run time.
    static TerMap map;
    map.planes.m_nSizeX = map.planes.m_nSizeY = 256;
    map.planes.ClearPlanes();
    std::string error;
    if (!ParseTer(data, size, map, error))
        return 0;
    CMainDoc& doc = Document();
    if (ApplyTerMap(doc, map).hadNameTable && !TilesAreRenumbered(doc))
        __builtin_trap();
    return 0;
}
