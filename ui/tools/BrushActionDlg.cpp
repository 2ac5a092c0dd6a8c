#include "BrushActionDlg.h"

#include "BrushActions.h"

#include <QPushButton>
#include <QVBoxLayout>

CBrushActionDlg::CBrushActionDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Custom Brush Action"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    const struct {
        const char* text;
        int action;
    } rows[] = {{"Delete Brush", brushActionDelete},
                {"Flip Vertically", brushActionFlipVertically},
                {"Flip Horizontally", brushActionFlipHorizontally}};
    for (int i = 0; i < 3; ++i) {
        m_pButtons[i] = new QPushButton(QString::fromLatin1(rows[i].text), this);
        const int action = rows[i].action;
        connect(m_pButtons[i], &QPushButton::clicked, this, [this, action] {
            m_nAction = action;
            accept();
        });
        layout->addWidget(m_pButtons[i]);
    }
    m_pButtons[0]->setDefault(true);
    m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
    connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(m_pCancel);
    adjustSize();
}
