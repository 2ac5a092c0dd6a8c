#pragma once

#include "Limits.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

class CMainDoc;
class CDocObserver;

// Heights read from a file and not yet in a document: kPlaneCells values, cell (x, y) at
// CellIndex(x, y). A reader starts from a copy of the document's heights, so the cells its file
// does not cover keep their height, and the plane reaches the document only once the whole file
// was read and found good.
using HeightPlane = std::vector<std::uint8_t>;

// A copy of the document's height plane, to read a file into.
HeightPlane StagingHeights(const CMainDoc& doc);

// Puts `heights` into the document as one undoable step: takes the undo snapshot, replaces the
// height plane, marks the map modified, asks for a full redraw and updates every view but
// `sender`. Tiles, flags and the map size stay as they are.
void ApplyImportedHeights(CMainDoc& doc, const HeightPlane& heights, CDocObserver* sender);

// Reads at most `limit` bytes from the start of `path`; `fileSize` receives the file's whole
// length. Throws FileError naming the file when it cannot be opened or read.
std::vector<std::uint8_t> ReadFileHead(const std::filesystem::path& path, std::size_t limit,
                                       std::uintmax_t& fileSize);

// Picture files above this size are refused before they are read: no heightmap picture that
// covers 512 x 512 cells comes near it.
constexpr std::size_t kMaxHeightPictureBytes = 256u << 20;

// Reads a whole heightmap picture file; throws FileError when it cannot be read, is empty or is
// larger than kMaxHeightPictureBytes.
std::vector<std::uint8_t> ReadHeightPicture(const std::filesystem::path& path);
