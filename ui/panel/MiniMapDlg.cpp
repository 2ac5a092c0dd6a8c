#include "MiniMapDlg.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>

#include <algorithm>

const QColor CMiniMapDlg::kViewRectColor(255, 255, 0);

CMiniMapDlg::CMiniMapDlg(CMainDoc* doc, QWidget* panel, std::function<void()> userClosed)
    : QDialog(panel), m_pDoc(doc), m_pPanelView(dynamic_cast<CDocObserver*>(panel)),
      m_userClosed(std::move(userClosed)) {
    setWindowTitle(QStringLiteral("Map View"));
    setModal(false);
    m_pDoc->AddObserver(this);
    m_pDoc->OpenOverview();
    FitToPicture();
    // The map view's next full redraw fills the black picture.
    m_pDoc->UpdateAllViews(m_pPanelView);
}

CMiniMapDlg::~CMiniMapDlg() {
    Detach();
}

void CMiniMapDlg::Detach() {
    if (!m_pDoc)
        return;
    m_pDoc->RemoveObserver(this);
    m_pDoc->CloseOverview();
    m_pDoc = nullptr;
}

void CMiniMapDlg::FitToPicture() {
    const Picture& picture = m_pDoc->m_overview;
    setFixedSize(std::max(1, picture.width), std::max(1, picture.height));
    update();
}

void CMiniMapDlg::OnDocUpdate(CDocObserver*, int hint) {
    if (hint == hintOverviewResized)
        FitToPicture();
    else if (hint == hintOverviewDrawn)
        update();
}

void CMiniMapDlg::CloseQuietly() {
    m_userClosed = nullptr;
    close();
}

void CMiniMapDlg::done(int result) {
    Detach();
    QDialog::done(result);
    deleteLater();
    // Copied: the callback may outlive this window's members.
    if (std::function<void()> notify = std::move(m_userClosed))
        notify();
}

void CMiniMapDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_pDoc || m_pDoc->m_overview.IsNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const Picture& picture = m_pDoc->m_overview;
    const QImage image(reinterpret_cast<const uchar*>(picture.pixels.data()), picture.width,
                       picture.height, picture.width * 4, QImage::Format_RGB32);
    const QRect shown(0, 0, std::min(picture.width, kShownCells),
                      std::min(picture.height, kShownCells));
    painter.drawImage(QPoint(0, 0), image, shown);
    // The part of the map that the map view shows.
    const QRect view = ViewRect();
    if (!view.isEmpty()) {
        painter.setPen(QPen(kViewRectColor, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(view.adjusted(0, 0, -1, -1));
    }
}

QRect CMiniMapDlg::ViewRect() const {
    if (!m_pDoc)
        return {};
    const ViewSettings& v = m_pDoc->m_view;
    return QRect(v.m_nVisibleX, v.m_nVisibleY, v.m_nVisibleCols, v.m_nVisibleRows);
}

void CMiniMapDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->position().toPoint();
        const QRect view = ViewRect();
        // Grabbing the view's rectangle drags it; a click elsewhere centres the view there.
        m_grab =
            view.contains(p) ? p - view.topLeft() : QPoint(view.width() / 2, view.height() / 2);
        RequestJump(p);
    }
    QDialog::mousePressEvent(event);
}

void CMiniMapDlg::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        RequestJump(event->position().toPoint());
    QDialog::mouseMoveEvent(event);
}

void CMiniMapDlg::RequestJump(const QPoint& client) {
    if (!m_pDoc || client.x() < 0 || client.y() < 0 || client.x() >= kShownCells ||
        client.y() >= kShownCells)
        return;
    const QPoint topLeft = client - m_grab;
    m_pDoc->RequestJump(std::max(0, topLeft.x()), std::max(0, topLeft.y()), m_pPanelView);
}
