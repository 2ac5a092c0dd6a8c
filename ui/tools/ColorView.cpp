#include "ColorView.h"

#include "BrushActionDlg.h"
#include "BrushActions.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

CColorView::CColorView(CMainDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
    setFocusPolicy(Qt::NoFocus);
    // The paint covers the whole widget: no background erase.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_pDoc->AddObserver(this);
}

CColorView::~CColorView() {
    m_pDoc->RemoveObserver(this);
}

void CColorView::OnDocUpdate(CDocObserver*, int hint) {
    if (hint == hintOverviewDrawn || hint == hintJumpToCell)
        return;
    update();
}

void CColorView::paintEvent(QPaintEvent*) {
    const Picture& p = m_strip.Paint(*m_pDoc);
    const QImage image(reinterpret_cast<const uchar*>(p.pixels.data()), p.width, p.height,
                       p.width * 4, QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
    // Beyond the picture the strip is black, like its empty boxes.
    if (width() > p.width)
        painter.fillRect(p.width, 0, width() - p.width, height(), Qt::black);
    if (height() > p.height)
        painter.fillRect(0, p.height, std::min(width(), p.width), height() - p.height, Qt::black);
}

void CColorView::mousePressEvent(QMouseEvent* event) {
    const int x = event->position().toPoint().x();
    if (event->button() == Qt::LeftButton) {
        // The panel shows what a left click in the map draws: it follows the selection.
        if (StripLeftClick(*m_pDoc, x))
            m_pDoc->UpdateAllViews(this);
        update();
    } else if (event->button() == Qt::RightButton) {
        OnRightClick(x);
    }
    event->accept();
}

void CColorView::OnRightClick(int x) {
    const int brush = StripRightClick(*m_pDoc, x);
    m_pDoc->UpdateAllViews(this);
    update();
    if (brush < 0)
        return;
    CBrushActionDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    ApplyBrushAction(*m_pDoc, brush, dialog.m_nAction);
}
