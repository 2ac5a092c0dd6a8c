#include "CustomPenDlg.h"

#include "FormFields.h"
#include "MainDoc.h"
#include "PenDialogs.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {} // namespace

CCustomPenDlg::CCustomPenDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Create Custom Pen"));
    setModal(true);

    m_pShapeGroup = new QButtonGroup(this);
    auto* shapeRow = new QHBoxLayout;
    const char* shapes[] = {"Square", "Circle"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(shapes[i]), this);
        m_pShapeGroup->addButton(radio, i);
        shapeRow->addWidget(radio);
    }
    shapeRow->addStretch(1);

    // The texts point from the centre toward the side or corner that gets the most weight.
    auto* gradientBox = new QGroupBox(QStringLiteral("Gradient Direction"), this);
    auto* grid = new QGridLayout(gradientBox);
    m_pGradientGroup = new QButtonGroup(this);
    const char* arrows[] = {"\\", "|", "/", "-", "", "-", "/", "|", "\\"};
    for (int i = 0; i < 9; ++i) {
        auto* radio = new QRadioButton(QString::fromLatin1(arrows[i]), gradientBox);
        m_pGradientGroup->addButton(radio, i);
        grid->addWidget(radio, i / 3, i % 3);
    }

    m_pVertEdit = new QLineEdit(this);
    m_pHorzEdit = new QLineEdit(this);
    auto* sizes = new QFormLayout;
    sizes->addRow(QStringLiteral("Vertical Size"), m_pVertEdit);
    sizes->addRow(QStringLiteral("Horizontal Size"), m_pHorzEdit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_pOk = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CCustomPenDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(shapeRow);
    layout->addWidget(gradientBox);
    layout->addLayout(sizes);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ShowFields();
}

bool CCustomPenDlg::EditPen(CMainDoc& doc, QWidget* parent) {
    CCustomPenDlg dlg(parent);
    const CustomPen current = CurrentCustomPen(doc);
    dlg.m_nShape = current.shape;
    dlg.m_nHorzSize = current.horz;
    dlg.m_nVertSize = current.vert;
    dlg.m_nGradient = current.gradient;
    dlg.ShowFields();
    if (dlg.exec() != QDialog::Accepted)
        return false;
    ApplyCustomPen(doc, {dlg.m_nShape, dlg.m_nHorzSize, dlg.m_nVertSize, dlg.m_nGradient});
    return true;
}

void CCustomPenDlg::ShowFields() {
    CheckOnly(m_pShapeGroup, m_nShape);
    CheckOnly(m_pGradientGroup, m_nGradient);
    m_pVertEdit->setText(QString::number(m_nVertSize));
    m_pHorzEdit->setText(QString::number(m_nHorzSize));
}

QRadioButton* CCustomPenDlg::ShapeRadio(int shape) const {
    return qobject_cast<QRadioButton*>(m_pShapeGroup->button(shape));
}

QRadioButton* CCustomPenDlg::GradientRadio(int direction) const {
    return qobject_cast<QRadioButton*>(m_pGradientGroup->button(direction));
}

void CCustomPenDlg::accept() {
    int vert = 0;
    int horz = 0;
    if (!ReadNumberBox(this, m_pVertEdit, QStringLiteral("Vertical Size"), kMinCustomPenSize,
                       kMaxCustomPenSize, RangeMessage::Always, vert) ||
        !ReadNumberBox(this, m_pHorzEdit, QStringLiteral("Horizontal Size"), kMinCustomPenSize,
                       kMaxCustomPenSize, RangeMessage::Always, horz))
        return;
    // With no radio checked (a pen value the dialog has no radio for) the field stays.
    if (m_pShapeGroup->checkedId() >= 0)
        m_nShape = m_pShapeGroup->checkedId();
    if (m_pGradientGroup->checkedId() >= 0)
        m_nGradient = m_pGradientGroup->checkedId();
    m_nVertSize = vert;
    m_nHorzSize = horz;
    QDialog::accept();
}
