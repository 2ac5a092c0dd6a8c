#pragma once

#include "Commands.h"

#include <QString>

#include <filesystem>
#include <memory>

class CMainFrame;
class CSplitterFrame;

// The application object: checks at start-up that there are tiles to load, creates the main
// window and the first map, and handles the application-wide commands (new map window, about,
// exit).
class CEditorApp : public CCommandTarget {
public:
    // Exit code when no terrain tiles are found at start-up.
    static constexpr int kExitNoTiles = 255;
    static const QString kNoTilesMessage;

    CEditorApp();
    ~CEditorApp() override;

    // Start-up, then the event loop. Returns the process exit code.
    int Run();
    // Start-up only: false when the program must end at once with ExitCode().
    bool InitInstance();
    int ExitCode() const { return m_nExitCode; }

    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }

    // True when the working directory's tile folder holds at least one .bmp file.
    static bool HasTerrainTiles(const std::filesystem::path& workDir);

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

    std::unique_ptr<CMainFrame> m_pMainFrame;
    int m_nUntitledCount = 0;
    int m_nExitCode = 0;
};
