// Feeds arbitrary bytes through the BMP reader and the tile conversion into a 128 x 128 picture.
// A refused picture must say why, and the tile must keep its size either way.
#include "Limits.h"
#include "TileDecode.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Picture tile(kTileSize, kTileSize);
    std::vector<std::uint8_t> bytes(data, data + size);
    std::string why;
    if (!DecodeTile(bytes, tile, why) && why.empty())
        __builtin_trap();
    if (tile.width != kTileSize || tile.height != kTileSize ||
        tile.pixels.size() != static_cast<std::size_t>(kTileSize) * kTileSize)
        __builtin_trap();
    return 0;
}
