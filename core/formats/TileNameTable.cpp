#include "TileNameTable.h"

#include "Limits.h"
#include "TileLibrary.h"

#include <algorithm>
#include <cstring>

std::span<const std::string> LibraryTileNames(const TileLibrary& library) {
    const int count = std::clamp(library.m_nLastTile + 1, 0, kMaxTiles);
    return {library.m_strTileName.data(), static_cast<std::size_t>(count)};
}

void AppendTileNameTable(std::vector<std::uint8_t>& out, std::span<const std::string> names) {
    const auto lastIndex = static_cast<std::uint32_t>(static_cast<std::int32_t>(names.size()) - 1);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(lastIndex >> (8 * i)));
    for (const std::string& name : names) {
        std::uint8_t slot[kNameSlotSize] = {};
        std::memcpy(slot, name.data(), std::min<std::size_t>(name.size(), kNameSlotSize));
        out.insert(out.end(), slot, slot + kNameSlotSize);
    }
}

int TileNameSlotCount(std::int32_t lastIndex, std::string& error) {
    if (lastIndex < -1 || lastIndex >= kMaxTiles) {
        error = "the tile-name table gives its last index as " + std::to_string(lastIndex) +
                " (it must lie between -1 and " + std::to_string(kMaxTiles - 1) + ")";
        return -1;
    }
    return lastIndex + 1;
}

std::vector<std::string> DecodeTileNameSlots(const std::uint8_t* slots, int count) {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) {
        const char* slot = reinterpret_cast<const char*>(slots + k * kNameSlotSize);
        names.emplace_back(slot, strnlen(slot, kNameSlotSize));
    }
    return names;
}

std::vector<std::uint16_t> MatchTileNames(std::span<const std::string> fileNames,
                                          std::span<const std::string> libraryNames) {
    std::vector<std::uint16_t> table(fileNames.size(), kMissingTile);
    for (std::size_t k = 0; k < fileNames.size(); ++k)
        for (std::size_t j = 0; j < libraryNames.size(); ++j)
            if (libraryNames[j] == fileNames[k])
                table[k] = static_cast<std::uint16_t>(j);
    return table;
}

std::uint16_t RenumberTile(std::uint16_t stored, const std::vector<std::uint16_t>& table) {
    return stored < table.size() ? table[stored] : kMissingTile;
}
