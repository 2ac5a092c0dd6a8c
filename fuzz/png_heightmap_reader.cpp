// Feeds arbitrary bytes to the PNG heightmap reader. The height plane has exactly its cells, so
// the sanitizers catch any write beyond it. Checksums are not checked: otherwise almost every
// mutation would stop at the first chunk's CRC.
#include "HeightmapPng.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HeightPlane heights(kPlaneCells);
    std::string error;
    if (!ParsePngHeights(data, size, heights, error, PngCrc::Ignore) && error.empty())
        __builtin_trap(); // a refusal always says why
    return 0;
}
