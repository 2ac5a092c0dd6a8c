#pragma once

// Fixed capacities of the map document. Every table is sized for its maximum.
constexpr int kMaxMapSize = 512; // cells along each axis
constexpr int kPlaneCells = kMaxMapSize * kMaxMapSize;
constexpr int kWorkStride = 513; // the work plane uses rows of 513 cells
constexpr int kMaxTiles = 500;
constexpr int kMaxGroups = 40;
constexpr int kVersions = 5;
constexpr int kKindSlots = 16;
constexpr int kMaxEntries = 30;
constexpr int kMultiPictures = 10;
constexpr int kMaxBrushes = 20;
constexpr int kBrushRecordSize = 15008;
constexpr int kMaxDirty = 201;
constexpr int kTileSize = 128; // tile pictures are 128 x 128 pixels
constexpr unsigned short kMissingTile = 65535;

// Plane index of cell (x, y): planes are stored x-major with rows of 512.
constexpr int CellIndex(int x, int y) {
    return x * kMaxMapSize + y;
}
