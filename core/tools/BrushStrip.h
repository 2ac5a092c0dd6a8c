#pragma once

#include "Picture.h"

class CMainDoc;

// The brush strip along the bottom of a map window: the items of the current selection (tile
// slots, single tiles, group stamps or custom brushes) as a row of 64-pixel thumbnails. This is
// everything the strip decides; the widget shows the picture and passes clicks on.

constexpr int kStripItemPixels = 64;    // each item box is 128 / 2 pixels wide
constexpr int kStripMinWidth = 1281;    // the picture is at least this wide...
constexpr int kStripPictureHeight = 65; // ...and this tall; items start on its second row
constexpr int kStripHighlight = 64;     // the selected item is brightened by this much

// Index of the last strip item under the current selection kind (-1: none): 13 for the tile
// slots, the single-tile list's last entry, the highest group stamp in use, the last custom
// brush; 0 for an unknown kind.
int LastItem(const CMainDoc& doc);

// The divisor of a group stamp or custom brush whose larger last index (column or row) is `m`:
// each piece is drawn 128 / divisor pixels square, so that the whole fits the 64-pixel box.
int StripDivisor(int m);

// The item under strip column x.
constexpr int StripItemAt(int x) {
    return x < 0 ? -1 : x / kStripItemPixels;
}

// The selected custom brush while the strip shows custom brushes, else -1. A selected item
// beyond the last brush counts as the last one, as the strip shows it.
int SelectedBrush(const CMainDoc& doc);

// Brings the selected item back into range when it lies beyond the last item.
void ClampStripSelection(CMainDoc& doc);

class BrushStrip {
public:
    // Draws the items of the document's selection into the picture, the selected one brightened,
    // and returns it. Brings the selected item into range first and clears the document's
    // m_bStripChanged. The picture starts black at every paint, so nothing of an earlier
    // selection shows through items that draw nothing.
    const Picture& Paint(CMainDoc& doc);
    const Picture& Back() const { return m_back; }

private:
    Picture m_back;
};

// A left click at strip column x: selects the item there when there is one. Returns true when
// the selection changed.
bool StripLeftClick(CMainDoc& doc, int x);

// A right click at strip column x selects the item there (an item beyond the last one selects
// the last). Returns the custom brush for which the Custom Brush Action dialog is to be shown,
// or -1 when the click was not on a custom brush.
int StripRightClick(CMainDoc& doc, int x);
