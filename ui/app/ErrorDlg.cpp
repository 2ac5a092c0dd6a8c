#include "ErrorDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CErrorDlg::CErrorDlg(const QString& message, QWidget* parent)
    : QDialog(parent), m_strMessage(message) {
    setWindowTitle(QStringLiteral("Error"));
    setModal(true);

    m_pText = new QLabel(m_strMessage, this);
    m_pText->setWordWrap(true);
    m_pText->setTextFormat(Qt::PlainText);
    m_pText->setMinimumWidth(400);

    m_pQuit = new QPushButton(QStringLiteral("Quit"), this);
    m_pQuit->setDefault(true);
    m_pQuit->setAutoDefault(true);
    connect(m_pQuit, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pQuit);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pText);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
