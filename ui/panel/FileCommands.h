#pragma once

#include <QString>

class CMainDoc;
class CDocObserver;
class QWidget;
class FileError;

// The file dialog settings shared by every file command of a map window: each command sets
// the filter and the default extension; the folder and the file name carry over from one
// command to the next.
struct FileDialogRecord {
    QString filter;
    QString defaultExt; // without the dot; added when the user types a name without one
    QString folder;
    QString fileName;
};

// Asks for a file to write or read; returns an empty string when the user cancels.
QString AskSaveFileName(QWidget* parent, FileDialogRecord& record, const QString& caption);
QString AskOpenFileName(QWidget* parent, FileDialogRecord& record, const QString& caption);

// Shows a failed file command: `outcome` ("The map was not saved."), then the error's text.
void ShowFileError(QWidget* parent, const QString& caption, const QString& outcome,
                   const FileError& e);

// "&Save Map [TER]": asks for a file and writes the map to it. A failure is shown and leaves an
// existing file as it was. Returns true when the map was saved.
bool OnSaveMap(CMainDoc& doc, FileDialogRecord& record, QWidget* parent, CDocObserver* panel);

// "&Load Map [TER]": asks for a file and reads it into the map; a file that cannot be used is
// shown and leaves the map as it was. Returns true when a map was loaded.
bool OnLoadMap(CMainDoc& doc, FileDialogRecord& record, QWidget* parent, CDocObserver* panel);

// Reads the map file `path` into the map as "Load Map" does once its file is chosen.
bool LoadMapFile(CMainDoc& doc, const QString& path, QWidget* parent, CDocObserver* panel);
