#include "TextView.h"

#include <QPainter>

CTextView::CTextView(CMainDoc* doc, QWidget* parent) : QAbstractScrollArea(parent), m_pDoc(doc) {
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    m_pDoc->AddObserver(this);
}

CTextView::~CTextView() {
    m_pDoc->RemoveObserver(this);
}

void CTextView::OnDocUpdate(CDocObserver*, int) {
    viewport()->update();
}

void CTextView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), Qt::black);
}
