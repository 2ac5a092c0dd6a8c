#include "BuildInfo.h"
#include "ColorView.h"
#include "EditorApp.h"
#include "ErrorDlg.h"
#include "InputView.h"
#include "MainDoc.h"
#include "MainFrame.h"
#include "ModalWatch.h"
#include "SplitterFrame.h"
#include "TerFile.h"
#include "TestSupport.h"
#include "TextView.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace {

const QString kTitle = "Quillo - Brontis Terrain Editor";

// Makes a temporary folder the current directory for the life of the object.
class WorkDir {
public:
    WorkDir() : m_previous(fs::current_path()) { fs::current_path(m_dir.Path()); }
    ~WorkDir() { fs::current_path(m_previous); }
    const fs::path& Path() const { return m_dir.Path(); }

private:
    TempDir m_dir;
    fs::path m_previous;
};

// Runs `command` and returns the text of the message box it opens, answered with `button`.
QString MessageOf(const std::function<void()>& command,
                  QMessageBox::StandardButton button = QMessageBox::NoButton) {
    QString text;
    const auto watch = OnNextModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        text = box->text();
        if (button != QMessageBox::NoButton)
            box->button(button)->click();
    });
    command();
    return text;
}

CSplitterFrame* FrameOf(QMdiSubWindow* window) {
    return qobject_cast<CSplitterFrame*>(window->widget());
}

// The editor started in a folder with two tiles.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        WritePlainTiles(m_dir.Path(), {0x208040, 0x208041});
        ASSERT_TRUE(m_app.InitInstance());
        m_main = m_app.MainFrame();
        QCoreApplication::processEvents();
    }
    QList<QMdiSubWindow*> Windows() const { return m_main->MdiArea()->subWindowList(); }

    WorkDir m_dir;
    CEditorApp m_app;
    CMainFrame* m_main = nullptr;
};

TEST_F(ShellTest, StartUpOpensMaximisedTri1WithThreePanes) {
    ASSERT_EQ(Windows().size(), 1);
    QMdiSubWindow* window = Windows()[0];
    EXPECT_TRUE(m_main->isVisible());
    EXPECT_EQ(window->windowTitle(), "Tri1");
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(m_main->windowTitle(), kTitle + " - [Tri1]");

    CSplitterFrame* frame = FrameOf(window);
    CMainDoc* doc = frame->GetDocument();
    EXPECT_EQ(doc->m_tiles.m_nLastTile, 1);
    // The panel on the left; the map view above the strip on the right.
    QSplitter* inner = frame->InnerSplitter();
    EXPECT_EQ(frame->OuterSplitter()->widget(0), frame->InputView());
    EXPECT_EQ(frame->OuterSplitter()->widget(1), inner);
    EXPECT_EQ(inner->widget(0), frame->TextView());
    EXPECT_EQ(inner->widget(1), frame->ColorView());
    EXPECT_EQ(frame->InputView()->width(), CSplitterFrame::kPanelWidth);
    EXPECT_EQ(frame->ColorView()->height(), CSplitterFrame::kStripHeight);
    EXPECT_EQ(frame->TextView()->height(),
              frame->height() - CSplitterFrame::kStripHeight - inner->handleWidth());
    EXPECT_TRUE(frame->InputView()->GetDocument() == doc &&
                frame->TextView()->GetDocument() == doc &&
                frame->ColorView()->GetDocument() == doc);
}

