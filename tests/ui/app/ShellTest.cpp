#include "ColorView.h"
#include "EditorApp.h"
#include "ErrorDlg.h"
#include "InputView.h"
#include "MainDoc.h"
#include "MainFrame.h"
#include "ModalWatch.h"
#include "SplitterFrame.h"
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
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>

namespace fs = std::filesystem;

namespace {

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

void WriteTiles(const fs::path& folder, int count) {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i)
        TestBmp::Filled(128, 128, 0x208040u + i)
            .Write(folder / ("GRASS0" + std::to_string(i) + ".BMP"));
}

// Runs `command` and returns the text of the message box it opens ("" if none opens).
QString MessageOf(const std::function<void()>& command) {
    QString text;
    bool opened = false;
    const auto watch1 = OnNextModal([&](QWidget* w) {
        opened = true;
        if (auto* box = qobject_cast<QMessageBox*>(w))
            text = box->text();
    });
    command();
    // Let the watcher give up quietly when nothing opened.
    if (!opened)
        QTest::qWait(50);
    return text;
}

// Texts of a menu's items, separators as "-".
QStringList MenuTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QMenu* TopMenu(CMainFrame* frame, const QString& title) {
    for (QAction* action : frame->menuBar()->actions())
        if (action->text() == title)
            return action->menu();
    return nullptr;
}

CSplitterFrame* FrameOf(QMdiSubWindow* window) {
    return qobject_cast<CSplitterFrame*>(window->widget());
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { WriteTiles(m_dir.Path() / "textures", 2); }

    WorkDir m_dir;
};

} // namespace

TEST_F(ShellTest, StartUpOpensMaximisedTri1WithThreePanes) {
    CEditorApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* main = app.MainFrame();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    QCoreApplication::processEvents();

    const QList<QMdiSubWindow*> windows = main->MdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 1);
    QMdiSubWindow* window = windows[0];
    EXPECT_EQ(window->windowTitle(), "Tri1");
    EXPECT_TRUE(window->isMaximized());
    EXPECT_EQ(main->windowTitle(), "Quillo - Brontis Terrain Editor - [Tri1]");
    window->showNormal();
    EXPECT_EQ(main->windowTitle(), "Quillo - Brontis Terrain Editor");
    window->showMaximized();
    EXPECT_EQ(main->windowTitle(), "Quillo - Brontis Terrain Editor - [Tri1]");

    CSplitterFrame* frame = FrameOf(window);
    ASSERT_NE(frame, nullptr);
    CMainDoc* doc = frame->GetDocument();
    EXPECT_EQ(doc->m_nLastTile, 1);
    QSplitter* outer = frame->OuterSplitter();
    QSplitter* inner = frame->InnerSplitter();
    ASSERT_EQ(outer->count(), 2);
    EXPECT_EQ(outer->orientation(), Qt::Horizontal);
    EXPECT_EQ(outer->widget(0), frame->InputView());
    EXPECT_EQ(outer->widget(1), inner);
    ASSERT_EQ(inner->count(), 2);
    EXPECT_EQ(inner->orientation(), Qt::Vertical);
    EXPECT_EQ(inner->widget(0), frame->TextView());
    EXPECT_EQ(inner->widget(1), frame->ColorView());
    EXPECT_EQ(frame->InputView()->width(), CSplitterFrame::kPanelWidth);
    EXPECT_EQ(frame->ColorView()->height(), CSplitterFrame::kStripHeight - inner->handleWidth());
    EXPECT_EQ(frame->TextView()->height(), frame->height() - CSplitterFrame::kStripHeight);
    EXPECT_EQ(frame->InputView()->GetDocument(), doc);
    EXPECT_EQ(frame->TextView()->GetDocument(), doc);
    EXPECT_EQ(frame->ColorView()->GetDocument(), doc);
    EXPECT_EQ(frame->TextView()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(frame->TextView()->viewport()->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(frame->ColorView()->focusPolicy(), Qt::NoFocus);
}

TEST_F(ShellTest, CtrlNOpensNextMapWithItsOwnDocumentAndStripKeepsItsHeight) {
    CEditorApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* main = app.MainFrame();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));

    QTest::keyClick(main, Qt::Key_N, Qt::ControlModifier);
    const QList<QMdiSubWindow*> windows = main->MdiArea()->subWindowList();
    ASSERT_EQ(windows.size(), 2);
    EXPECT_EQ(windows[1]->windowTitle(), "Tri2");
    EXPECT_TRUE(windows[1]->isMaximized());
    EXPECT_EQ(main->ActiveMapWindow(), windows[1]);
    EXPECT_EQ(main->windowTitle(), "Quillo - Brontis Terrain Editor - [Tri2]");
    EXPECT_NE(FrameOf(windows[0])->GetDocument(), FrameOf(windows[1])->GetDocument());

    // Enlarging the main window: the strip keeps its height, the map view takes the rest.
    CSplitterFrame* frame = FrameOf(windows[1]);
    const int mapHeight = frame->TextView()->height();
    const int strip = CSplitterFrame::kStripHeight - frame->InnerSplitter()->handleWidth();
    main->resize(main->width() + 200, main->height() + 150);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->ColorView()->height(), strip);
    EXPECT_EQ(frame->TextView()->height(), mapHeight + 150);
    EXPECT_EQ(frame->InputView()->width(), CSplitterFrame::kPanelWidth);

    // A dragged handle holds until the next resize.
    frame->InnerSplitter()->setSizes({100, 300});
    EXPECT_GT(frame->ColorView()->height(), 200);
    main->resize(main->width() - 100, main->height() - 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->ColorView()->height(), strip);

    // Switching maps keeps the active one maximised and named in the title; a restored map
    // window still has room for its panes.
    main->MdiArea()->setActiveSubWindow(windows[0]);
    EXPECT_TRUE(windows[0]->isMaximized());
    EXPECT_EQ(main->windowTitle(), "Quillo - Brontis Terrain Editor - [Tri1]");
    windows[0]->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(main->windowTitle(), "Quillo - Brontis Terrain Editor");
    EXPECT_EQ(FrameOf(windows[0])->InputView()->width(), CSplitterFrame::kPanelWidth);
    EXPECT_EQ(FrameOf(windows[0])->ColorView()->height(), strip);
    for (QMdiSubWindow* w : windows) {
        EXPECT_FALSE(w->isMaximized());
        EXPECT_GE(w->width(), 480);
        EXPECT_GE(w->height(), 360);
    }
}

