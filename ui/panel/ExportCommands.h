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

// File > Export > "glTF Binary (*.glb)": the save dialog for a .glb file, then the whole map as
// a textured glTF mesh, one metre a cell, with a progress dialog whose Cancel stops before the
// file is written. A failure, a cancel and cells without a tile are reported; the document is
// not changed. Returns true when the file was written.
bool OnExportGltf(const CMainDoc& doc, FileDialogRecord& record, QWidget* parent);
