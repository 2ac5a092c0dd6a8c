#pragma once

#include "FileCommands.h"

class CMainDoc;
class CDocObserver;
class QWidget;

// The panel's "Save Brush" and "Load Brush" buttons: TBR brush files.

// "Save Brush": asks for a file and writes the selected custom brush (SelectedBrush) to it. Does
// nothing when no custom brush is selected. A failure is shown and leaves an existing file as it
// was. Returns true when the brush was saved.
bool OnSaveBrush(const CMainDoc& doc, FileDialogRecord& record, QWidget* parent);

// "Load Brush": asks for a file and reads it into the next free brush slot. Does nothing when
// all 20 slots are taken. A file that cannot be used is shown and changes no slot. Returns true
// when a brush was loaded.
bool OnLoadBrush(CMainDoc& doc, FileDialogRecord& record, QWidget* parent, CDocObserver* panel);
