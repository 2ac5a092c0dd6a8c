#pragma once

class CMainDoc;

// amount x weight / 100, rounded as (amount * weight + 49) / 100 with truncation; never 0:
// a weighted step keeps at least its sign.
int ScaleByWeight(int amount, int weight);

// Moves the cell's height toward (smooth) or away from (roughen) the mean of its side
// neighbours inside the map, by weight percent of 10/13 of the difference.
void SmoothCell(CMainDoc& doc, int x, int y, int weight);
void RoughenCell(CMainDoc& doc, int x, int y, int weight);

// The pen gradient direction for a dragged rectangle: the Gradient axis (0 diagonal,
// 1 vertical, 2 horizontal, 3 mound) pointed at the side or corner where the higher of the
// anchor and release cells lies.
int GradientDirection(int axis, int anchorX, int anchorY, int releaseX, int releaseY,
                      int anchorHeight, int releaseHeight);
