#include "EditorApp.h"

#include "BuildInfo.h"
#include "ErrorDlg.h"
#include "InputView.h"
#include "MainDoc.h"
#include "MainFrame.h"
#include "SplitterFrame.h"
#include "StartTarget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace fs = std::filesystem;

const QString CEditorApp::kNoTilesMessage = QStringLiteral(
    "Oops: No terrain tiles were found.  Terrain tiles (24-bit 128x128 BMP files) must be "
    "stored in the subdirectory TEXTURES.");

CEditorApp::CEditorApp() = default;

CEditorApp::~CEditorApp() = default;

bool CEditorApp::HasTerrainTiles(const fs::path& workDir) {
    return !TileLibrary::ListTileFiles(TileLibrary::TexturesDir(workDir)).empty();
}

QString CEditorApp::NoTilesMessage(const fs::path& workDir, const fs::path& sampleDir) {
    QString text = kNoTilesMessage +
                   QStringLiteral("\n\nThe tiles were looked for in %1.\n\n"
                                  "To work on a project, start the editor on its folder:\n"
                                  "    terrain-editor FOLDER")
                       .arg(QString::fromStdString(TileLibrary::TexturesDir(workDir).string()));
    if (!sampleDir.empty()) {
        text += QStringLiteral("\nTo try the sample tiles in %1:\n    terrain-editor --sample")
                    .arg(QString::fromStdString(sampleDir.string()));
    }
    return text;
}

int CEditorApp::Run() {
    if (!InitInstance())
        return m_nExitCode;
    m_bStarted = true;
    return QApplication::exec();
}

int CEditorApp::Run(const QStringList& arguments) {
    QCoreApplication::setApplicationVersion(QStringLiteral(TERRAIN_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Edits terrain maps for game levels."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption sample(
        QStringLiteral("sample"),
        QStringLiteral("Without FOLDER or MAP.ter, work in the sample folder that comes with the "
                       "editor."));
    QCommandLineOption smokeTest(QStringLiteral("smoke-test"));
    smokeTest.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({sample, smokeTest});
    parser.addPositionalArgument(
        QStringLiteral("path"),
        QStringLiteral("A project folder (tiles from its Textures folder), or a map file (.ter) to "
                       "open, worked on in its folder. Without it: the current folder."),
        QStringLiteral("[FOLDER | MAP.ter]"));
    const bool parsed = parser.parse(arguments);
    if (parsed && parser.isSet(help))
        parser.showHelp(); // prints and ends the process
    if (parsed && parser.isSet(version))
        parser.showVersion();

    if (parser.isSet(smokeTest))
        ArmSmokeTest();
    const QStringList positional = parser.positionalArguments();
    StartTarget target;
    if (!parsed) {
        target.error = parser.errorText().toStdString();
    } else if (positional.size() > 1) {
        target.error =
            "Give one folder or map file, not " + std::to_string(positional.size()) + ".";
    } else if (!positional.isEmpty()) {
        target = ResolveStartArgument(positional.constFirst().toStdString());
    } else if (parser.isSet(sample)) {
        target.workDir = FindSampleFolder(QCoreApplication::applicationDirPath().toStdString());
        if (target.workDir.empty())
            target.error = "No sample folder was found beside the program.";
    }
    std::error_code ec;
    if (target.error.empty() && !target.workDir.empty()) {
        fs::current_path(target.workDir, ec);
        if (ec)
            target.error = "Cannot work in " + target.workDir.string() + ": " + ec.message();
    }
    if (!target.error.empty()) {
        const QString text =
            QStringLiteral("%1\n\nUsage: %2")
                .arg(QString::fromStdString(target.error),
                     QStringLiteral("terrain-editor [--sample] [FOLDER | MAP.ter]"));
        std::fprintf(stderr, "terrain-editor: %s\n", qPrintable(text));
        CErrorDlg(text).exec();
        return kExitUsage;
    }

    if (!InitInstance())
        return m_nExitCode;
    if (!target.mapFile.empty()) {
        if (CSplitterFrame* frame = m_pMainFrame->ActiveFrame())
            frame->InputView()->OpenMapFile(QString::fromStdString(target.mapFile.string()));
    }
    m_bStarted = true;
    return QApplication::exec();
}

void CEditorApp::ArmSmokeTest() {
    // Timers also run in the event loops of modal dialogs, so a dialog cannot stall start-up.
    m_pSmokeTimer = std::make_unique<QTimer>();
    QObject::connect(m_pSmokeTimer.get(), &QTimer::timeout, [this] { ReportSmokeTest(); });
    m_pSmokeTimer->start(50);
}

void CEditorApp::ReportSmokeTest() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        QStringList texts;
        for (const QLabel* label : modal->findChildren<QLabel*>()) {
            if (!label->text().isEmpty())
                texts << label->text().simplified();
        }
        std::printf("dialog: %s: %s\n", qPrintable(modal->windowTitle()),
                    qPrintable(texts.join(QLatin1Char(' '))));
        std::fflush(stdout);
        modal->close();
        return;
    }
    if (!m_bStarted)
        return;
    const CSplitterFrame* frame = m_pMainFrame ? m_pMainFrame->ActiveFrame() : nullptr;
    if (frame) {
        const CMainDoc* doc = frame->GetDocument();
        std::error_code ec;
        std::printf("opened: %s (%d x %d cells, %d tiles) in %s\n",
                    qPrintable(frame->DisplayName()), doc->m_map.m_nSizeX, doc->m_map.m_nSizeY,
                    doc->m_tiles.m_nLastTile + 1, fs::current_path(ec).c_str());
    } else {
        std::printf("opened: no map window\n");
    }
    std::fflush(stdout);
    QCoreApplication::exit(frame ? 0 : 1);
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
    std::error_code ec;
    CErrorDlg dlg(
        NoTilesMessage(fs::current_path(ec),
                       FindSampleFolder(QCoreApplication::applicationDirPath().toStdString())));
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
                                      "<p>Version %2</p>"
                                      "<p>Edits terrain maps for game levels: cell heights and "
                                      "texture tiles, painted with pens, fills and custom "
                                      "brushes, saved as TER maps and exported for the level "
                                      "editor.</p>")
                           .arg(CMainFrame::kTitle, QStringLiteral(TERRAIN_VERSION)));
}
