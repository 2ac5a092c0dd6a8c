#include "ProjectDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CProjectDlg::CProjectDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Project Customization"));
    setModal(true);

    for (QLineEdit*& edit : m_pEdit)
        edit = new QLineEdit(this);
    for (int i = 0; i < 4; ++i)
        m_pEdit[i]->setMaximumWidth(60);

    auto* mapData = new QGroupBox(QStringLiteral("Map Data"), this);
    auto* grid = new QGridLayout(mapData);
    grid->addWidget(new QLabel(QStringLiteral("# of Unique tiles allowed in a map:"), mapData), 0,
                    0, 1, 4);
    grid->addWidget(m_pEdit[0], 0, 4);
    grid->addWidget(new QLabel(QStringLiteral("Maximum Height level to allow:"), mapData), 1, 0, 1,
                    4);
    grid->addWidget(m_pEdit[1], 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Default Map Size:"), mapData), 2, 0, 1, 5);
    grid->addWidget(m_pEdit[2], 3, 0);
    grid->addWidget(new QLabel(QStringLiteral("X"), mapData), 3, 1);
    grid->addWidget(m_pEdit[3], 3, 2);
    grid->addWidget(new QLabel(QStringLiteral("Y"), mapData), 3, 3);
    grid->setColumnStretch(4, 1);

    auto* nameLabel = new QLabel(QStringLiteral("Name of this project:"), this);

    m_pDefaults = new QPushButton(QStringLiteral("Defaults"), this);
    m_pOk = new QPushButton(QStringLiteral("OK"), this);
    m_pOk->setDefault(true);
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pDefaults);
    buttons->addWidget(m_pOk);
    buttons->addWidget(m_pCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(mapData);
    layout->addWidget(nameLabel);
    layout->addWidget(m_pEdit[4]);
    layout->addStretch(1);
    layout->addLayout(buttons);
}
