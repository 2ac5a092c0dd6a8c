#include "FileCommands.h"

#include "FileError.h"
#include "MainDoc.h"
#include "TerFile.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

const QString kTerFilter = QStringLiteral("TER Terrain Data Files (*.TER)");

// Qt's own dialog everywhere: the same on every desktop, and tests can answer it.
QString RunDialog(QWidget* parent, FileDialogRecord& record, const QString& caption, bool save) {
    QFileDialog dialog(parent, caption, record.folder, record.filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(record.defaultExt);
    if (!record.fileName.isEmpty())
        dialog.selectFile(record.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    QString path = dialog.selectedFiles().constFirst();
    // A typed name without an extension gets the command's default one.
    if (save && !record.defaultExt.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + record.defaultExt;
    const QFileInfo info(path);
    record.folder = info.absolutePath();
    record.fileName = info.fileName();
    return path;
}

void UseTerFiles(FileDialogRecord& record) {
    record.filter = kTerFilter;
    record.defaultExt = QStringLiteral("ter");
}

// After a save or a load the map belongs to `path` and has no unsaved changes.
void AdoptFile(CMainDoc& doc, const QString& path, CDocObserver* panel) {
    doc.AdoptFile(path.toStdString());
    doc.UpdateAllViews(panel);
}

} // namespace

void ShowFileError(QWidget* parent, const QString& caption, const QString& outcome,
                   const FileError& e) {
    QMessageBox::warning(parent, caption,
                         QStringLiteral("%1\n\n%2").arg(outcome, QString::fromStdString(e.what())));
}

QString AskSaveFileName(QWidget* parent, FileDialogRecord& record, const QString& caption) {
    return RunDialog(parent, record, caption, true);
}

QString AskOpenFileName(QWidget* parent, FileDialogRecord& record, const QString& caption) {
    return RunDialog(parent, record, caption, false);
}

bool OnSaveMap(CMainDoc& doc, FileDialogRecord& record, QWidget* parent, CDocObserver* panel) {
    UseTerFiles(record);
    const QString path = AskSaveFileName(parent, record, QStringLiteral("Save Map"));
    if (path.isEmpty())
        return false;
    try {
        SaveTerFile(doc, path.toStdString());
    } catch (const FileError& e) {
        ShowFileError(parent, QStringLiteral("Save Map"), QStringLiteral("The map was not saved."),
                      e);
        return false;
    }
    AdoptFile(doc, path, panel);
    return true;
}

bool OnLoadMap(CMainDoc& doc, FileDialogRecord& record, QWidget* parent, CDocObserver* panel) {
    UseTerFiles(record);
    const QString path = AskOpenFileName(parent, record, QStringLiteral("Load Map"));
    return !path.isEmpty() && LoadMapFile(doc, path, parent, panel);
}

bool LoadMapFile(CMainDoc& doc, const QString& path, QWidget* parent, CDocObserver* panel) {
    TerLoadResult result;
    try {
        result = LoadTerFile(doc, path.toStdString(), nullptr);
    } catch (const FileError& e) {
        ShowFileError(parent, QStringLiteral("Load Map"), QStringLiteral("The map was not loaded."),
                      e);
        return false;
    }
    AdoptFile(doc, path, panel);
    if (!result.hadNameTable) {
        QMessageBox::information(
            parent, QStringLiteral("Load Map"),
            QStringLiteral("%1 has no tile-name table. Its tile numbers were taken as they are and "
                           "may not match the tiles of this folder.")
                .arg(QFileInfo(path).fileName()));
    } else if (result.unmatchedNames > 0) {
        QMessageBox::information(
            parent, QStringLiteral("Load Map"),
            QStringLiteral("%1 tile name(s) of %2 are not in the tile folder; those cells show no "
                           "tile.")
                .arg(result.unmatchedNames)
                .arg(QFileInfo(path).fileName()));
    }
    return true;
}