TEST_F(ShellTest, UndoGoesToTheActiveMapAndSwapsOnlyAfterASnapshot) {
    CEditorApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* main = app.MainFrame();
    CMainDoc* first = main->ActiveFrame()->GetDocument();
    ASSERT_NE(app.OnFileNew(), nullptr);
    CMainDoc* doc = main->ActiveFrame()->GetDocument();
    ASSERT_NE(doc, first);
    QAction* undo = main->Action(CommandId::Undo);
    ASSERT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));

    // Nothing to exchange before the first snapshot.
    doc->SetHeight(3, 4, 10);
    doc->m_bRedrawAll = 0;
    undo->trigger();
    EXPECT_EQ(doc->m_height[CellIndex(3, 4)], 10);
    EXPECT_EQ(doc->m_bRedrawAll, 0);

    first->SetHeight(3, 4, 77);
    first->SaveUndo();
    doc->SaveUndo();
    doc->SetHeight(3, 4, 200);
    undo->trigger();
    EXPECT_EQ(doc->m_height[CellIndex(3, 4)], 10);
    EXPECT_EQ(doc->m_bRedrawAll, 1);
    undo->trigger();
    EXPECT_EQ(doc->m_height[CellIndex(3, 4)], 200);
    EXPECT_EQ(first->m_height[CellIndex(3, 4)], 77);
}

