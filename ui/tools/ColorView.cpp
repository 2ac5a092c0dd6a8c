#include "ColorView.h"

#include <QPainter>

CColorView::CColorView(CMainDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
    setFocusPolicy(Qt::NoFocus);
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
    QPainter painter(this);
    painter.fillRect(rect(), QColor(64, 64, 64));
}
