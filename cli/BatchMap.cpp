#include "BatchMap.h"

#include "BatchCommands.h"
#include "FileError.h"
#include "HeightImport.h"
#include "TileLibrary.h"

#include <cstdint>
#include <sstream>
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

std::unique_ptr<CMainDoc> LoadWithTiles(const BatchOptions& opt, std::string& warnings) {
    const fs::path dir =
        opt.textures ? fs::path(*opt.textures) : TileLibrary::TexturesDir(fs::current_path());
    auto doc = std::make_unique<CMainDoc>();
    TileLoadReport report;
    if (fs::is_directory(dir))
        report = doc->m_tiles.LoadTilesFrom(dir);
    else
        report.status = TileLoadReport::Status::NoTiles;
    if (report.status == TileLoadReport::Status::NoTiles)
        throw FileError(dir.string(), "Could not read the tiles",
                        fs::is_directory(dir)
                            ? "The folder holds no .bmp tile."
                            : "There is no such folder; name one with --textures.");
    if (report.status == TileLoadReport::Status::OpenFailed)
        throw FileError(dir.string(), "Could not read the tiles", report.openFailure);
    if (report.HasProblems())
        warnings += report.ProblemText();
    TerMap map = ReadTerMap(opt.map);
    const TerLoadResult loaded = ApplyTerMap(*doc, map);
    if (loaded.unmatchedNames > 0)
        warnings += opt.map + ": " + std::to_string(loaded.unmatchedNames) +
                    " tile name(s) not in " + dir.string() + "; their cells have no tile\n";
    return doc;
}

CellRect RegionOf(const BatchOptions& opt, const CMainDoc& doc) {
    const int sx = doc.m_map.m_nSizeX, sy = doc.m_map.m_nSizeY;
    if (!opt.region)
        return CellRect{0, 0, sx, sy};
    CellRect r;
    char c1 = 0, c2 = 0, c3 = 0;
    std::istringstream in(*opt.region);
    if (!(in >> r.x >> c1 >> r.y >> c2 >> r.w >> c3 >> r.h) || c1 != ',' || c2 != ',' ||
        c3 != ',' || !(in >> std::ws).eof())
        throw UsageError{"--region: give X,Y,W,H as four whole numbers, such as 0,0,64,64"};
    // Compared without adding, so that no number given can overflow.
    if (r.x < 0 || r.y < 0 || r.w < 1 || r.h < 1 || r.x > sx - r.w || r.y > sy - r.h)
        throw UsageError{"--region: " + *opt.region + " does not lie inside the map's " +
                         std::to_string(sx) + " x " + std::to_string(sy) + " cells"};
    return r;
}
