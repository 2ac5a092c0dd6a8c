#include "TileDecode.h"

#include "BmpFile.h"
#include "Limits.h"

#include <algorithm>
#include <fstream>

namespace {

// Fits the picture to 128 x 128 (taller pictures are thinned, shorter ones stretched, wider ones
// cut to their left 128 columns) and converts it to 32 bits, top row first. The picture is at
// least 128 pixels wide and `tile` is 128 x 128.
void ConvertTile(const BmpFile& bmp, Picture& tile) {
    float sum = 0.0f;
    const float step = static_cast<float>(bmp.height) * 0.0078125f;
    for (int d = 0; d < kTileSize; ++d) { // d counts rows from the bottom
        const int src = std::min(static_cast<int>(sum), bmp.height - 1);
        sum += step;
        const std::uint8_t* in = bmp.RowFromBottom(src);
        std::uint32_t* out = tile.Row(kTileSize - 1 - d);
        if (bmp.bitCount == 8) {
            for (int x = 0; x < kTileSize; ++x)
                out[x] = bmp.palette[in[x]];
        } else {
            for (int x = 0; x < kTileSize; ++x, in += 3)
                out[x] = MakeColor(in[2], in[1], in[0]);
        }
    }
}

// Tiles are fitted to 128 x 128; files beyond this size are not tile pictures.
constexpr std::streamoff kMaxTileFileBytes = 64 << 20;

} // namespace

bool DecodeTile(std::vector<std::uint8_t>& bytes, Picture& tile, std::string& why) {
    BmpFile bmp;
    const bool parsed = BmpFile::Parse(std::move(bytes), bmp, why);
    bool decoded = false;
    if (parsed && bmp.width < kTileSize) {
        why = "the picture is narrower than 128 pixels (" + std::to_string(bmp.width) + ")";
    } else if (parsed) {
        if (tile.width != kTileSize || tile.height != kTileSize)
            tile = Picture(kTileSize, kTileSize);
        ConvertTile(bmp, tile);
        decoded = true;
    }
    bytes = std::move(bmp.bytes);
    return decoded;
}

TileReadResult ReadTile(const std::filesystem::path& path, Picture& tile,
                        std::vector<std::uint8_t>& buffer, std::string& why) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        why = "cannot be opened";
        return TileReadResult::CannotOpen;
    }
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kMaxTileFileBytes) {
        why = size < 0 ? "cannot be read" : "the file is too large to be a tile picture";
        return TileReadResult::Unusable;
    }
    buffer.resize(static_cast<std::size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(buffer.data()), size)) {
        why = "cannot be read";
        return TileReadResult::Unusable;
    }
    return DecodeTile(buffer, tile, why) ? TileReadResult::Ok : TileReadResult::Unusable;
}
