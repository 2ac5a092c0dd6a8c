#pragma once

#include "Commands.h"

#include <QWidget>

class CMainDoc;

// The tool panel: the left pane of a map window. It is the command target of its window for
// the window's whole life, so it hosts the handlers of the map-level commands.
class CInputView : public QWidget, public CCommandTarget {
    Q_OBJECT

public:
    explicit CInputView(CMainDoc* doc, QWidget* parent = nullptr);

    CMainDoc* GetDocument() const { return m_pDoc; }

    bool HandlesCommand(CommandId id) const override;
    void OnCommand(CommandId id) override;

private:
    void OnUndo();
    void OnZoom(int k);

    CMainDoc* m_pDoc;
};
