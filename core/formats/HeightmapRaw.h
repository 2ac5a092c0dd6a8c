#pragma once

#include "HeightImport.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>

class CMainDoc;
class CDocObserver;

// RAW height files: the whole 512 x 512 height plane, one byte per cell and no header, whatever
// the map size. The byte of cell (x, y) stands at offset x * 512 + y: run x of 512 bytes holds
// the heights of y = 0 ... 511.
constexpr std::size_t kRawHeightBytes = kPlaneCells;

// What a RAW import found.
struct RawImportResult {
    std::uintmax_t fileBytes = 0; // the file's length; only the first kRawHeightBytes are used
    bool FullPlane() const { return fileBytes == kRawHeightBytes; }
};

// Copies the first min(size, kRawHeightBytes) bytes of `data` into `heights` in file order; the
// rest of `heights` stays. Returns the number of bytes used.
std::size_t ParseRawHeights(const std::uint8_t* data, std::size_t size, HeightPlane& heights);

// Reads `path` into the document's heights as one undoable step (HeightImport.h). A file of
// another length than kRawHeightBytes is read as far as it goes; the result tells its length. An
// empty or unreadable file throws FileError and changes nothing.
RawImportResult ImportRawHeights(CMainDoc& doc, const std::filesystem::path& path,
                                 CDocObserver* sender = nullptr);

// Writes the height plane to `path` through a temporary file (AtomicFile). Throws FileError on
// failure; an existing file then stays as it was. The document is not changed.
void ExportRawHeights(const CMainDoc& doc, const std::filesystem::path& path);
