#include "InputView.h"

#include "MainDoc.h"
#include "Zoom.h"

CInputView::CInputView(CMainDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
}

namespace {
int ZoomIndex(CommandId id) {
    switch (id) {
    case CommandId::Zoom1:
        return 0;
    case CommandId::Zoom2:
        return 1;
    case CommandId::Zoom4:
        return 2;
    case CommandId::Zoom8:
        return 3;
    case CommandId::Zoom16:
        return 4;
    case CommandId::Zoom32:
        return 5;
    default:
        return -1;
    }
}
} // namespace

bool CInputView::HandlesCommand(CommandId id) const {
    return id == CommandId::Undo || ZoomIndex(id) >= 0;
}

void CInputView::OnCommand(CommandId id) {
    if (id == CommandId::Undo)
        OnUndo();
    else if (ZoomIndex(id) >= 0)
        OnZoom(ZoomIndex(id));
}

void CInputView::OnZoom(int k) {
    ApplyZoom(*m_pDoc, k);
    m_pDoc->UpdateAllViews(nullptr);
}

// Exchanges the cell planes with the snapshot of the last gesture; a second Undo brings the
// gesture back. Before any snapshot there is nothing to exchange.
void CInputView::OnUndo() {
    if (m_pDoc->m_bUndoSaved != 1)
        return;
    m_pDoc->SwapUndo();
    m_pDoc->RedrawAll();
    m_pDoc->UpdateAllViews(nullptr);
}
