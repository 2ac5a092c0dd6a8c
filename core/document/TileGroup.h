#pragma once

#include "Limits.h"

#include <cstdint>
#include <string>

// One tile group: the tiles whose names share a 4-character group code, sorted into entry
// lists by version (0..4) and kind slot (0..15), plus up to ten multi-tile pictures.
struct TileGroup {
    std::string strCode;
    int versionUsed[kVersions];
    std::int8_t lastEntry[kVersions][kKindSlots];
    std::uint16_t entryTile[kVersions][kKindSlots][kMaxEntries];
    std::uint8_t entryMirror[kVersions][kKindSlots][kMaxEntries];
    std::uint8_t entryFlip[kVersions][kKindSlots][kMaxEntries];
    int multiUsed[kMultiPictures];
    std::uint8_t multiTile[kMultiPictures][10][10];
    std::int8_t multiMaxCol[kMultiPictures];
    std::int8_t multiMaxRow[kMultiPictures];

    // Gives the record the initial values of a newly created group.
    void Init(const std::string& code);

    // Appends an entry to list (version, slot). Returns false (and adds nothing) when the
    // list already holds kMaxEntries entries.
    bool Append(int version, int slot, std::uint16_t tile, std::uint8_t mirror, std::uint8_t flip);

    int EntryCount(int version, int slot) const { return lastEntry[version][slot] + 1; }
};
