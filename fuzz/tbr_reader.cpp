// Feeds arbitrary bytes to the TBR reader and, when they parse, renumbers the brush against a
// small tile library, then checks that the brush's extent fits its record and that every entry
// within it holds a library tile or the missing-tile index.
#include "Limits.h"
#include "TbrFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string library[] = {"GRASA000", "ROCKA000", "SANDA000", "GRASA000"};
    TbrBrush brush;
    std::string error;
    if (!ParseTbr(data, size, brush, error))
        return 0;
    const BrushRecord b = RenumberTbrBrush(brush, library);
    if (b.lastCol < -1 || b.lastCol > 49 || b.lastRow < -1 || b.lastRow > 49 ||
        brush.tileNames.size() > static_cast<std::size_t>(kMaxTiles))
        __builtin_trap();
    for (int a = 0; a <= b.lastCol; ++a)
        for (int r = 0; r <= b.lastRow; ++r)
            if (b.brushTile[a][r] > 3 && b.brushTile[a][r] != kMissingTile)
                __builtin_trap();
    return 0;
}
