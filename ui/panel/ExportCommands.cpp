#include "ExportCommands.h"

#include "ExportT3dDlg.h"
#include "FileCommands.h"
#include "FileError.h"
#include "GltfExport.h"
#include "MainDoc.h"
#include "T3dExport.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>

namespace {

const QString kCaption = QStringLiteral("Export to UnrealEd T3D");

// What the user should know after an export; empty when every piece was written with its
// texture.
QString Outcome(const T3dExportResult& r, bool entireMap) {
    QStringList lines;
    if (r.failure)
        lines << (entireMap ? QStringLiteral("The export stopped.")
                            : QStringLiteral("The piece was not written."))
              << QString::fromStdString(r.failure->what());
    else if (r.stopped)
        lines << QStringLiteral("The export was cancelled.");
    if (entireMap && (r.failure || r.stopped))
        lines << QStringLiteral("%1 of %2 pieces were written.")
                     .arg(r.piecesWritten)
                     .arg(r.piecesTotal);
    if (r.cellsWithoutTile > 0)
        lines << QStringLiteral("%1 exported cell(s) have no tile; their polygons were written "
                                "without a texture.")
                     .arg(r.cellsWithoutTile);
    return lines.join(QStringLiteral("\n\n"));
}

// Sets up the save dialog for an export file. A name carried over from another command keeps its
// stem but takes the export's extension, so that accepting the dialog as it opens never writes
// over a map file.
void UseExportFiles(FileDialogRecord& record, const QString& filter, const QString& extension) {
    record.filter = filter;
    record.defaultExt = extension;
    if (!record.fileName.isEmpty())
        record.fileName = QFileInfo(record.fileName).completeBaseName() + "." + extension;
}

// A progress window for an export that stays open, and counts on, until the export returns.
void SetUpProgress(QProgressDialog& progress, const QString& caption) {
    progress.setWindowTitle(caption);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
}

} // namespace

bool OnExportT3d(const CMainDoc& doc, T3dChoices& choices, FileDialogRecord& record,
                 QWidget* parent) {
    CExportT3dDlg dlg(parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    choices.Accept(dlg.m_nSize, dlg.m_nLocation);
    const bool entireMap = choices.m_nT3dLocation == 1;
    const int total = T3dPiecesToWrite(doc, choices);
    if (total == 0) {
        QMessageBox::information(
            parent, kCaption,
            QStringLiteral("The map (%1 x %2 cells) is smaller than one piece of %3 x %3 cells: "
                           "there is nothing to export.")
                .arg(doc.m_map.m_nSizeX)
                .arg(doc.m_map.m_nSizeY)
                .arg(choices.m_nPieceX));
        return false;
    }

    UseExportFiles(record, QStringLiteral("T3D Brush Data Files (*.T3D)"), QStringLiteral("t3d"));
    const QString path = AskSaveFileName(parent, record, kCaption);
    if (path.isEmpty())
        return false;

    T3dExportResult result;
    if (entireMap) {
        QProgressDialog progress(QString(), QStringLiteral("Cancel"), 0, total, parent);
        SetUpProgress(progress, kCaption);
        const auto show = [&progress](int written, int count) {
            progress.setLabelText(
                QStringLiteral("%1 of %2 pieces written").arg(written).arg(count));
            progress.setValue(written); // also handles the Cancel button
            return !progress.wasCanceled();
        };
        show(0, total);
        result = ExportT3d(doc, choices, path.toStdString(), show);
    } else {
        result = ExportT3d(doc, choices, path.toStdString());
    }

    const QString outcome = Outcome(result, entireMap);
    if (result.failure)
        QMessageBox::warning(parent, kCaption, outcome);
    else if (!outcome.isEmpty())
        QMessageBox::information(parent, kCaption, outcome);
    return !result.failure && !result.stopped;
}

bool OnExportGltf(const CMainDoc& doc, FileDialogRecord& record, QWidget* parent) {
    const QString caption = QStringLiteral("Export to glTF");
    UseExportFiles(record, QStringLiteral("glTF Binary (*.glb)"), QStringLiteral("glb"));
    const QString path = AskSaveFileName(parent, record, caption);
    if (path.isEmpty())
        return false;

    GltfExportResult result;
    {
        QProgressDialog progress(QStringLiteral("Writing %1 ...").arg(QFileInfo(path).fileName()),
                                 QStringLiteral("Cancel"), 0, 1, parent);
        SetUpProgress(progress, caption);
        const auto show = [&progress](int done, int total) {
            progress.setMaximum(total);
            progress.setValue(done); // also handles the Cancel button
            return !progress.wasCanceled();
        };
        try {
            result = ExportGltf(doc, {}, path.toStdString(), show);
        } catch (const FileError& e) {
            progress.close();
            QMessageBox::warning(parent, caption,
                                 QStringLiteral("The file was not written.\n\n") +
                                     QString::fromStdString(e.what()));
            return false;
        }
    }
    if (result.stopped) {
        QMessageBox::information(parent, caption,
                                 QStringLiteral("The export was cancelled; no file was written."));
        return false;
    }
    if (result.cellsWithoutTile > 0)
        QMessageBox::information(
            parent, caption,
            QStringLiteral("%1 exported cell(s) have no tile; they have a plain grey material.")
                .arg(result.cellsWithoutTile));
    return true;
}
