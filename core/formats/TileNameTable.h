#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class TileLibrary;

// The tile-name table that ends map and brush files: int32 N (the index of the last tile), then
// N+1 slots of 8 bytes, slot k holding the name of tile k. A name of 8 characters fills its slot;
// a shorter one is followed by zero bytes. Files store tile indices into this table, so a file
// saved with one tile library can be loaded with another by matching names.

constexpr int kNameSlotSize = 8;

// The names of the library's tiles 0 ... m_nLastTile.
std::span<const std::string> LibraryTileNames(const TileLibrary& library);

// Appends the table for `names` (entry k is the name of tile k) to `out`. Names longer than a
// slot are cut to 8 characters.
void AppendTileNameTable(std::vector<std::uint8_t>& out, std::span<const std::string> names);

// The number of slots that follow a count field of `lastIndex`, or -1 when the count is out of
// range (the table holds at most kMaxTiles names); `error` then says why.
int TileNameSlotCount(std::int32_t lastIndex, std::string& error);

// The names held in `count` consecutive slots: each slot's characters up to its first zero byte.
std::vector<std::string> DecodeTileNameSlots(const std::uint8_t* slots, int count);

// For each name of a file's table, the library index of the same name (exact, case-sensitive;
// the highest index when the library repeats a name), or kMissingTile when the library has none.
std::vector<std::uint16_t> MatchTileNames(std::span<const std::string> fileNames,
                                          std::span<const std::string> libraryNames);

// A tile index stored in a file, translated through `table` from MatchTileNames. An index that
// the file's table does not cover (kMissingTile included) becomes kMissingTile.
std::uint16_t RenumberTile(std::uint16_t stored, const std::vector<std::uint16_t>& table);
