#include "ClearMapDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CClearMapDlg::CClearMapDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Clear Map"));
    setModal(true);

    auto* frame = new QGroupBox(this);
    auto* text = new QLabel(
        QStringLiteral("Are you certain you want to clear the current map data and start over?"),
        frame);
    text->setWordWrap(true);
    // A top-level window does not grow for a wrapped label's height: give the label the width
    // and the height its text needs at that width, whatever the font and scale.
    const int width = text->fontMetrics().averageCharWidth() * 36;
    text->setMinimumSize(width, text->heightForWidth(width));
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(text);

    m_pClear = new QPushButton(QStringLiteral("Clear Map"), this);
    m_pClear->setDefault(true);
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_pClear, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_pClear);
    buttons->addWidget(m_pCancel);
    buttons->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);
    adjustSize();
}
