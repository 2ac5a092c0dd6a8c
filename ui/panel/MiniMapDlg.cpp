#include "MiniMapDlg.h"

#include "MainDoc.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

CMiniMapDlg::CMiniMapDlg(CMainDoc* doc, QWidget* panel, std::function<void()> userClosed)
    : QDialog(panel), m_pDoc(doc), m_pPanelView(dynamic_cast<CDocObserver*>(panel)),
      m_userClosed(std::move(userClosed)) {
    setWindowTitle(QStringLiteral("Map View"));
    setModal(false);
    resize(268, 265); // until the picture is built
}

CMiniMapDlg::~CMiniMapDlg() {
    // Destroyed with its parent while the document still points here: let the document
    // forget it rather than destroy it a second time.
    if (m_pDoc && m_pDoc->m_pMiniMap == static_cast<CMiniMapLink*>(this))
        m_pDoc->m_pMiniMap = nullptr;
}

void CMiniMapDlg::SetPictureSize(int width, int height) {
    m_nPicWidth = width;
    m_nPicHeight = height;
}

void CMiniMapDlg::BuildPicture() {
    const int w = std::max(1, m_nPicWidth);
    const int h = std::max(1, m_nPicHeight);
    m_hPicture = Picture(w, h);
    setFixedSize(w, h);
    update();
}

void CMiniMapDlg::Repaint() {
    update();
}

void CMiniMapDlg::DestroyWindow() {
    // The document has already let go of this window and may itself be going away.
    m_pDoc = nullptr;
    m_userClosed = nullptr;
    hide();
    deleteLater();
}

bool CMiniMapDlg::TakeJumpRequest(int& x, int& y) {
    if (!m_bJumpPending)
        return false;
    m_bJumpPending = 0;
    x = m_nJumpX;
    y = m_nJumpY;
    return true;
}

void CMiniMapDlg::done(int result) {
    m_bAlive = 0;
    QDialog::done(result);
    // Copied: the callback may close this window for good.
    if (std::function<void()> notify = m_userClosed)
        notify();
}

void CMiniMapDlg::paintEvent(QPaintEvent*) {
    if (m_hPicture.IsNull())
        BuildPicture();
    const QImage image(reinterpret_cast<const uchar*>(m_hPicture.pixels.data()), m_hPicture.width,
                       m_hPicture.height, m_hPicture.width * 4, QImage::Format_RGB32);
    const QRect shown(0, 0, std::min(m_hPicture.width, kShownCells),
                      std::min(m_hPicture.height, kShownCells));
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image, shown);
}

void CMiniMapDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        RequestJump(event->position().toPoint());
    QDialog::mousePressEvent(event);
}

void CMiniMapDlg::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        RequestJump(event->position().toPoint());
    QDialog::mouseMoveEvent(event);
}

// The map view serves the request at its next paint; the update asks it for one.
void CMiniMapDlg::RequestJump(const QPoint& client) {
    if (client.x() < 0 || client.y() < 0 || client.x() >= kShownCells || client.y() >= kShownCells)
        return;
    m_bJumpPending = 1;
    m_nJumpX = client.x();
    m_nJumpY = client.y();
    if (m_pDoc)
        m_pDoc->UpdateAllViews(m_pPanelView);
}
