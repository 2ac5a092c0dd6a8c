#include "HeightmapCommands.h"

#include "FileError.h"
#include "HeightGroup.h"
#include "HeightmapBmp.h"
#include "HeightmapPng.h"
#include "HeightmapRaw.h"
#include "MainDoc.h"

#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include <functional>

namespace {

const QString kImportCaption = QStringLiteral("Import Heightmap");
const QString kExportCaption = QStringLiteral("Export Heightmap");
const QString kGroupCaption = QStringLiteral("Export Height Format File Group");

enum class Kind { Raw, Bmp, Png };

void UseFiles(FileDialogRecord& record, Kind kind) {
    switch (kind) {
    case Kind::Raw:
        record.filter = QStringLiteral("RAW Image Files (*.RAW)");
        record.defaultExt = QStringLiteral("raw");
        break;
    case Kind::Bmp:
        record.filter = QStringLiteral("BMP Image Files (*.BMP)");
        record.defaultExt = QStringLiteral("bmp");
        break;
    case Kind::Png:
        record.filter = QStringLiteral("PNG Image Files (*.PNG)");
        record.defaultExt = QStringLiteral("png");
        break;
    }
}

void ShowFailure(QWidget* parent, const QString& caption, const QString& outcome,
                 const FileError& e) {
    QMessageBox::warning(parent, caption,
                         QStringLiteral("%1\n\n%2").arg(outcome, QString::fromStdString(e.what())));
}

// Asks for a file of `kind` (to read, or to write when `save`) and hands it to `run`; a
// FileError is shown beginning with `outcome`.
bool RunFileCommand(FileDialogRecord& record, QWidget* parent, Kind kind, bool save,
                    const QString& outcome,
                    const std::function<void(const std::filesystem::path&)>& run) {
    UseFiles(record, kind);
    const QString caption = save ? kExportCaption : kImportCaption;
    const QString path =
        save ? AskSaveFileName(parent, record, caption) : AskOpenFileName(parent, record, caption);
    if (path.isEmpty())
        return false;
    try {
        run(path.toStdString());
    } catch (const FileError& e) {
        ShowFailure(parent, caption, outcome, e);
        return false;
    }
    return true;
}

bool RunImport(FileDialogRecord& record, QWidget* parent, Kind kind,
               const std::function<void(const std::filesystem::path&)>& import) {
    return RunFileCommand(record, parent, kind, false,
                          QStringLiteral("The heights were not imported."), import);
}

bool RunExport(FileDialogRecord& record, QWidget* parent, Kind kind,
               const std::function<void(const std::filesystem::path&)>& write) {
    return RunFileCommand(record, parent, kind, true,
                          QStringLiteral("The heightmap was not exported."), write);
}

QStringList ToQt(const std::vector<std::string>& names) {
    QStringList list;
    for (const std::string& name : names)
        list << QString::fromStdString(name);
    return list;
}

} // namespace

bool IsHeightmapCommand(CommandId id) {
    switch (id) {
    case CommandId::ImportHeightRaw:
    case CommandId::ImportHeightBmp:
    case CommandId::ImportHeightPng:
    case CommandId::ExportHeightRaw:
    case CommandId::ExportHeightPng:
    case CommandId::ExportHeightGroup:
        return true;
    default:
        return false;
    }
}

bool RunHeightmapCommand(CommandId id, CMainDoc& doc, FileDialogRecord& record, QWidget* parent,
                         CDocObserver* panel) {
    switch (id) {
    case CommandId::ImportHeightRaw:
        return OnImportRawHeights(doc, record, parent, panel);
    case CommandId::ImportHeightBmp:
        return OnImportBmpHeights(doc, record, parent, panel);
    case CommandId::ImportHeightPng:
        return OnImportPngHeights(doc, record, parent, panel);
    case CommandId::ExportHeightRaw:
        return OnExportRawHeights(doc, record, parent);
    case CommandId::ExportHeightPng:
        return OnExportPngHeights(doc, record, parent);
    case CommandId::ExportHeightGroup:
        return OnExportHeightGroup(doc, record, parent);
    default:
        return false;
    }
}

bool OnImportRawHeights(CMainDoc& doc, FileDialogRecord& record, QWidget* parent,
                        CDocObserver* panel) {
    RawImportResult result;
    QString name;
    if (!RunImport(record, parent, Kind::Raw, [&](const std::filesystem::path& path) {
            result = ImportRawHeights(doc, path, panel);
            name = QString::fromStdString(path.filename().string());
        }))
        return false;
    if (!result.FullPlane()) {
        const bool shorter = result.fileBytes < kRawHeightBytes;
        QMessageBox::information(
            parent, kImportCaption,
            QStringLiteral("%1 is %2 than a full height plane: it has %3 bytes, a plane %4. %5")
                .arg(name, shorter ? QStringLiteral("shorter") : QStringLiteral("longer"))
                .arg(result.fileBytes)
                .arg(kRawHeightBytes)
                .arg(shorter ? QStringLiteral("Its bytes were read; the other heights stay.")
                             : QStringLiteral("Only the first %1 bytes were read.")
                                   .arg(kRawHeightBytes)));
    }
    return true;
}

bool OnImportBmpHeights(CMainDoc& doc, FileDialogRecord& record, QWidget* parent,
                        CDocObserver* panel) {
    return RunImport(record, parent, Kind::Bmp, [&](const std::filesystem::path& path) {
        ImportBmpHeights(doc, path, panel);
    });
}

bool OnImportPngHeights(CMainDoc& doc, FileDialogRecord& record, QWidget* parent,
                        CDocObserver* panel) {
    return RunImport(record, parent, Kind::Png, [&](const std::filesystem::path& path) {
        ImportPngHeights(doc, path, panel);
    });
}

bool OnExportRawHeights(const CMainDoc& doc, FileDialogRecord& record, QWidget* parent) {
    return RunExport(record, parent, Kind::Raw,
                     [&](const std::filesystem::path& path) { ExportRawHeights(doc, path); });
}

bool OnExportPngHeights(const CMainDoc& doc, FileDialogRecord& record, QWidget* parent) {
    return RunExport(record, parent, Kind::Png,
                     [&](const std::filesystem::path& path) { ExportPngHeights(doc, path); });
}

bool OnExportHeightGroup(const CMainDoc& doc, FileDialogRecord& record, QWidget* parent) {
    UseFiles(record, Kind::Raw);
    const QString path = AskSaveFileName(parent, record, kGroupCaption);
    if (path.isEmpty())
        return false;
    HeightGroup group;
    try {
        group = ExportHeightGroup(doc, path.toStdString());
    } catch (const HeightGroupError& e) {
        const QString written =
            e.Written().empty()
                ? QStringLiteral("No file of the group was written.")
                : QStringLiteral("Written: %1.").arg(ToQt(e.Written()).join(QStringLiteral(", ")));
        QMessageBox::warning(
            parent, kGroupCaption,
            QStringLiteral("The height format file group was not completely written.\n\n%1\n\n%2")
                .arg(QString::fromStdString(e.what()), written));
        return false;
    }
    if (group.Wrapped())
        QMessageBox::information(
            parent, kGroupCaption,
            QStringLiteral("%1 textures are in use: texture numbers above 255 wrapped to their low "
                           "8 bits in %2.")
                .arg(group.texturesInUse)
                .arg(QString::fromStdString(group.names.textures)));
    return true;
}
