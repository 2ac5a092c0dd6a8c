#include "TileGroup.h"

#include <cstring>

void TileGroup::Init(const std::string& code) {
    strCode = code;
    for (int& v : versionUsed)
        v = -1;
    std::memset(lastEntry, -1, sizeof lastEntry);
    std::memset(entryTile, 0, sizeof entryTile);
    std::memset(entryMirror, 0, sizeof entryMirror);
    std::memset(entryFlip, 0, sizeof entryFlip);
    for (int& m : multiUsed)
        m = 0;
    std::memset(multiTile, 0, sizeof multiTile);
    std::memset(multiMaxCol, 0, sizeof multiMaxCol);
    std::memset(multiMaxRow, 0, sizeof multiMaxRow);
}

bool TileGroup::Append(int version, int slot, std::uint16_t tile, std::uint8_t mirror,
                       std::uint8_t flip) {
    if (lastEntry[version][slot] >= kMaxEntries - 1)
        return false;
    const int e = ++lastEntry[version][slot];
    entryTile[version][slot][e] = tile;
    entryMirror[version][slot][e] = mirror;
    entryFlip[version][slot][e] = flip;
    return true;
}
