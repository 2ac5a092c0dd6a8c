#include "GradientDlg.h"

#include "MainDoc.h"
#include "PenDialogs.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

CGradientDlg::CGradientDlg(CMainDoc* doc, QWidget* owner) : QDialog(owner), m_pDoc(doc) {
    setWindowTitle(QStringLiteral("Gradient"));
    setModal(false);

    auto* heading = new QLabel(QStringLiteral("Gradient Direction"), this);

    // Diagonal, vertical, horizontal, and the unlabelled mound (highest in the centre).
    m_pGroup = new QButtonGroup(this);
    auto* radios = new QHBoxLayout;
    const char* texts[] = {"\\", "|", "-", ""};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(texts[i]), this);
        m_pGroup->addButton(radio, i);
        radios->addWidget(radio);
    }
    radios->addStretch(1);
    connect(m_pGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            m_nDirection = id;
    });

    auto* hint = new QLabel(
        QStringLiteral(
            "Select the direction to fill height in the direction of the topmost point."),
        this);
    hint->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(radios);
    layout->addWidget(hint);

    SetDirection(m_nDirection);
}

CGradientDlg::~CGradientDlg() {
    // Destroyed with its owner while the document still points here: let the document
    // forget it rather than destroy it a second time.
    if (m_pDoc && m_pDoc->m_pGradientDlg == static_cast<CGradientLink*>(this))
        m_pDoc->m_pGradientDlg = nullptr;
}

void CGradientDlg::OpenFor(CMainDoc& doc, QWidget* owner) {
    if (doc.IsGradientOpen()) {
        if (auto* open = dynamic_cast<CGradientDlg*>(doc.m_pGradientDlg)) {
            open->show();
            open->raise();
            open->activateWindow();
        }
        return;
    }
    const int axis = GradientOpeningAxis(doc);
    auto* dlg = new CGradientDlg(&doc, owner);
    doc.m_pGradientDlg = dlg;
    dlg->SetDirection(axis);
    dlg->show();
}

void CGradientDlg::SetDirection(int axis) {
    m_nDirection = axis;
    if (QAbstractButton* button = m_pGroup->button(axis)) {
        button->setChecked(true);
        return;
    }
    // An axis without a radio: show none checked.
    m_pGroup->setExclusive(false);
    for (QAbstractButton* b : m_pGroup->buttons())
        b->setChecked(false);
    m_pGroup->setExclusive(true);
}

QRadioButton* CGradientDlg::DirectionRadio(int axis) const {
    return qobject_cast<QRadioButton*>(m_pGroup->button(axis));
}

void CGradientDlg::DestroyWindow() {
    // The document has already let go of this dialog and may itself be going away.
    m_pDoc = nullptr;
    hide();
    deleteLater();
}

void CGradientDlg::done(int result) {
    m_bOpen = 0;
    QDialog::done(result);
}
