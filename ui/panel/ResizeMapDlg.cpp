#include "ResizeMapDlg.h"

#include "FormFields.h"
#include "MapSize.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

CResizeMapDlg::CResizeMapDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Resize Map Editing Area"));
    setModal(true);

    m_pXEdit = new QLineEdit(this);
    m_pYEdit = new QLineEdit(this);
    m_pXEdit->setMaximumWidth(60);
    m_pYEdit->setMaximumWidth(60);
    auto* boxes = new QGridLayout;
    boxes->addWidget(m_pXEdit, 0, 0);
    boxes->addWidget(new QLabel(QStringLiteral("X Size"), this), 0, 1);
    boxes->addWidget(m_pYEdit, 1, 0);
    boxes->addWidget(new QLabel(QStringLiteral("Y Size"), this), 1, 1);
    boxes->setColumnStretch(1, 1);

    m_pText = new QLabel(QStringLiteral("You can resize the area of the tilemap in this dialog "
                                        "box.  Any value up to 512 is permitted."),
                         this);
    m_pText->setWordWrap(true);

    m_pResize = new QPushButton(QStringLiteral("Resize Map"), this);
    m_pResize->setDefault(true);
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_pResize, &QPushButton::clicked, this, &CResizeMapDlg::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addLayout(boxes);
    left->addWidget(m_pText);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pResize);
    buttons->addWidget(m_pCancel);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    resize(340, sizeHint().height());

    ShowFields();
}

void CResizeMapDlg::ShowFields() {
    m_pXEdit->setText(QString::number(m_nSizeX));
    m_pYEdit->setText(QString::number(m_nSizeY));
}

void CResizeMapDlg::accept() {
    int x = 0;
    int y = 0;
    if (!ReadNumberBox(this, m_pXEdit, QStringLiteral("X Size"), kMinMapSize, kMaxMapSize,
                       RangeMessage::WhenInteger, x) ||
        !ReadNumberBox(this, m_pYEdit, QStringLiteral("Y Size"), kMinMapSize, kMaxMapSize,
                       RangeMessage::WhenInteger, y))
        return;
    m_nSizeX = x;
    m_nSizeY = y;
    QDialog::accept();
}
