#pragma once

#include "Picture.h"

#include <string>

// Drawing operations on the map view's frame picture. x counts pixel columns from the left and
// y pixel rows from the top of the frame; cells are drawn at 1/step of the tile's 128 pixels.

// `tile` is a 128 x 128 tile picture, or one already reduced by ReduceTile and drawn with step 1.

// Draws `tile` with its top-left corner at (x, y) with a flat brightness: 0 copies the tile,
// below -128 gives black, above 200 white, otherwise the value is added to blue, green and red
// with saturation. The fourth byte of each pixel stays as it is.
void DrawTile(Picture& frame, int x, int y, const Picture& tile, int brightness, int flip,
              int mirror, int step);

// Draws `tile` with a brightness interpolated bilinearly between the four corner values
// (top-left, top-right, bottom-left, bottom-right), each term truncated towards zero.
void DrawTileShaded(Picture& frame, int x, int y, const Picture& tile, int topLeft, int topRight,
                    int bottomLeft, int bottomRight, int flip, int mirror, int step);

// The tile as drawing it at 1/step size samples it, unmirrored and unflipped: an n x n picture
// (n = 128 / step) that draws with step 1 exactly as the tile draws with `step`.
Picture ReduceTile(const Picture& tile, int step);

// A pale green vertical line at column x on the rows y0 - 1 .. y1 - 1 (the row above each
// given row). Rows outside the frame are skipped.
void FrameVLine(Picture& frame, int x, int y0, int y1);

// A light grey horizontal line on the row y - 1, from column x0 to x1.
void FrameHLine(Picture& frame, int x0, int x1, int y);

constexpr std::uint32_t kGridVColor = MakeColor(200, 230, 200);
constexpr std::uint32_t kGridHColor = MakeColor(210, 210, 210);

// A number as "%f" prints it with the trailing zeros (and then a trailing point) removed,
// so whole numbers print as plain integers.
std::string NumberText(double number);
