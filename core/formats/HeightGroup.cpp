#include "HeightGroup.h"

#include "AtomicFile.h"
#include "MainDoc.h"

#include <array>
#include <span>

HeightGroupNames HeightGroupNamesFor(const std::string& title) {
    const std::string front = title.substr(0, title.find('.'));
    return {front + "1.RAW", front + "2.RAW", front + "3.RAW", front + "4.TXT"};
}

std::uint8_t RotationCode(std::uint8_t mirror, std::uint8_t flip) {
    if (mirror != 0)
        return flip != 0 ? 2 : 4;
    return flip != 0 ? 6 : 0;
}

HeightGroup BuildHeightGroup(const CMainDoc& doc, const std::string& title) {
    const CellPlanes& map = doc.m_map;
    HeightGroup group;
    group.names = HeightGroupNamesFor(title);
    group.heights = map.m_height;

    // Compact numbering of the library tiles in use, in rising library order. Indices that name
    // no library tile (65535 after a load whose names were missing) get no number.
    const int lastTile = std::min(doc.m_tiles.m_nLastTile, kMaxTiles - 1);
    std::array<int, kMaxTiles> number{};
    number.fill(0);
    for (std::uint16_t tile : map.m_tile)
        if (tile <= lastTile)
            number[tile] = 1;
    std::vector<int> tileOfNumber; // library index of texture number k at k - 1
    for (int i = 0; i <= lastTile; ++i)
        if (number[i] != 0) {
            tileOfNumber.push_back(i);
            number[i] = static_cast<int>(tileOfNumber.size());
        }
    group.texturesInUse = static_cast<int>(tileOfNumber.size());

    group.textures.resize(kPlaneCells);
    group.rotations.resize(kPlaneCells);
    for (int i = 0; i < kPlaneCells; ++i) {
        const std::uint16_t tile = map.m_tile[i];
        group.textures[i] = static_cast<std::uint8_t>(tile <= lastTile ? number[tile] : 0);
        group.rotations[i] = RotationCode(map.m_mirror[i], map.m_flip[i]);
    }

    group.index = "TERRAIN HEIGHTMAP=" + group.names.heights +
                  " TEXTUREMAP=" + group.names.textures + " ROTMAP=" + group.names.rotations +
                  "\r\n";
    for (std::size_t k = 1; k <= tileOfNumber.size(); ++k)
        group.index += "TERRATEX INDEX=" + std::to_string(k) +
                       " TEXTUREFILE=" + doc.m_tiles.m_strTileName[tileOfNumber[k - 1]] +
                       ".PCX\r\n";
    return group;
}

HeightGroup ExportHeightGroup(const CMainDoc& doc, const std::filesystem::path& chosen) {
    HeightGroup group = BuildHeightGroup(doc, chosen.filename().string());
    const std::filesystem::path folder = chosen.parent_path();
    const std::span<const std::uint8_t> contents[] = {
        group.heights,
        group.textures,
        group.rotations,
        {reinterpret_cast<const std::uint8_t*>(group.index.data()), group.index.size()}};
    const std::vector<std::string> names = group.names.All();
    std::vector<std::string> written;
    for (std::size_t f = 0; f < names.size(); ++f) {
        try {
            WriteFileAtomically(folder / names[f], contents[f]);
        } catch (const FileError& e) {
            throw HeightGroupError(e, written);
        }
        written.push_back(names[f]);
    }
    return group;
}
