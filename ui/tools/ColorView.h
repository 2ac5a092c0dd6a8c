#pragma once

#include "MainDoc.h"

#include <QWidget>

// The brush strip: the lower right pane of a map window. Like the map view it never takes
// keyboard focus from the tool panel.
class CColorView : public QWidget, public CDocObserver {
    Q_OBJECT

public:
    explicit CColorView(CMainDoc* doc, QWidget* parent = nullptr);
    ~CColorView() override;

    CMainDoc* GetDocument() const { return m_pDoc; }
    void OnDocUpdate(CDocObserver* sender, int hint) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CMainDoc* m_pDoc;
};