TEST_F(ShellTest, MenusFollowTheTableAndOnlyHandledCommandsAreEnabled) {
    CEditorApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* main = app.MainFrame();

    QStringList tops;
    for (QAction* action : main->menuBar()->actions())
        tops << action->text();
    EXPECT_EQ(tops, QStringList({"&File", "&Edit", "&Zoom", "&Help"}));
    QMenu* file = TopMenu(main, "&File");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(MenuTexts(file), QStringList({"New Map", "Resize Map", "-", "&Load Map [TER]\tCtrl-L",
                                            "&Save Map [TER]\tCtrl-S", "-", "Import", "Export", "-",
                                            "", "-", "E&xit"}));
    EXPECT_EQ(MenuTexts(file->actions()[6]->menu()),
              QStringList({"Heightmap\tBMP", "Heightmap\tRAW"}));
    EXPECT_EQ(MenuTexts(file->actions()[7]->menu()),
              QStringList({"UnrealEd\tT3D Ascii Brush Format", "UnrealEd\tHeight Format File Group",
                           "-", "Heightmap\tRAW"}));
    EXPECT_EQ(MenuTexts(TopMenu(main, "&Edit")), QStringList({"&Undo\tCtrl+Z"}));
    EXPECT_EQ(MenuTexts(TopMenu(main, "&Zoom")),
              QStringList({"x1", "x2", "x4", "x8", "x16", "x32"}));
    EXPECT_EQ(MenuTexts(TopMenu(main, "&Help")), QStringList({"&About..."}));
    EXPECT_EQ(main->Action(CommandId::LoadMap)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    EXPECT_EQ(main->Action(CommandId::SaveMap)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(main->Action(CommandId::FileNew)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));

    const CommandId unhandled[] = {CommandId::ImportHeightBmp, CommandId::ImportHeightRaw,
                                   CommandId::ExportT3d, CommandId::ExportHeightGroup,
                                   CommandId::ExportHeightRaw};
    const CommandId appCommands[] = {CommandId::FileNew, CommandId::About, CommandId::Exit};
    emit file->aboutToShow();
    for (CommandId id : unhandled)
        EXPECT_FALSE(main->Action(id)->isEnabled()) << static_cast<int>(id);
    for (CommandId id : appCommands)
        EXPECT_TRUE(main->Action(id)->isEnabled()) << static_cast<int>(id);
    EXPECT_TRUE(main->Action(CommandId::Undo)->isEnabled());
    EXPECT_TRUE(main->Action(CommandId::Zoom1)->isEnabled());
    EXPECT_TRUE(main->Action(CommandId::Zoom32)->isEnabled());
    for (CommandId id : {CommandId::NewMap, CommandId::ResizeMap, CommandId::LoadMap,
                         CommandId::SaveMap, CommandId::ProjectSettings})
        EXPECT_TRUE(main->Action(id)->isEnabled()) << static_cast<int>(id);

    // With no map window open only the application's commands remain.
    main->MdiArea()->closeAllSubWindows();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->MdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(main->ActiveFrame(), nullptr);
    EXPECT_FALSE(main->Action(CommandId::Undo)->isEnabled());
    for (CommandId id : appCommands)
        EXPECT_TRUE(main->Action(id)->isEnabled()) << static_cast<int>(id);
    EXPECT_EQ(main->windowTitle(), "Quillo - Brontis Terrain Editor");

    const QString about = MessageOf([&] { main->Action(CommandId::About)->trigger(); });
    EXPECT_TRUE(about.contains("Quillo - Brontis Terrain Editor")) << about.toStdString();

    main->Action(CommandId::FileNew)->trigger();
    ASSERT_EQ(main->MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(main->MdiArea()->subWindowList()[0]->windowTitle(), "Tri2");
    EXPECT_TRUE(main->Action(CommandId::Undo)->isEnabled());

    main->Action(CommandId::Exit)->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->MdiArea()->subWindowList().isEmpty());
    EXPECT_FALSE(main->isVisible());
}

TEST_F(ShellTest, FailedNewMapAfterStartUpTellsWhyAndKeepsTheOpenMaps) {
    CEditorApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* main = app.MainFrame();
    const fs::path textures = m_dir.Path() / "textures";

    // A listed tile that cannot be opened: a link to nothing.
    fs::create_symlink(m_dir.Path() / "missing", textures / "ZZZ.bmp");
    const QString openFailed = MessageOf([&] { EXPECT_EQ(app.OnFileNew(), nullptr); });
    EXPECT_TRUE(openFailed.contains("ZZZ.bmp")) << openFailed.toStdString();

    fs::remove_all(textures);
    fs::create_directories(textures);
    const QString noTiles = MessageOf([&] { EXPECT_EQ(app.OnFileNew(), nullptr); });
    EXPECT_TRUE(noTiles.contains(QString::fromStdString(textures.string())))
        << noTiles.toStdString();
    ASSERT_EQ(main->MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(main->MdiArea()->subWindowList()[0]->windowTitle(), "Tri1");
    EXPECT_TRUE(main->isVisible());

    WriteTiles(textures, 1);
    ASSERT_NE(app.OnFileNew(), nullptr);
    EXPECT_EQ(main->ActiveMapWindow()->windowTitle(), "Tri2");
}

TEST(ShellStartUp, WithoutTilesOnlyTheErrorDialogShowsAndTheExitCodeIs255) {
    WorkDir dir;
    // Neither other files nor a folder named like a tile count as tiles.
    fs::create_directories(dir.Path() / "Textures" / "folder.bmp");
    std::ofstream(dir.Path() / "Textures" / "readme.txt") << "no tiles here";
    EXPECT_FALSE(CEditorApp::HasTerrainTiles(dir.Path()));

    for (const bool pressQuit : {true, false}) {
        QString caption, text;
        bool hadMainWindow = true;
        const auto watch2 = OnNextModal([&](QWidget* w) {
            auto* dlg = qobject_cast<CErrorDlg*>(w);
            ASSERT_NE(dlg, nullptr);
            caption = dlg->windowTitle();
            const QList<QLabel*> labels = dlg->findChildren<QLabel*>();
            ASSERT_EQ(labels.size(), 1);
            text = labels[0]->text();
            EXPECT_EQ(dlg->QuitButton()->text(), "Quit");
            hadMainWindow = false;
            for (QWidget* top : QApplication::topLevelWidgets())
                hadMainWindow |= qobject_cast<CMainFrame*>(top) != nullptr && top->isVisible();
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
        EXPECT_EQ(text, "Oops: No terrain tiles were found.  Terrain tiles (24-bit 128x128 BMP "
                        "files) must be stored in the subdirectory TEXTURES.");
    }
}

namespace {

// A modified map shows an asterisk and asks before it closes; Cancel keeps it, Discard closes.
TEST_F(ShellTest, ClosingAModifiedMapAsksFirst) {
    CEditorApp app;
    ASSERT_TRUE(app.InitInstance());
    CMainFrame* main = app.MainFrame();
    QCoreApplication::processEvents();
    QMdiSubWindow* window = main->ActiveMapWindow();
    CSplitterFrame* frame = FrameOf(window);
    ASSERT_NE(frame, nullptr);
    frame->GetDocument()->SetHeight(2, 2, 9);
    frame->GetDocument()->UpdateAllViews(nullptr);
    EXPECT_EQ(window->windowTitle(), "Tri1*");
    EXPECT_EQ(main->windowTitle(), "Quillo - Brontis Terrain Editor - [Tri1*]");

    QString question;
    const auto watch3 = OnNextModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        question = box->text();
        box->button(QMessageBox::Cancel)->click();
    });
    window->close();
    QCoreApplication::processEvents();
    EXPECT_EQ(question, "Save changes to Tri1?");
    EXPECT_TRUE(window->isVisible());
    // Quitting asks too; Cancel keeps the editor and the map.
    const auto watch4 = OnNextModal(
        [&](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Cancel)->click(); });
    EXPECT_FALSE(main->close());
    EXPECT_EQ(main->MdiArea()->subWindowList().size(), 1);

    const auto watch5 = OnNextModal(
        [&](QWidget* w) { qobject_cast<QMessageBox*>(w)->button(QMessageBox::Discard)->click(); });
    window->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(main->MdiArea()->subWindowList().isEmpty());
}

} // namespace
