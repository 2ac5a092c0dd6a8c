#pragma once

#include "BrushStrip.h"
#include "MainDoc.h"

#include <QWidget>

// The brush strip: the lower right pane of a map window. It shows the picture the core's
// BrushStrip draws for the current selection and passes clicks on: a left click selects an
// item, a right click on a custom brush opens the Custom Brush Action dialog. Like the map view
// it never takes keyboard focus from the tool panel.
class CColorView : public QWidget, public CDocObserver {
    Q_OBJECT

public:
    explicit CColorView(CMainDoc* doc, QWidget* parent = nullptr);
    ~CColorView() override;

    CMainDoc* GetDocument() const { return m_pDoc; }
    void OnDocUpdate(CDocObserver* sender, int hint) override;
    const BrushStrip& Strip() const { return m_strip; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void OnRightClick(int x);

    CMainDoc* m_pDoc;
    BrushStrip m_strip;
};
