// Feeds arbitrary bytes to the BMP reader and, when they parse, touches every row it promises.
#include "BmpFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    BmpFile bmp;
    std::string error;
    if (!BmpFile::Parse(std::vector<std::uint8_t>(data, data + size), bmp, error))
        return 0;
    unsigned sum = 0;
    const int rowBytes = bmp.width * bmp.bitCount / 8;
    for (int r = 0; r < bmp.height; ++r) {
        const std::uint8_t* row = bmp.RowFromBottom(r);
        sum += row[0] + row[rowBytes - 1];
        if (bmp.bitCount == 8)
            sum += bmp.palette[row[0]];
    }
    return static_cast<int>(sum & 0);
}
