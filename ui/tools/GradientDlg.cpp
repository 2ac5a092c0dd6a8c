#include "GradientDlg.h"

#include "FormFields.h"
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

    // Diagonal, vertical, horizontal, and the mound (highest in the centre).
    m_pGroup = new QButtonGroup(this);
    auto* radios = new QHBoxLayout;
    const char* texts[] = {"\\", "|", "-", "Mound"};
    const char* tips[] = {"Diagonal ramp", "Vertical ramp", "Horizontal ramp",
                          "Mound: highest in the middle of the rectangle"};
    for (int i = 0; i < 4; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(texts[i]), this);
        radio->setToolTip(QString::fromLatin1(tips[i]));
        m_pGroup->addButton(radio, i);
        radios->addWidget(radio);
    }
    radios->addStretch(1);
    connect(m_pGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked)
            return;
        m_nDirection = id;
        if (m_pDoc)
            m_pDoc->m_tools.m_nGradientSetting = id;
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

    SetDirection(m_pDoc ? GradientOpeningAxis(*m_pDoc) : m_nDirection);
}

CGradientDlg::~CGradientDlg() = default;

void CGradientDlg::OpenFor(CMainDoc& doc, QWidget* owner, QPointer<CGradientDlg>& slot) {
    if (slot && !slot->m_bClosed) {
        slot->show();
        slot->raise();
        slot->activateWindow();
        return;
    }
    slot = new CGradientDlg(&doc, owner);
    slot->show();
}

void CGradientDlg::SetDirection(int axis) {
    m_nDirection = axis;
    if (m_pDoc)
        m_pDoc->m_tools.m_nGradientSetting = axis;
    CheckOnly(m_pGroup, axis); // an axis without a radio shows none checked
}

QRadioButton* CGradientDlg::DirectionRadio(int axis) const {
    return qobject_cast<QRadioButton*>(m_pGroup->button(axis));
}

void CGradientDlg::done(int result) {
    m_bClosed = 1;
    QDialog::done(result);
    deleteLater();
}
