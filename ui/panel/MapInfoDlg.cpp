#include "MapInfoDlg.h"

#include "MapInfo.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace {

const char* const kCaptions[CMapInfoDlg::kRows] = {
    "All tiles currently loaded in editor:",
    "Number of unique tiles in map:",
    "Map tiles memory usage:",
    "Memory Used (All Programs)",
    "Total Physical Memory",
    "Physical Memory Available",
    // This system's paging space is its swap.
    "Total Swap",
    "Swap Available",
    "Minimum",
    "Maximum",
    "Average",
    "Used by This Editor",
    "Map Size",
};

struct Frame {
    const char* title;
    std::initializer_list<int> rows;
};
const Frame kFrames[] = {
    {"Map", {12}},
    {"Tile Memory Usage", {0, 1, 2}},
    {"Program Memory Usage", {3, 4, 5, 6, 7, 11}},
    {"Height", {8, 9, 10}},
};

} // namespace

CMapInfoDlg::CMapInfoDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Map Information Display"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    for (const Frame& f : kFrames) {
        auto* box = new QGroupBox(QString::fromLatin1(f.title), this);
        auto* grid = new QGridLayout(box);
        grid->setColumnStretch(0, 1);
        int line = 0;
        for (int i : f.rows) {
            m_pCaption[i] = new QLabel(QString::fromLatin1(kCaptions[i]), box);
            // Memory figures can be long: the values get the room they need.
            m_pValue[i] = new QLabel(box);
            m_pValue[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
            grid->addWidget(m_pCaption[i], line, 0);
            grid->addWidget(m_pValue[i], line++, 1);
        }
        layout->addWidget(box);
    }

    m_pOk = new QPushButton(QStringLiteral("OK"), this);
    m_pOk->setDefault(true);
    connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pOk);
    buttons->addStretch(1);
    layout->addLayout(buttons);
}

void CMapInfoDlg::ShowReport(const MapInfoReport& r) {
    const std::string* values[kRows] = {
        &r.allTilesMemory, &r.uniqueTiles,   &r.mapTilesMemory, &r.memoryLoad,    &r.physTotal,
        &r.physFree,       &r.swapTotal,     &r.swapFree,       &r.minimumHeight, &r.maximumHeight,
        &r.averageHeight,  &r.processMemory, &r.mapSize,
    };
    for (int i = 0; i < kRows; ++i)
        m_pValue[i]->setText(QString::fromStdString(*values[i]));
}
