#pragma once

#include "Picture.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Tile pictures: BMP files fitted to 128 x 128 pixels of 32 bits, top row first.

enum class TileReadResult { Ok, Unusable, CannotOpen };

// Parses `bytes` as a BMP picture and fits it into `tile`, which becomes 128 x 128 if it is not:
// taller pictures are thinned, shorter ones stretched, wider ones cut to their left 128 columns.
// Pictures narrower than 128 pixels are refused. Returns false and says why in `why` when the
// bytes cannot be used; `tile` is then untouched. `bytes` keeps its storage for reuse only when
// the picture parsed.
bool DecodeTile(std::vector<std::uint8_t>& bytes, Picture& tile, std::string& why);

// Reads the tile file `path` into `tile` as DecodeTile does. `buffer` is reused from file to file.
TileReadResult ReadTile(const std::filesystem::path& path, Picture& tile,
                        std::vector<std::uint8_t>& buffer, std::string& why);
