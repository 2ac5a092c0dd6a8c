#include "TextView.h"

#include "Navigation.h"
#include "ToolCodes.h"

#include <QCursor>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

const QColor CTextView::kRectOutlineColor(255, 255, 0);

CTextView::CTextView(CMainDoc* doc, QWidget* parent)
    : QAbstractScrollArea(parent), m_pDoc(doc), m_editor(*doc) {
    setFocusPolicy(Qt::NoFocus);
    viewport()->setFocusPolicy(Qt::NoFocus);
    // The paint covers the whole viewport from the frame picture: no background erase.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pDoc->AddObserver(this);
    ApplyScrollExtent();
}

CTextView::~CTextView() {
    m_pDoc->RemoveObserver(this);
}

void CTextView::OnDocUpdate(CDocObserver*, int hint) {
    if (hint == hintOverviewDrawn)
        return; // its own news
    // The map's size may have changed: the scroll ranges follow before the next paint.
    ApplyScrollExtent();
    if (hint == hintJumpToCell) {
        ScrollTo(m_pDoc->m_ptJump.x * ScrollUnitsPerCell, m_pDoc->m_ptJump.y * ScrollUnitsPerCell);
        m_pDoc->RedrawAll();
    }
    viewport()->update();
}

QPoint CTextView::ScrollPosition() const {
    return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void CTextView::ScrollTo(int unitsX, int unitsY) {
    horizontalScrollBar()->setValue(unitsX);
    verticalScrollBar()->setValue(unitsY);
}

QPoint CTextView::CellAt(const QPoint& client) const {
    const QPoint scroll = ScrollPosition();
    return {CellUnderPoint(client.x(), scroll.x(), m_pDoc->m_view.m_nCellPixels),
            CellUnderPoint(client.y(), scroll.y(), m_pDoc->m_view.m_nCellPixels)};
}

// The extent follows the map size: 6 units per cell plus 1036, with a page a tenth of it and
// a line a tenth of a page.
void CTextView::ApplyScrollExtent() {
    m_sizeTotal = QSize(ScrollExtent(m_pDoc->m_map.m_nSizeX), ScrollExtent(m_pDoc->m_map.m_nSizeY));
    const QSize client = viewport()->size();
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    h->setRange(0, ScrollMaximum(m_sizeTotal.width(), client.width()));
    v->setRange(0, ScrollMaximum(m_sizeTotal.height(), client.height()));
    h->setPageStep(ScrollPageStep(m_sizeTotal.width()));
    v->setPageStep(ScrollPageStep(m_sizeTotal.height()));
    h->setSingleStep(ScrollLineStep(m_sizeTotal.width()));
    v->setSingleStep(ScrollLineStep(m_sizeTotal.height()));
}

void CTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    ApplyScrollExtent();
    m_renderer.m_bNewFrame = 1;
}

void CTextView::scrollContentsBy(int, int) {
    // Scrolling changes every visible cell.
    m_pDoc->m_redraw.m_bRedrawAll = 1;
    viewport()->update();
}

bool CTextView::NavigationKey(int key, Qt::KeyboardModifiers modifiers) {
    const int cp = m_pDoc->m_view.m_nCellPixels;
    const int pageX = std::max(1, viewport()->width() / cp) * ScrollUnitsPerCell;
    const int pageY = std::max(1, viewport()->height() / cp) * ScrollUnitsPerCell;
    const bool page = modifiers & Qt::ShiftModifier;
    const int stepX = page ? pageX : ScrollUnitsPerCell;
    const int stepY = page ? pageY : ScrollUnitsPerCell;
    const QPoint at = ScrollPosition();
    switch (key) {
    case Qt::Key_Left:
        ScrollTo(at.x() - stepX, at.y());
        return true;
    case Qt::Key_Right:
        ScrollTo(at.x() + stepX, at.y());
        return true;
    case Qt::Key_Up:
        ScrollTo(at.x(), at.y() - stepY);
        return true;
    case Qt::Key_Down:
        ScrollTo(at.x(), at.y() + stepY);
        return true;
    case Qt::Key_PageUp:
        ScrollTo(at.x(), at.y() - pageY);
        return true;
    case Qt::Key_PageDown:
        ScrollTo(at.x(), at.y() + pageY);
        return true;
    case Qt::Key_Home:
        ScrollTo(0, 0);
        return true;
    default:
        return false;
    }
}

void CTextView::KeepCellAt(const QPoint& cell, const QPoint& client) {
    const int cp = m_pDoc->m_view.m_nCellPixels;
    ScrollTo(std::max(0, cell.x() - client.x() / cp) * ScrollUnitsPerCell,
             std::max(0, cell.y() - client.y() / cp) * ScrollUnitsPerCell);
}

