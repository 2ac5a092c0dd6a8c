#include "ExportT3dDlg.h"

#include "FormFields.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// A group box of radio buttons numbered 0, 1, ... in `group`.
QGroupBox* RadioBox(QWidget* parent, const QString& title, const QStringList& texts,
                    QButtonGroup* group) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < texts.size(); ++i) {
        auto* radio = new QRadioButton(texts[i], box);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    layout->addStretch(1);
    return box;
}

} // namespace

CExportT3dDlg::CExportT3dDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Export to UnrealEd T3D"));
    setModal(true);

    auto* icon = new QLabel(this);
    // The editor's own icon; without one (tests, a bare run) the style's information icon.
    const QIcon appIcon = QApplication::windowIcon();
    icon->setPixmap(
        (appIcon.isNull() ? style()->standardIcon(QStyle::SP_MessageBoxInformation) : appIcon)
            .pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    auto* text = new QLabel(
        QStringLiteral("Export at either the upper-left corner or export in pieces across the "
                       "entire map.  Please note that exporting the entire map will generally "
                       "take a fairly long time right now. :)"),
        this);
    text->setWordWrap(true);
    auto* intro = new QHBoxLayout;
    intro->addWidget(icon);
    intro->addWidget(text, 1);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    m_pSizeGroup = new QButtonGroup(this);
    m_pLocationGroup = new QButtonGroup(this);
    auto* choices = new QHBoxLayout;
    choices->addWidget(RadioBox(this, QStringLiteral("Export Size"),
                                {QStringLiteral("50x50"), QStringLiteral("32x32"),
                                 QStringLiteral("16x16"), QStringLiteral("8x8")},
                                m_pSizeGroup));
    choices->addWidget(RadioBox(this, QStringLiteral("Export Location"),
                                {QStringLiteral("Upper-Left Corner"), QStringLiteral("Entire Map")},
                                m_pLocationGroup));

    m_pExport = new QPushButton(QStringLiteral("Export T3D"), this);
    m_pExport->setDefault(true);
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_pExport, &QPushButton::clicked, this, &CExportT3dDlg::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pExport);
    buttons->addWidget(m_pCancel);
    buttons->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addLayout(intro);
    left->addWidget(line);
    left->addLayout(choices);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    resize(420, sizeHint().height());

    CheckOnly(m_pSizeGroup, m_nSize);
    CheckOnly(m_pLocationGroup, m_nLocation);
}

QRadioButton* CExportT3dDlg::SizeRadio(int index) const {
    return qobject_cast<QRadioButton*>(m_pSizeGroup->button(index));
}

QRadioButton* CExportT3dDlg::LocationRadio(int index) const {
    return qobject_cast<QRadioButton*>(m_pLocationGroup->button(index));
}

void CExportT3dDlg::accept() {
    m_nSize = m_pSizeGroup->checkedId();
    m_nLocation = m_pLocationGroup->checkedId();
    QDialog::accept();
}
