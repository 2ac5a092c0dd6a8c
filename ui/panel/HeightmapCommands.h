#pragma once

#include "Commands.h"
#include "FileCommands.h"

class CMainDoc;
class CDocObserver;
class QWidget;

// The File menu's heightmap imports (RAW, BMP, PNG) and exports (RAW, 16-bit PNG, the height
// format file group). Each asks for a file with the filter of its kind; a cancelled dialog does
// nothing. A failure is shown with the file and the reason and leaves the map (and, for an
// export, an existing file) as it was. Imports change the heights only, as one undoable step.

// True for the commands below.
bool IsHeightmapCommand(CommandId id);

// Runs one of them on `doc`; `panel` is the view that is not told of the change. Returns true
// when the map was changed or a file was written.
bool RunHeightmapCommand(CommandId id, CMainDoc& doc, FileDialogRecord& record, QWidget* parent,
                         CDocObserver* panel);

bool OnImportRawHeights(CMainDoc& doc, FileDialogRecord& record, QWidget* parent,
                        CDocObserver* panel);
bool OnImportBmpHeights(CMainDoc& doc, FileDialogRecord& record, QWidget* parent,
                        CDocObserver* panel);
bool OnImportPngHeights(CMainDoc& doc, FileDialogRecord& record, QWidget* parent,
                        CDocObserver* panel);
bool OnExportRawHeights(const CMainDoc& doc, FileDialogRecord& record, QWidget* parent);
bool OnExportPngHeights(const CMainDoc& doc, FileDialogRecord& record, QWidget* parent);
bool OnExportHeightGroup(const CMainDoc& doc, FileDialogRecord& record, QWidget* parent);
