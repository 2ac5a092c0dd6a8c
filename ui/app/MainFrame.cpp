#include "MainFrame.h"

#include "InputView.h"
#include "MainDoc.h"
#include "SplitterFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

const QString CMainFrame::kTitle = QStringLiteral("Quillo - Brontis Terrain Editor");

CMainFrame::CMainFrame(CCommandTarget* app, QWidget* parent) : QMainWindow(parent), m_pApp(app) {
    setWindowTitle(kTitle);
    m_pMdiArea = new QMdiArea(this);
    setCentralWidget(m_pMdiArea);
    CreateMenus();
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, [this] {
        UpdateCommandUI();
        UpdateTitle();
    });
    // The map windows also rename their top-level window when maximised; keep the one rule.
    connect(this, &QWidget::windowTitleChanged, this, &CMainFrame::UpdateTitle);
    UpdateCommandUI();
}

CMainFrame::~CMainFrame() {
    // The map windows go with the base class; they must not call back into this one.
    m_pMdiArea->disconnect(this);
    for (QMdiSubWindow* window : m_pMdiArea->subWindowList())
        window->disconnect(this);
}

// Texts after a tab are shown right-aligned in the menu, where shortcuts usually stand.
void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    AddCommand(file, CommandId::NewMap, QStringLiteral("New Map"));
    AddCommand(file, CommandId::ResizeMap, QStringLiteral("Resize Map"));
    file->addSeparator();
    AddCommand(file, CommandId::LoadMap, QStringLiteral("&Load Map [TER]\tCtrl-L"),
               QKeySequence(Qt::CTRL | Qt::Key_L));
    AddCommand(file, CommandId::SaveMap, QStringLiteral("&Save Map [TER]\tCtrl-S"),
               QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator();
    QMenu* import = file->addMenu(QStringLiteral("Import"));
    AddCommand(import, CommandId::ImportHeightBmp, QStringLiteral("Heightmap\tBMP"));
    AddCommand(import, CommandId::ImportHeightRaw, QStringLiteral("Heightmap\tRAW"));
    AddCommand(import, CommandId::ImportHeightPng, QStringLiteral("Heightmap\tPNG"));
    QMenu* exportMenu = file->addMenu(QStringLiteral("Export"));
    AddCommand(exportMenu, CommandId::ExportT3d,
               QStringLiteral("UnrealEd\tT3D Ascii Brush Format"));
    AddCommand(exportMenu, CommandId::ExportHeightGroup,
               QStringLiteral("UnrealEd\tHeight Format File Group"));
    exportMenu->addSeparator();
    AddCommand(exportMenu, CommandId::ExportHeightRaw, QStringLiteral("Heightmap\tRAW"));
    AddCommand(exportMenu, CommandId::ExportHeightPng, QStringLiteral("Heightmap\tPNG (16-bit)"));
    exportMenu->addSeparator();
    AddCommand(exportMenu, CommandId::ExportGltf, QStringLiteral("glTF Binary (*.glb)"));
    file->addSeparator();
    // The project form stores nothing yet: its (empty) menu item stays out of sight.
    AddCommand(file, CommandId::ProjectSettings, QString())->setVisible(false);
    file->addSeparator();
    AddCommand(file, CommandId::Exit, QStringLiteral("E&xit"));

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    AddCommand(edit, CommandId::Undo, QStringLiteral("&Undo\tCtrl+Z"),
               QKeySequence(Qt::CTRL | Qt::Key_Z));
    AddCommand(edit, CommandId::Redo, QStringLiteral("&Redo\tCtrl+Y"))
        ->setShortcuts(
            {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});

    QMenu* zoom = menuBar()->addMenu(QStringLiteral("&Zoom"));
    AddCommand(zoom, CommandId::Zoom1, QStringLiteral("x1"));
    AddCommand(zoom, CommandId::Zoom2, QStringLiteral("x2"));
    AddCommand(zoom, CommandId::Zoom4, QStringLiteral("x4"));
    AddCommand(zoom, CommandId::Zoom8, QStringLiteral("x8"));
    AddCommand(zoom, CommandId::Zoom16, QStringLiteral("x16"));
    AddCommand(zoom, CommandId::Zoom32, QStringLiteral("x32"));
    zoom->addSeparator();
    // Also Ctrl+mouse wheel over the map; the arrow keys scroll by a cell, with Shift by a page.
    AddCommand(zoom, CommandId::ZoomIn, QStringLiteral("Zoom &In\t+"))
        ->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)});
    AddCommand(zoom, CommandId::ZoomOut, QStringLiteral("Zoom &Out\t-"),
               QKeySequence(Qt::Key_Minus));
    AddCommand(zoom, CommandId::ScrollHome, QStringLiteral("&Top Left\tHome"),
               QKeySequence(Qt::Key_Home));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    AddCommand(help, CommandId::About, QStringLiteral("&About..."));

    // Ctrl+N opens another map window; it has no menu item, so the action lives on the window.
    auto* fileNew = new QAction(QStringLiteral("New Window"), this);
    fileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(fileNew, &QAction::triggered, this, [this] { RunCommand(CommandId::FileNew); });
    addAction(fileNew);
    m_actions[CommandId::FileNew] = fileNew;

    // Enabled states are brought up to date before any menu opens.
    for (QMenu* menu : {file, import, exportMenu, edit, zoom, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
}

QAction* CMainFrame::AddCommand(QMenu* menu, CommandId id, const QString& text,
                                const QKeySequence& shortcut) {
    QAction* action = menu->addAction(text);
    m_texts[id] = text;
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
    m_actions[id] = action;
    return action;
}

QAction* CMainFrame::Action(CommandId id) const {
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QMdiSubWindow* CMainFrame::ActiveMapWindow() const {
    // currentSubWindow() stays set while another application has the focus.
    return m_pMdiArea->currentSubWindow();
}

CSplitterFrame* CMainFrame::ActiveFrame() const {
    QMdiSubWindow* window = ActiveMapWindow();
    return window ? qobject_cast<CSplitterFrame*>(window->widget()) : nullptr;
}

CCommandTarget* CMainFrame::RouteCommand(CommandId id) const {
    if (CSplitterFrame* frame = ActiveFrame()) {
        if (frame->InputView()->HandlesCommand(id))
            return frame->InputView();
    }
    if (m_pApp && m_pApp->HandlesCommand(id))
        return m_pApp;
    return nullptr;
}

void CMainFrame::UpdateCommandUI() {
    for (const auto& [id, action] : m_actions) {
        const CCommandTarget* target = RouteCommand(id);
        action->setEnabled(target != nullptr && target->CommandEnabled(id));
        const QString text = target ? target->CommandText(id) : QString();
        action->setText(text.isEmpty() ? m_texts[id] : text);
    }
}

void CMainFrame::RunCommand(CommandId id) {
    if (CCommandTarget* target = RouteCommand(id))
        target->OnCommand(id);
    UpdateCommandUI();
}

CSplitterFrame* CMainFrame::OpenMapWindow(std::unique_ptr<CMainDoc> doc, const QString& title) {
    auto* frame = new CSplitterFrame(std::move(doc));
    auto* window = new QMdiSubWindow;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWidget(frame);
    frame->SetTitle(title);
    // Closing a map with unsaved changes asks first.
    window->installEventFilter(this);
    connect(frame, &CSplitterFrame::commandStateChanged, this, &CMainFrame::UpdateCommandUI);
    connect(window, &QWidget::windowTitleChanged, this, &CMainFrame::UpdateTitle);
    m_pMdiArea->addSubWindow(window);
    connect(window, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateTitle);
    // Shown once at a normal size first, so that restoring the window later gives it room.
    const QSize area = m_pMdiArea->viewport()->size();
    window->resize(std::max(480, area.width() * 3 / 4), std::max(360, area.height() * 3 / 4));
    const int cascade = 24 * ((m_pMdiArea->subWindowList().size() - 1) % 8);
    window->move(cascade, cascade);
    window->show();
    window->showMaximized();
    m_pMdiArea->setActiveSubWindow(window);
    frame->InputView()->setFocus();
    UpdateCommandUI();
    UpdateTitle();
    return frame;
}

// The main window's title names the active map while that map window is maximised.
void CMainFrame::UpdateTitle() {
    QMdiSubWindow* window = ActiveMapWindow();
    if (window && window->isMaximized())
        setWindowTitle(QStringLiteral("%1 - [%2]").arg(kTitle, window->windowTitle()));
    else
        setWindowTitle(kTitle);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        auto* window = qobject_cast<QMdiSubWindow*>(watched);
        auto* frame = window ? qobject_cast<CSplitterFrame*>(window->widget()) : nullptr;
        if (frame && !frame->ConfirmClose()) {
            event->ignore();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Every map window asks about its unsaved changes; one "Cancel" keeps the editor open.
    m_pMdiArea->closeAllSubWindows();
    const QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList();
    const bool kept = std::any_of(windows.begin(), windows.end(),
                                  [](const QMdiSubWindow* w) { return w->isVisible(); });
    if (kept)
        event->ignore();
    else
        event->accept();
}