TEST_F(ShellTest, CtrlNOpensNextMapWithItsOwnDocumentAndStripKeepsItsHeight) {
    m_main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_main));
    QTest::keyClick(m_main, Qt::Key_N, Qt::ControlModifier);
    const QList<QMdiSubWindow*> windows = Windows();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows[1]->windowTitle(), "Tri2");
    EXPECT_TRUE(windows[1]->isMaximized());
    EXPECT_EQ(m_main->ActiveMapWindow(), windows[1]);
    EXPECT_EQ(m_main->windowTitle(), kTitle + " - [Tri2]");
    EXPECT_NE(FrameOf(windows[0])->GetDocument(), FrameOf(windows[1])->GetDocument());

    // Enlarging the main window: the strip keeps its height, the map view takes the rest.
    CSplitterFrame* frame = FrameOf(windows[1]);
    const int mapHeight = frame->TextView()->height();
    const int strip = CSplitterFrame::kStripHeight;
    m_main->resize(m_main->width() + 200, m_main->height() + 150);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->ColorView()->height(), strip);
    EXPECT_EQ(frame->TextView()->height(), mapHeight + 150);
    EXPECT_EQ(frame->InputView()->width(), CSplitterFrame::kPanelWidth);
    // A dragged handle holds until the next resize.
    frame->InnerSplitter()->setSizes({100, 300});
    EXPECT_GT(frame->ColorView()->height(), 200);
    m_main->resize(m_main->width() - 100, m_main->height() - 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->ColorView()->height(), strip);

    // Switching maps keeps the active one maximised and named in the title; a restored map
    // window drops the name and still has room for its panes.
    m_main->MdiArea()->setActiveSubWindow(windows[0]);
    EXPECT_TRUE(windows[0]->isMaximized());
    EXPECT_EQ(m_main->windowTitle(), kTitle + " - [Tri1]");
    windows[0]->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(m_main->windowTitle(), kTitle);
    for (QMdiSubWindow* w : windows) {
        EXPECT_FALSE(w->isMaximized());
        EXPECT_GE(w->width(), 480);
        EXPECT_GE(w->height(), 360);
    }
}

TEST_F(ShellTest, UndoAndRedoGoToTheActiveMapAndSayWhatTheyDo) {
    CMainDoc* first = m_main->ActiveFrame()->GetDocument();
    ASSERT_NE(m_app.OnFileNew(), nullptr);
    CMainDoc* doc = m_main->ActiveFrame()->GetDocument();
    QAction* undo = m_main->Action(CommandId::Undo);
    QAction* redo = m_main->Action(CommandId::Redo);
    QMenu* edit = m_main->menuBar()->actions()[1]->menu();
    auto showEdit = [&] { emit edit->aboutToShow(); };

    // Nothing to undo or redo yet: both items are disabled.
    showEdit();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(redo->shortcuts(),
              QList<QKeySequence>({QKeySequence(Qt::CTRL | Qt::Key_Y),
                                   QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}));

    first->SaveUndo("Raise Land");
    first->SetHeight(3, 4, 77);
    doc->SaveUndo("Raise Land");
    doc->SetHeight(3, 4, 200);
    doc->EndStep();
    showEdit();
    EXPECT_EQ(undo->text(), "&Undo Raise Land\tCtrl+Z");
    doc->m_redraw.m_bRedrawAll = 0;
    undo->trigger();
    EXPECT_EQ(doc->m_map.m_height[CellIndex(3, 4)], 0);
    EXPECT_EQ(doc->m_redraw.m_bRedrawAll, 1);
    showEdit();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), "&Undo\tCtrl+Z");
    EXPECT_EQ(redo->text(), "&Redo Raise Land\tCtrl+Y");
    redo->trigger();
    EXPECT_EQ(doc->m_map.m_height[CellIndex(3, 4)], 200);
    EXPECT_EQ(first->m_map.m_height[CellIndex(3, 4)], 77);
}

