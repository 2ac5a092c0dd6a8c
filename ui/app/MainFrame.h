#pragma once

#include "Commands.h"

#include <QMainWindow>

#include <map>
#include <memory>

class CMainDoc;
class CSplitterFrame;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

// The main window: the menu bar and the area that holds the map windows. It routes every menu
// command and accelerator to the active map window's tool panel first, then to the application,
// and enables a command only while something in that route handles it.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static const QString kTitle;

    explicit CMainFrame(CCommandTarget* app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Opens a maximised map window titled `title` around `doc`.
    CSplitterFrame* OpenMapWindow(std::unique_ptr<CMainDoc> doc, const QString& title);

    QMdiArea* MdiArea() const { return m_pMdiArea; }
    // The map window that receives the commands, or null when none is open.
    QMdiSubWindow* ActiveMapWindow() const;
    CSplitterFrame* ActiveFrame() const;
    QAction* Action(CommandId id) const;

    // Sets every command's enabled state from the current route.
    void UpdateCommandUI();
    // Carries out `id` through the route; does nothing when nothing handles it.
    void RunCommand(CommandId id);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CCommandTarget* RouteCommand(CommandId id) const;
    QAction* AddCommand(QMenu* menu, CommandId id, const QString& text,
                        const QKeySequence& shortcut = {});
    void CreateMenus();
    void UpdateTitle();

    CCommandTarget* m_pApp;
    QMdiArea* m_pMdiArea = nullptr;
    std::map<CommandId, QAction*> m_actions;
    std::map<CommandId, QString> m_texts; // the items' own texts
};
