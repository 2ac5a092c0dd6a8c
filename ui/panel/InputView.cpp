#include "InputView.h"

#include "MainDoc.h"

CInputView::CInputView(CMainDoc* doc, QWidget* parent) : QWidget(parent), m_pDoc(doc) {
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
}

bool CInputView::HandlesCommand(CommandId id) const {
    return id == CommandId::Undo;
}

void CInputView::OnCommand(CommandId id) {
    if (id == CommandId::Undo)
        OnUndo();
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
