#include "BrushCommands.h"

#include "BrushStrip.h"
#include "FileError.h"
#include "MainDoc.h"
#include "TbrFile.h"
#include "ToolCodes.h"

namespace {

void UseTbrFiles(FileDialogRecord& record) {
    record.filter = QStringLiteral("TBR Brush Files (*.TBR)");
    record.defaultExt = QStringLiteral("tbr");
    record.fileName.clear();
}

} // namespace

bool OnSaveBrush(const CMainDoc& doc, FileDialogRecord& record, QWidget* parent) {
    const int k = SelectedBrush(doc);
    if (k < 0)
        return false;
    UseTbrFiles(record);
    const QString path = AskSaveFileName(parent, record, QStringLiteral("Save Brush"));
    if (path.isEmpty())
        return false;
    try {
        SaveTbrFile(doc, k, path.toStdString());
    } catch (const FileError& e) {
        ShowFileError(parent, QStringLiteral("Save Brush"),
                      QStringLiteral("The brush was not saved."), e);
        return false;
    }
    return true;
}

bool OnLoadBrush(CMainDoc& doc, FileDialogRecord& record, QWidget* parent, CDocObserver* panel) {
    if (doc.m_nLastBrush >= kMaxBrushes - 1)
        return false;
    UseTbrFiles(record);
    const QString path = AskOpenFileName(parent, record, QStringLiteral("Load Brush"));
    if (path.isEmpty())
        return false;
    try {
        return LoadTbrFile(doc, path.toStdString(), panel) >= 0;
    } catch (const FileError& e) {
        ShowFileError(parent, QStringLiteral("Load Brush"),
                      QStringLiteral("The brush was not loaded."), e);
        return false;
    }
}
