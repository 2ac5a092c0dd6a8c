#pragma once

#include "MainDoc.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// A view of a document that counts the updates it is told of.
struct CountingView : CDocObserver {
    void OnDocUpdate(CDocObserver* sender, int hint) override {
        ++updates;
        lastSender = sender;
        lastHint = hint;
    }
    int updates = 0;
    CDocObserver* lastSender = nullptr;
    int lastHint = 0;
};

// A temporary folder removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

// Builds BMP files in memory for tests. `pixel(x, y)` gives 0x00RRGGBB for picture column x,
// row y counted from the top.
struct TestBmp {
    int width = 128;
    int height = 128;
    int bitCount = 24; // 8 or 24 (or anything else to write a file of that depth)
    bool topDown = false;
    bool padRows = true;                // rows padded to 4 bytes, as real files are
    std::vector<std::uint32_t> palette; // for 8-bit files; pixels then are palette indices
    std::vector<std::uint32_t> pixels;  // width * height, top row first

    static TestBmp Filled(int w, int h, std::uint32_t color);
    std::vector<std::uint8_t> Encode() const;
    void Write(const std::filesystem::path& path) const;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);

// Writes one plain 128 x 128 tile per colour into <workDir>/Textures: A0000000.BMP, B0000000.BMP...
void WritePlainTiles(const std::filesystem::path& workDir,
                     const std::vector<std::uint32_t>& colours);

// A work folder whose Textures folder holds the generated sample tile set, written once per run.
// Tests only read it.
const std::filesystem::path& SampleWorkDir();

class CMainDoc;
// Gives the document a tile library from names alone (no pictures, no files): one group with
// every tile slot, a full tile of each terrain and two single tiles. Fast enough for tests that
// run in a process of their own.
void UseNamedTiles(CMainDoc& doc);
// Sets the library's tile names (no pictures, no groups).
void SetLibrary(CMainDoc& doc, const std::vector<std::string>& names);

#ifdef QT_WIDGETS_LIB
#include <QSize>
#include <QString>

#include <memory>

class CSplitterFrame;
class QAbstractButton;
class QLineEdit;

// A map window around a new document on the tiles of `workDir`, shown at `size`; null when the
// document cannot start or the window does not show.
std::unique_ptr<CSplitterFrame> ShowMapWindow(const std::filesystem::path& workDir, QSize size);

// Replaces the text of `edit` by typing `text`, as the user would.
void TypeInto(QLineEdit* edit, const QString& text);
// Clicks a push button, or the indicator of a check box or radio button.
void ClickButton(QAbstractButton* button);
// Clicks `button` and returns the text of the message box this opens ("" if none), closing it.
QString MessageOnClick(QAbstractButton* button);
#endif
