#include "BatchMap.h"

#include "FileError.h"
#include "HeightImport.h"
#include "TileLibrary.h"

#include <cstdint>
#include <vector>

namespace fs = std::filesystem;

namespace {
// No valid map file comes near this: four planes of 512 x 512 cells and 500 names.
constexpr std::size_t kMaxTerBytes = 64u << 20;

void SetLibraryNames(TileLibrary& tiles, const std::vector<std::string>& names) {
    const int count = static_cast<int>(std::min<std::size_t>(names.size(), kMaxTiles));
    for (int i = 0; i < count; ++i)
        tiles.m_strTileName[i] = names[i];
    tiles.m_nLastTile = count - 1;
}
} // namespace

TerMap ReadTerMap(const fs::path& path) {
    std::uintmax_t fileSize = 0;
    const std::vector<std::uint8_t> bytes = ReadFileHead(path, kMaxTerBytes, fileSize);
    if (fileSize > kMaxTerBytes)
        throw FileError(path.string(), "Could not load the map file", "The file is too large.");
    auto blank = std::make_unique<CMainDoc>();
    TerMap map = TerMap::FromDocument(*blank);
    std::string error;
    if (!ParseTer(bytes.data(), bytes.size(), map, error))
        throw FileError(path.string(), "Could not load the map file", error);
    return map;
}

BatchMap LoadBatchMap(const fs::path& path, const std::optional<fs::path>& textures) {
    BatchMap result{ReadTerMap(path), std::make_unique<CMainDoc>()};
    std::vector<std::string> names;
    if (result.file.hasNameTable) {
        names = result.file.tileNames;
    } else if (textures) {
        if (!fs::is_directory(*textures))
            throw FileError(textures->string(), "Could not read the tile folder",
                            "It is not a folder.");
        for (const fs::path& tile : TileLibrary::ListTileFiles(*textures))
            names.push_back(TileLibrary::TileNameOf(tile.filename().string()));
    } else {
        throw FileError(path.string(), "The map has no tile-name table",
                        "Name the tile folder with --textures DIR.");
    }
    SetLibraryNames(result.doc->m_tiles, names);
    TerMap copy = result.file;
    ApplyTerMap(*result.doc, copy);
    return result;
}
