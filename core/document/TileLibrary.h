#pragma once

#include "Limits.h"
#include "Picture.h"
#include "TileGroup.h"

#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// What a tile library load found.
struct TileLoadReport {
    enum class Status {
        Ok,         // at least one tile listed and every listed file opened
        NoTiles,    // the Textures folder holds no .bmp file
        OpenFailed, // a listed file could not be opened; tiles read so far stay counted
    };
    Status status = Status::Ok;
    // One line per file that was listed but could not be used as a picture (it keeps its index
    // and name with a black picture), and per thing left out at a table limit.
    std::vector<std::string> problems;
    std::string openFailure; // the file that could not be opened, with the reason

    bool HasProblems() const { return !problems.empty(); }
    std::string ProblemText() const;
};

// The tile pictures, names, average colours and tile groups of a map document. Tile i is the
// i-th .bmp file of the Textures folder in ascending order of the upper-cased file names.
class TileLibrary {
public:
    TileLibrary();

    int m_nLastTile = -1;
    std::array<Picture, kMaxTiles> m_hTileDib;
    std::array<int, kMaxTiles> m_tileColor{};
    std::array<std::string, kMaxTiles> m_strTileName;
    std::unique_ptr<TileGroup[]> m_tileGroup; // kMaxGroups records
    int m_nLastGroup = -1;
    // Counts the loads: pictures made from the tiles (zoomed copies) are stale once it changes.
    int m_nGeneration = 0;

    // Reloads everything from `workDir`/Textures.
    TileLoadReport LoadTileLibrary(const std::filesystem::path& workDir);
    // Reloads everything from the tile folder `texturesDir` itself.
    TileLoadReport LoadTilesFrom(const std::filesystem::path& texturesDir);

    // The tile folder: "Textures" below `workDir`, or a folder of that name in another letter
    // case when there is no exact match.
    static std::filesystem::path TexturesDir(const std::filesystem::path& workDir);

    // The .bmp files of `texturesDir` (extension in any letter case), in tile order.
    static std::vector<std::filesystem::path>
    ListTileFiles(const std::filesystem::path& texturesDir);

    // Tile name: the first 8 characters of the upper-cased file name.
    static std::string TileNameOf(const std::string& fileName);

    // Builds the tile groups from the names m_strTileName[0..m_nLastTile]. Exposed so that
    // the naming rules can be exercised without picture files.
    void BuildGroups(TileLoadReport& report);

private:
    void CreateGroups(TileLoadReport& report);
    void FillGroups(TileLoadReport& report);
    void CompleteOrientations();
};
