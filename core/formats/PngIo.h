#pragma once

// libpng's error and input/output callbacks, shared by the PNG reader and writer. libpng
// reports errors by longjmp to the setjmp of the function that drives it; functions that call
// setjmp therefore hold no local objects with destructors.

#include <cstddef>
#include <cstdint>
#include <png.h>
#include <vector>

struct PngIo {
    const std::uint8_t* data = nullptr; // reading
    std::size_t size = 0;
    std::size_t pos = 0;
    std::vector<std::uint8_t>* out = nullptr; // writing
    char message[512] = {};
    char warning[256] = {}; // the last warning: libpng often gives the cause of an error there
};

void PngOnError(png_structp png, png_const_charp message);
void PngOnWarning(png_structp png, png_const_charp message);
void PngReadFromMemory(png_structp png, png_bytep dst, png_size_t n);
void PngWriteToMemory(png_structp png, png_bytep src, png_size_t n);
void PngFlushMemory(png_structp png);
