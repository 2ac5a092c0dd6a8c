#include "HeightmapBmp.h"

#include "BmpFile.h"
#include "FileError.h"
#include "MainDoc.h"

#include <algorithm>

bool ParseBmpHeights(std::vector<std::uint8_t> data, HeightPlane& heights, std::string& error) {
    BmpFile bmp;
    if (!BmpFile::Parse(std::move(data), bmp, error))
        return false;
    if (bmp.bitCount != 8) {
        error = "the BMP picture has " + std::to_string(bmp.bitCount) +
                " bits per pixel; a heightmap needs 8 (one colour index per pixel)";
        return false;
    }
    const int width = std::min(bmp.width, kMaxMapSize);
    const int height = std::min(bmp.height, kMaxMapSize);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bmp.RowFromBottom(bmp.height - 1 - y);
        for (int x = 0; x < width; ++x)
            heights[CellIndex(x, y)] = row[x];
    }
    return true;
}

void ImportBmpHeights(CMainDoc& doc, const std::filesystem::path& path, CDocObserver* sender) {
    HeightPlane heights = StagingHeights(doc);
    std::string error;
    if (!ParseBmpHeights(ReadHeightPicture(path), heights, error))
        throw FileError(path.string(), "Could not import the heightmap", error);
    ApplyImportedHeights(doc, heights, sender);
}