TEST_F(ShellTest, OnlyHandledCommandsAreEnabled) {
    QStringList tops;
    for (const QAction* action : m_main->menuBar()->actions())
        tops << action->text();
    EXPECT_EQ(tops, QStringList({"&File", "&Edit", "&Zoom", "&Help"}));
    QMenu* file = m_main->menuBar()->actions()[0]->menu();
    EXPECT_EQ(m_main->Action(CommandId::LoadMap)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_EQ(m_main->Action(CommandId::SaveMap)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));

    emit file->aboutToShow();
    for (CommandId id :
         {CommandId::FileNew, CommandId::About, CommandId::Exit, CommandId::Zoom1,
          CommandId::Zoom32, CommandId::NewMap, CommandId::ResizeMap, CommandId::LoadMap,
          CommandId::SaveMap, CommandId::ImportHeightBmp, CommandId::ImportHeightRaw,
          CommandId::ImportHeightPng, CommandId::ExportHeightGroup, CommandId::ExportHeightRaw,
          CommandId::ExportHeightPng, CommandId::ExportT3d, CommandId::ExportGltf})
        EXPECT_TRUE(m_main->Action(id)->isEnabled()) << static_cast<int>(id);
    // No empty item that opens a form which stores nothing.
    EXPECT_FALSE(m_main->Action(CommandId::ProjectSettings)->isVisible());
    for (const QAction* item : file->actions())
        EXPECT_TRUE(item->isSeparator() || !item->isVisible() || !item->text().isEmpty());

    // With no map window open only the application's commands remain.
    m_main->MdiArea()->closeAllSubWindows();
    QCoreApplication::processEvents();
    EXPECT_EQ(m_main->ActiveFrame(), nullptr);
    EXPECT_FALSE(m_main->Action(CommandId::Undo)->isEnabled());
    EXPECT_FALSE(m_main->Action(CommandId::SaveMap)->isEnabled());
    EXPECT_TRUE(m_main->Action(CommandId::About)->isEnabled());
    EXPECT_EQ(m_main->windowTitle(), kTitle);
    const QString about = MessageOf([&] { m_main->Action(CommandId::About)->trigger(); });
    EXPECT_TRUE(about.contains(kTitle) && about.contains("Version " TERRAIN_VERSION))
        << about.toStdString();

    m_main->Action(CommandId::FileNew)->trigger();
    ASSERT_EQ(Windows().size(), 1);
    EXPECT_EQ(Windows()[0]->windowTitle(), "Tri2");
    EXPECT_TRUE(m_main->Action(CommandId::SaveMap)->isEnabled());

    m_main->Action(CommandId::Exit)->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Windows().isEmpty());
    EXPECT_FALSE(m_main->isVisible());
}

TEST_F(ShellTest, FailedNewMapAfterStartUpTellsWhyAndKeepsTheOpenMaps) {
    const fs::path textures = m_dir.Path() / "Textures";
    // A listed tile that cannot be opened: a link to nothing.
    fs::create_symlink(m_dir.Path() / "missing", textures / "ZZZ.bmp");
    EXPECT_TRUE(MessageOf([&] { EXPECT_EQ(m_app.OnFileNew(), nullptr); }).contains("ZZZ.bmp"));

    fs::remove_all(textures);
    fs::create_directories(textures);
    const QString noTiles = MessageOf([&] { EXPECT_EQ(m_app.OnFileNew(), nullptr); });
    EXPECT_TRUE(noTiles.contains(QString::fromStdString(textures.string())))
        << noTiles.toStdString();
    ASSERT_EQ(Windows().size(), 1);
    EXPECT_EQ(Windows()[0]->windowTitle(), "Tri1");

    WritePlainTiles(m_dir.Path(), {1});
    ASSERT_NE(m_app.OnFileNew(), nullptr);
    EXPECT_EQ(m_main->ActiveMapWindow()->windowTitle(), "Tri2");
}

// A modified map shows an asterisk and asks before it closes; Cancel keeps it, Discard closes.
TEST_F(ShellTest, ClosingAModifiedMapAsksFirst) {
    QMdiSubWindow* window = m_main->ActiveMapWindow();
    FrameOf(window)->GetDocument()->SetHeight(2, 2, 9);
    FrameOf(window)->GetDocument()->UpdateAllViews(nullptr);
    EXPECT_EQ(window->windowTitle(), "Tri1*");
    EXPECT_EQ(m_main->windowTitle(), kTitle + " - [Tri1*]");

    EXPECT_EQ(MessageOf([&] { window->close(); }, QMessageBox::Cancel), "Save changes to Tri1?");
    EXPECT_TRUE(window->isVisible());
    // Quitting asks too; Cancel keeps the editor and the map.
    MessageOf([&] { EXPECT_FALSE(m_main->close()); }, QMessageBox::Cancel);
    EXPECT_EQ(Windows().size(), 1);
    // Loading a map over it asks the same; Cancel keeps the map and asks for no file.
    CInputView* panel = FrameOf(window)->InputView();
    EXPECT_EQ(MessageOf([&] { panel->OnCommand(CommandId::LoadMap); }, QMessageBox::Cancel),
              "Save changes to Tri1?");
    EXPECT_EQ(FrameOf(window)->GetDocument()->m_map.m_height[CellIndex(2, 2)], 9);
    MessageOf([&] { window->close(); }, QMessageBox::Discard);
    QCoreApplication::processEvents();
    EXPECT_TRUE(Windows().isEmpty());
}

} // namespace

