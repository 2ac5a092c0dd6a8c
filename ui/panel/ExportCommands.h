#pragma once

class CMainDoc;
class QWidget;
struct FileDialogRecord;
struct T3dChoices;

// File > Export > "UnrealEd\tT3D Ascii Brush Format": the "Export to UnrealEd T3D" dialog, then
// the save dialog for a .t3d file. Writes one piece at the upper-left corner, or every whole
// piece of the map with a progress dialog whose Cancel stops after the piece being written.
// The accepted choices go to `choices`. A failed piece, a cancel and cells without a tile are
// reported; the document is not changed. Returns true when every piece was written.
bool OnExportT3d(const CMainDoc& doc, T3dChoices& choices, FileDialogRecord& record,
                 QWidget* parent);
