#pragma once

#include "MainDoc.h"

#include <QAbstractScrollArea>

// The map view: the upper right pane of a map window. It never takes keyboard focus, so the
// tool panel stays the command target of the window.
class CTextView : public QAbstractScrollArea, public CDocObserver {
    Q_OBJECT

public:
    explicit CTextView(CMainDoc* doc, QWidget* parent = nullptr);
    ~CTextView() override;

    CMainDoc* GetDocument() const { return m_pDoc; }
    void OnDocUpdate(CDocObserver* sender, int hint) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CMainDoc* m_pDoc;
};