QPoint CTextView::ZoomAnchor() const {
    const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
    return viewport()->rect().contains(mouse) ? mouse : viewport()->rect().center();
}

void CTextView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int delta = event->angleDelta().y();
    if (delta != 0)
        emit zoomRequested(delta > 0 ? 1 : -1, event->position().toPoint());
    event->accept();
}

CellPair CTextView::CellOf(const QMouseEvent* event) const {
    const QPoint cell = CellAt(event->position().toPoint());
    return {cell.x(), cell.y()};
}

int CTextView::KeyStateOf(const QMouseEvent* event) {
    int keys = 0;
    if (event->buttons() & Qt::LeftButton)
        keys |= keyLButton;
    if (event->buttons() & Qt::RightButton)
        keys |= keyRButton;
    if (event->modifiers() & Qt::ShiftModifier)
        keys |= keyShift;
    if (event->modifiers() & Qt::ControlModifier)
        keys |= keyControl;
    return keys;
}

void CTextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_editor.OnLButtonDown(CellOf(event), KeyStateOf(event));
    else if (event->button() == Qt::RightButton)
        m_editor.OnRButtonDown(CellOf(event), KeyStateOf(event));
    viewport()->update();
    emit edited();
}

// The second press of a double click is a press like any other.
void CTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void CTextView::mouseMoveEvent(QMouseEvent* event) {
    const CellPair before = m_editor.m_ptHover;
    m_editor.OnMouseMove(CellOf(event), KeyStateOf(event));
    const bool buttons = event->buttons() & (Qt::LeftButton | Qt::RightButton);
    if (buttons || before.x != m_editor.m_ptHover.x || before.y != m_editor.m_ptHover.y)
        viewport()->update(); // new cells drawn, or the readout moved on
}

void CTextView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_editor.OnLButtonUp(CellOf(event), KeyStateOf(event));
    else if (event->button() == Qt::RightButton)
        m_editor.OnRButtonUp(CellOf(event), KeyStateOf(event));
    viewport()->update();
    emit edited();
}

void CTextView::paintEvent(QPaintEvent*) {
    const int w = viewport()->width();
    const int h = viewport()->height();
    if (w <= 0 || h <= 0)
        return;
    const QPoint scroll = ScrollPosition();
    ViewSettings& view = m_pDoc->m_view;
    const int cp = view.m_nCellPixels;
    view.m_nVisibleX = FirstVisibleCell(scroll.x());
    view.m_nVisibleY = FirstVisibleCell(scroll.y());
    view.m_nVisibleCols = (w + cp - 1) / cp;
    view.m_nVisibleRows = (h + cp - 1) / cp;
    Picture* overview = m_pDoc->HasOverview() ? &m_pDoc->m_overview : nullptr;
    const bool drew = m_renderer.Render(*m_pDoc, w, h, scroll.x(), scroll.y(), overview);
    if (drew && overview)
        m_pDoc->UpdateAllViews(this, hintOverviewDrawn);

    // The frame is wider than the viewport; show its top-left part, one to one, without a copy.
    const Picture& frame = m_renderer.m_hFrameDib;
    const QImage image(reinterpret_cast<const uchar*>(frame.pixels.data()), frame.width,
                       frame.height, frame.width * 4, QImage::Format_RGB32);
    QPainter painter(viewport());
    painter.drawImage(QPoint(0, 0), image, QRect(0, 0, w, h));

    // A Rect drag in progress: a thin outline around the cells the release will act on.
    CellPair from{}, to{};
    if (m_editor.RectDragCells(from, to)) {
        const int left = (std::min(from.x, to.x) - view.m_nVisibleX) * cp;
        const int top = (std::min(from.y, to.y) - view.m_nVisibleY) * cp;
        const int right = (std::max(from.x, to.x) + 1 - view.m_nVisibleX) * cp - 1;
        const int bottom = (std::max(from.y, to.y) + 1 - view.m_nVisibleY) * cp - 1;
        painter.setPen(QPen(kRectOutlineColor, 1));
        painter.setBrush(Qt::NoBrush);
        // A 1-pixel outline of a QRect covers one pixel more than the rectangle each way.
        painter.drawRect(QRect(left, top, right - left, bottom - top));
    }

    // The readout of the cell under the mouse: pale green with a dark shadow, lower left.
    const QString text =
        QString::fromStdString(ReadoutText(*m_pDoc, m_editor.m_ptHover.x, m_editor.m_ptHover.y));
    const int top = h - 18;
    const int baseline = top + painter.fontMetrics().ascent();
    painter.setPen(Qt::black);
    painter.drawText(8 + 2, baseline, text);
    painter.setPen(QColor(200, 255, 200));
    painter.drawText(8, baseline, text);
}
