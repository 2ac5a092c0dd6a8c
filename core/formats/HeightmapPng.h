#pragma once

#include "HeightImport.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

class CMainDoc;
class CDocObserver;

// PNG heightmaps. Picture pixel (x, y), counted from the top left, is cell (x, y), so the
// picture looks like the map view.
//
// Export: a 512 x 512 greyscale picture of 16 bits per sample holding the whole height plane,
// height h stored as h * 257 (0 ... 65535).
// Import: greyscale, palette or colour pictures of 1 to 16 bits per sample. Colour is turned to
// grey, transparency is ignored, 16-bit samples round to the nearest height (v / 257). The part
// of the picture that fits 512 x 512 cells is used; the other cells keep their height.

// Pictures wider or taller than this are refused.
constexpr int kMaxPngSide = 16384;

// Whether a read checks the chunks' CRCs. Only the fuzz target skips them, so that mutated files
// reach the decoder instead of stopping at the first checksum.
enum class PngCrc { Check, Ignore };

// Parses a whole PNG file into `heights`. Returns false and says why in `error` when the file
// cannot be used; `heights` is then to be discarded.
bool ParsePngHeights(const std::uint8_t* data, std::size_t size, HeightPlane& heights,
                     std::string& error, PngCrc crc = PngCrc::Check);

// Encodes the whole height plane `heights` as the 16-bit PNG file described above. Returns
// false and says why in `error` when libpng fails.
bool EncodePngHeights(const HeightPlane& heights, std::vector<std::uint8_t>& png,
                      std::string& error);

// Reads `path` into the document's heights as one undoable step (HeightImport.h). A file that
// cannot be used throws FileError and changes nothing.
void ImportPngHeights(CMainDoc& doc, const std::filesystem::path& path,
                      CDocObserver* sender = nullptr);

// Writes the height plane to `path` through a temporary file (AtomicFile). Throws FileError on
// failure; an existing file then stays as it was. The document is not changed.
void ExportPngHeights(const CMainDoc& doc, const std::filesystem::path& path);
