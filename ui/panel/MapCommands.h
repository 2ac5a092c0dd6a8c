#pragma once

#include <QPointer>

#include <functional>

class CMainDoc;
class CDocObserver;
class QWidget;
class CMiniMapDlg;

// The map-level commands of a map window that run a dialog. The tool panel calls them; `panel`
// is the panel as a view of the document (it is not notified of its own changes) and `parent`
// the widget the dialogs belong to.

// File > New Map: asks "Clear Map"; on OK takes the undo snapshot and clears all four planes
// over the whole 512 x 512 extent. Returns true when the map was cleared.
bool RunNewMap(CMainDoc& doc, CDocObserver* panel, QWidget* parent);

// "Resize Map": the editing area 1..512 x 1..512; the planes are kept. Returns true on OK.
bool RunResizeMap(CMainDoc& doc, CDocObserver* panel, QWidget* parent);

// The File menu's empty item: the inert "Project Customization" form.
void RunProjectSettings(QWidget* parent);

// "Map Info": the map and memory statistics.
void RunMapInfo(CMainDoc& doc, QWidget* parent);

// The "Mini Map" toggle. On: opens the "Map View" window (one pixel per cell) in `slot` if it
// is not open (or brings it to the front if it is). Off: closes it. The window is a child of
// `panel` and goes with it. `userClosed` is called when the user closes the window, so the
// panel can turn its toggle off.
void SetMiniMap(CMainDoc& doc, bool on, QWidget* panel, QPointer<CMiniMapDlg>& slot,
                std::function<void()> userClosed);
