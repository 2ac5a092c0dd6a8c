#pragma once

#include "IntegerField.h"
#include "Limits.h"

#include <string_view>

class CMainDoc;

// New Map: takes the undo snapshot, then sets every cell of the four planes to zero over the
// whole 512 x 512 extent (not only the map area) and asks for a full redraw. The map size,
// tiles, brushes and settings stay.
void ClearMapPlanes(CMainDoc& doc);

constexpr int kMinMapSize = 1;

using SizeFieldError = FieldError;
using SizeField = IntegerField;

// Reads the text of an X or Y size box: a whole number, blanks around it allowed, in 1..512.
SizeField ParseMapSizeField(std::string_view text);

// Sets the editing area to width x height cells; the planes keep every cell. Sizes outside
// 1..512 are refused: nothing changes and the result is false.
bool ApplyMapSize(CMainDoc& doc, int width, int height);
