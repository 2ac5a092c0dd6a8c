#include "SplitterFrame.h"

#include "ColorView.h"
#include "InputView.h"
#include "MainDoc.h"
#include "TextView.h"

#include <QResizeEvent>
#include <QSplitter>

#include <algorithm>

CSplitterFrame::CSplitterFrame(std::unique_ptr<CMainDoc> doc, QWidget* parent)
    : QWidget(parent), m_pDoc(std::move(doc)) {
    m_pOuter = new QSplitter(Qt::Horizontal, this);
    m_pOuter->setChildrenCollapsible(false);
    m_pInputView = new CInputView(m_pDoc.get(), m_pOuter);

    m_pInner = new QSplitter(Qt::Vertical, m_pOuter);
    m_pTextView = new CTextView(m_pDoc.get(), m_pInner);
    m_pColorView = new CColorView(m_pDoc.get(), m_pInner);

    // The panel keeps its width when the window grows; the right-hand column takes the rest.
    m_pOuter->setStretchFactor(0, 0);
    m_pOuter->setStretchFactor(1, 1);
    m_pOuter->setSizes({kPanelWidth, 10});
    m_pInner->setStretchFactor(0, 1);
    m_pInner->setStretchFactor(1, 0);

    // The panel is the window's focus: clicks on the other panes never take it away.
    setFocusProxy(m_pInputView);
}

CSplitterFrame::~CSplitterFrame() {
    // The views unregister from the document as they go: destroy them before the document.
    delete m_pOuter;
}

void CSplitterFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_pOuter->setGeometry(rect());
    // The map view takes all but the bottom 64 pixels; the strip gets what is left of them
    // after the splitter handle. The user may drag the handle until the next resize.
    const int clientHeight = event->size().height();
    const int mapHeight = std::max(0, clientHeight - kStripHeight);
    const int stripHeight = std::max(0, clientHeight - m_pInner->handleWidth() - mapHeight);
    m_pInner->setSizes({mapHeight, stripHeight});
}
