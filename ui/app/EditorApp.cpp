#include "EditorApp.h"

#include "ErrorDlg.h"
#include "MainDoc.h"
#include "MainFrame.h"
#include "SplitterFrame.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

namespace fs = std::filesystem;

const QString CEditorApp::kNoTilesMessage = QStringLiteral(
    "Oops: No terrain tiles were found.  Terrain tiles (24-bit 128x128 BMP files) must be "
    "stored in the subdirectory TEXTURES.");

CEditorApp::CEditorApp() = default;

CEditorApp::~CEditorApp() = default;

bool CEditorApp::HasTerrainTiles(const fs::path& workDir) {
    return !TileLibrary::ListTileFiles(TileLibrary::TexturesDir(workDir)).empty();
}

int CEditorApp::Run() {
    if (!InitInstance())
        return m_nExitCode;
    return QApplication::exec();
}

bool CEditorApp::InitInstance() {
    std::error_code ec;
    const fs::path workDir = fs::current_path(ec);
    if (ec || !HasTerrainTiles(workDir)) {
        ShowNoTilesError();
        return false;
    }

    m_pMainFrame = std::make_unique<CMainFrame>(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize available = screen->availableSize();
        m_pMainFrame->resize(std::min(1024, available.width()), std::min(768, available.height()));
    }
    m_pMainFrame->show();

    // The first map. Should the tiles have gone in the meantime, end as if there were none.
    if (NewMap(true, nullptr) == NewMapResult::NoTiles) {
        m_pMainFrame->hide();
        ShowNoTilesError();
        return false;
    }
    return true;
}

void CEditorApp::ShowNoTilesError() {
    CErrorDlg dlg(kNoTilesMessage);
    dlg.exec();
    m_nExitCode = kExitNoTiles;
}

CSplitterFrame* CEditorApp::OnFileNew() {
    CSplitterFrame* frame = nullptr;
    NewMap(false, &frame);
    return frame;
}

CEditorApp::NewMapResult CEditorApp::NewMap(bool atStartUp, CSplitterFrame** opened) {
    std::error_code ec;
    fs::path workDir = fs::current_path(ec);
    auto doc = std::make_unique<CMainDoc>();
    if (!doc->OnNewDocument(workDir)) {
        const TileLoadReport& report = doc->LastLoadReport();
        const bool noTiles = report.status == TileLoadReport::Status::NoTiles;
        if (noTiles && atStartUp)
            return NewMapResult::NoTiles;
        const QString folder = QString::fromStdString(TileLibrary::TexturesDir(workDir).string());
        const QString text =
            noTiles ? QStringLiteral("No terrain tiles were found in the folder %1.\n\n"
                                     "No new map was opened.")
                          .arg(folder)
                    : QStringLiteral("A terrain tile could not be loaded:\n%1\n\n"
                                     "No new map was opened.")
                          .arg(QString::fromStdString(report.openFailure));
        QMessageBox::warning(m_pMainFrame.get(), CMainFrame::kTitle, text);
        return noTiles ? NewMapResult::NoTiles : NewMapResult::Failed;
    }

    // Report the unusable tile files once the window is open; the map works without them.
    const TileLoadReport report = doc->LastLoadReport();
    const QString title = QStringLiteral("Tri%1").arg(++m_nUntitledCount);
    CSplitterFrame* frame = m_pMainFrame->OpenMapWindow(std::move(doc), title);
    if (opened)
        *opened = frame;
    if (report.HasProblems()) {
        QMessageBox::warning(m_pMainFrame.get(), CMainFrame::kTitle,
                             QStringLiteral("Some terrain tiles could not be used:\n\n%1")
                                 .arg(QString::fromStdString(report.ProblemText())));
    }
    return NewMapResult::Opened;
}

bool CEditorApp::HandlesCommand(CommandId id) const {
    return id == CommandId::FileNew || id == CommandId::About || id == CommandId::Exit;
}

void CEditorApp::OnCommand(CommandId id) {
    switch (id) {
    case CommandId::FileNew:
        OnFileNew();
        break;
    case CommandId::About:
        OnAppAbout();
        break;
    case CommandId::Exit:
        // Closing the main window closes every map window and ends the event loop.
        m_pMainFrame->close();
        break;
    default:
        break;
    }
}

void CEditorApp::OnAppAbout() {
    QMessageBox::about(m_pMainFrame.get(), QStringLiteral("About %1").arg(CMainFrame::kTitle),
                       QStringLiteral("<h3>%1</h3>"
                                      "<p>Edits terrain maps for game levels: cell heights and "
                                      "texture tiles, painted with pens, fills and custom "
                                      "brushes, saved as TER maps and exported for the level "
                                      "editor.</p>")
                           .arg(CMainFrame::kTitle));
}