TEST(ShellStartUp, WithoutTilesOnlyTheErrorDialogShowsAndTheExitCodeIs255) {
    WorkDir dir;
    // Neither other files nor a folder named like a tile count as tiles.
    fs::create_directories(dir.Path() / "Textures" / "folder.bmp");
    std::ofstream(dir.Path() / "Textures" / "readme.txt") << "no tiles here";
    EXPECT_FALSE(CEditorApp::HasTerrainTiles(dir.Path()));

    for (const bool pressQuit : {true, false}) {
        QString caption, text;
        bool hadMainWindow = true;
        const auto watch = OnNextModal([&](QWidget* w) {
            auto* dlg = qobject_cast<CErrorDlg*>(w);
            ASSERT_NE(dlg, nullptr);
            caption = dlg->windowTitle();
            const QList<QLabel*> labels = dlg->findChildren<QLabel*>();
            ASSERT_EQ(labels.size(), 1);
            text = labels[0]->text();
            EXPECT_EQ(dlg->QuitButton()->text(), "Quit");
            hadMainWindow = std::ranges::any_of(QApplication::topLevelWidgets(), [](QWidget* top) {
                return qobject_cast<CMainFrame*>(top) && top->isVisible();
            });
            if (pressQuit)
                QTest::mouseClick(dlg->QuitButton(), Qt::LeftButton);
            else
                dlg->close();
        });
        CEditorApp app;
        EXPECT_EQ(app.Run(), 255);
        EXPECT_EQ(app.MainFrame(), nullptr);
        EXPECT_FALSE(hadMainWindow);
        EXPECT_EQ(caption, "Error");
        EXPECT_TRUE(text.startsWith("Oops: No terrain tiles were found.  Terrain tiles (24-bit "
                                    "128x128 BMP files) must be stored in the subdirectory "
                                    "TEXTURES.\n\nThe tiles were looked for in " +
                                    QString::fromStdString((dir.Path() / "Textures").string())))
            << text.toStdString();
    }
}

// "terrain-editor MAP.ter" works in the map's folder and opens the map in the first window; a
// missing path or a file that is no map ends with the Error dialog and exit code 2.
TEST(ShellStartUp, ArgumentOpensAMapInItsFolderOrIsRefused) {
    WorkDir start;
    TempDir project;
    WritePlainTiles(project.Path(), {0x208040});
    const fs::path map = project.Path() / "hills.ter";
    CMainDoc saved;
    ASSERT_TRUE(saved.OnNewDocument(project.Path()));
    saved.m_map.m_nSizeX = 20;
    saved.m_map.m_height[CellIndex(3, 4)] = 77;
    SaveTerFile(saved, map);
    {
        CEditorApp app;
        EXPECT_EQ(app.Run({"terrain-editor", "--smoke-test", QString::fromStdString(map.string())}),
                  0);
        EXPECT_TRUE(fs::equivalent(fs::current_path(), project.Path()));
        const CSplitterFrame* frame = app.MainFrame()->ActiveFrame();
        EXPECT_EQ(frame->DisplayName(), "hills.ter");
        EXPECT_EQ(frame->GetDocument()->m_map.m_nSizeX, 20);
        EXPECT_EQ(frame->GetDocument()->m_map.m_height[CellIndex(3, 4)], 77);
        EXPECT_EQ(frame->GetDocument()->m_change.m_bModified, 0);
    }
    for (const fs::path& bad :
         {project.Path() / "missing.ter", project.Path() / "Textures" / "A0000000.BMP"}) {
        const QString path = QString::fromStdString(bad.string());
        QString text;
        const auto watch = OnNextModal([&](QWidget* w) {
            auto* dlg = qobject_cast<CErrorDlg*>(w);
            ASSERT_NE(dlg, nullptr);
            text = dlg->Message();
            dlg->close();
        });
        CEditorApp app;
        EXPECT_EQ(app.Run({"terrain-editor", path}), 2);
        EXPECT_EQ(app.MainFrame(), nullptr);
        EXPECT_TRUE(text.startsWith('"' + path + '"')) << text.toStdString();
    }
}
