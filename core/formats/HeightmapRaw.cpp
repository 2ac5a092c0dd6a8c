#include "HeightmapRaw.h"

#include "AtomicFile.h"
#include "FileError.h"
#include "MainDoc.h"

#include <cstring>

std::size_t ParseRawHeights(const std::uint8_t* data, std::size_t size, HeightPlane& heights) {
    const std::size_t used = size < kRawHeightBytes ? size : kRawHeightBytes;
    if (used > 0)
        std::memcpy(heights.data(), data, used);
    return used;
}

RawImportResult ImportRawHeights(CMainDoc& doc, const std::filesystem::path& path,
                                 CDocObserver* sender) {
    RawImportResult result;
    const std::vector<std::uint8_t> bytes = ReadFileHead(path, kRawHeightBytes, result.fileBytes);
    if (bytes.empty())
        throw FileError(path.string(), "Could not import the heightmap", "the file is empty");
    HeightPlane heights = StagingHeights(doc);
    ParseRawHeights(bytes.data(), bytes.size(), heights);
    ApplyImportedHeights(doc, heights, sender);
    return result;
}

void ExportRawHeights(const CMainDoc& doc, const std::filesystem::path& path) {
    WriteFileAtomically(path, doc.m_map.m_height);
}
