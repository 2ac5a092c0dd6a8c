// Feeds arbitrary bytes to the BMP heightmap reader. The height plane has exactly its cells, so
// the sanitizers catch any write beyond it, and any read beyond the file's bits.
#include "HeightmapBmp.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    HeightPlane heights(kPlaneCells);
    std::string error;
    if (!ParseBmpHeights(std::vector<std::uint8_t>(data, data + size), heights, error) &&
        error.empty())
        __builtin_trap(); // a refusal always says why
    return 0;
}
