#pragma once

#include "HeightImport.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CMainDoc;
class CDocObserver;

// 8-bit BMP height pictures: each pixel's colour-table index is a height; the colours
// themselves are not looked at. Picture pixel (x, y), counted from the top left, is cell (x, y),
// for the part of the picture that fits 512 x 512 cells; the picture's own width, height, row
// padding and row order are honoured.

// Parses `data` into `heights`. Returns false and says why in `error` when the file is not an
// uncompressed 8-bit BMP or is cut short; `heights` is then to be discarded.
bool ParseBmpHeights(std::vector<std::uint8_t> data, HeightPlane& heights, std::string& error);

// Reads `path` into the document's heights as one undoable step (HeightImport.h). A file that
// cannot be used throws FileError and changes nothing.
void ImportBmpHeights(CMainDoc& doc, const std::filesystem::path& path,
                      CDocObserver* sender = nullptr);
