#pragma once

#include "Commands.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <memory>

class CMainFrame;
class CSplitterFrame;
class QTimer;

// The application object: checks at start-up that there are tiles to load, creates the main
// window and the first map, and handles the application-wide commands (new map window, about,
// exit).
class CEditorApp : public CCommandTarget {
public:
    // Exit code when no terrain tiles are found at start-up.
    static constexpr int kExitNoTiles = 255;
    // Exit code for a command-line argument that cannot be used.
    static constexpr int kExitUsage = 2;
    static const QString kNoTilesMessage;

    CEditorApp();
    ~CEditorApp() override;

    // Start-up, then the event loop. Returns the process exit code.
    int Run();
    // The same from the command line "terrain-editor [--sample] [FOLDER | MAP.ter]": works in
    // FOLDER, or in the map's folder and opens the map in the first window; --sample works in the
    // sample folder that comes with the program when no argument is given. --help and --version
    // print and end the process.
    // The hidden option --smoke-test makes start-up run without a user: a dialog that opens is
    // printed ("dialog: caption: text") and closed, and once the first window is up the editor
    // prints "opened: title (X x Y cells, N tiles) in FOLDER" and quits with 0.
    int Run(const QStringList& arguments);
    // Start-up only: false when the program must end at once with ExitCode().
    bool InitInstance();
    int ExitCode() const { return m_nExitCode; }

    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }

    // True when the working directory's tile folder holds at least one .bmp file.
    static bool HasTerrainTiles(const std::filesystem::path& workDir);
    // The "Error" dialog's text when `workDir` has no tiles: says where they were looked for and
    // how to start the editor on a project folder or, when there is one, the sample folder.
    static QString NoTilesMessage(const std::filesystem::path& workDir,
                                  const std::filesystem::path& sampleDir);

    // Opens a new map window around a new document. On failure it tells the user why and
    // opens nothing.
    CSplitterFrame* OnFileNew();

    bool HandlesCommand(CommandId id) const override;
    void OnCommand(CommandId id) override;

private:
    enum class NewMapResult { Opened, NoTiles, Failed };
    NewMapResult NewMap(bool atStartUp, CSplitterFrame** opened);
    void OnAppAbout();
    void ShowNoTilesError();
    void ArmSmokeTest();
    void ReportSmokeTest();

    std::unique_ptr<CMainFrame> m_pMainFrame;
    int m_nUntitledCount = 0;
    int m_nExitCode = 0;
    bool m_bStarted = false; // start-up is over: the event loop runs the editor
    std::unique_ptr<QTimer> m_pSmokeTimer;
};
