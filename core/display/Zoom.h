#pragma once

class CMainDoc;

// Zoom k = 0..5 ("x1" .. "x32"): 128 >> k pixels per cell. The scroll position, and with it the
// top-left visible cell, stays as it is; the whole view is redrawn.
void ApplyZoom(CMainDoc& doc, int k);
