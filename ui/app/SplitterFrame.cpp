#include "SplitterFrame.h"

#include "ColorView.h"
#include "InputView.h"
#include "MainDoc.h"
#include "TextView.h"

#include <QMessageBox>
#include <QResizeEvent>
#include <QSplitter>

#include <algorithm>
#include <filesystem>
#include <iterator>

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
    m_pInputView->SetConfirmReplace([this] { return ConfirmClose(); });
    // The keyboard reaches the panel; what its controls leave moves the map view.
    m_pInputView->SetMapKeys(
        [this](int key, Qt::KeyboardModifiers mods) {
            return m_pTextView->NavigationKey(key, mods);
        },
        [this](int steps) { ZoomBy(steps, m_pTextView->ZoomAnchor()); });
    connect(m_pTextView, &CTextView::zoomRequested, this, &CSplitterFrame::ZoomBy);
    // A click in the map gives the keyboard to the panel itself, so the arrows scroll the map.
    connect(m_pTextView, &CTextView::edited, m_pInputView, [this] {
        if (!m_pInputView->hasFocus())
            m_pInputView->setFocus();
    });

    // Edits in the map view do not notify the other views; they tell the frame directly.
    connect(m_pTextView, &CTextView::edited, this, &CSplitterFrame::UpdateModifiedMark);
    m_pDoc->AddObserver(this);
}

CSplitterFrame::~CSplitterFrame() {
    m_pDoc->RemoveObserver(this);
    // The views unregister from the document as they go: destroy them before the document.
    delete m_pOuter;
}

void CSplitterFrame::ZoomBy(int steps, QPoint client) {
    static constexpr CommandId kZoom[] = {CommandId::Zoom1, CommandId::Zoom2,  CommandId::Zoom4,
                                          CommandId::Zoom8, CommandId::Zoom16, CommandId::Zoom32};
    const int now = m_pInputView->State().m_nZoomIndex;
    // Zooming in shows larger cells: the zoom list runs from x1 (the largest) down.
    const int next = std::clamp(now - steps, 0, static_cast<int>(std::size(kZoom)) - 1);
    if (next == now)
        return;
    // The cell under the point stays under it.
    const QPoint cell = m_pTextView->CellAt(client);
    m_pInputView->OnCommand(kZoom[next]);
    m_pTextView->KeepCellAt(cell, client);
}

void CSplitterFrame::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_pOuter->setGeometry(rect());
    // The strip keeps the height of its picture; the map view takes the rest above the splitter
    // handle. The user may drag the handle until the next resize.
    const int clientHeight = event->size().height();
    const int mapHeight = std::max(0, clientHeight - m_pInner->handleWidth() - kStripHeight);
    const int stripHeight = std::max(0, clientHeight - m_pInner->handleWidth() - mapHeight);
    m_pInner->setSizes({mapHeight, stripHeight});
}

void CSplitterFrame::SetTitle(const QString& title) {
    m_strTitle = title;
    UpdateModifiedMark();
}

QString CSplitterFrame::DisplayName() const {
    // A saved or loaded map is named after its file.
    if (m_pDoc->m_change.m_strPathName.empty())
        return m_strTitle;
    return QString::fromStdString(
        std::filesystem::path(m_pDoc->m_change.m_strPathName).filename().string());
}

void CSplitterFrame::UpdateModifiedMark() {
    const QString shown =
        DisplayName() + (m_pDoc->m_change.m_bModified ? QStringLiteral("*") : QString());
    QWidget* window = parentWidget() ? parentWidget() : this;
    if (window->windowTitle() != shown)
        window->setWindowTitle(shown);
    // What Undo and Redo can do may have changed with the map.
    emit commandStateChanged();
}

void CSplitterFrame::OnDocUpdate(CDocObserver*, int hint) {
    if (hint == hintOverviewDrawn || hint == hintJumpToCell)
        return;
    UpdateModifiedMark();
}

bool CSplitterFrame::ConfirmClose() {
    if (!m_pDoc->m_change.m_bModified)
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, QStringLiteral("Quillo - Brontis Terrain Editor"),
        QStringLiteral("Save changes to %1?").arg(DisplayName()),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Discard)
        return true;
    if (answer != QMessageBox::Save)
        return false;
    if (m_pInputView->HandlesCommand(CommandId::SaveMap))
        m_pInputView->OnCommand(CommandId::SaveMap);
    // A cancelled or failed save keeps the window open.
    return !m_pDoc->m_change.m_bModified;
}
