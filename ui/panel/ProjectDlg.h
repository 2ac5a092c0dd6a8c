#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The modal "Project Customization" form. It holds no data: its boxes open empty, "Defaults"
// does nothing, and OK and Cancel only close it. Nothing it shows is stored or used.
class CProjectDlg : public QDialog {
    Q_OBJECT

public:
    explicit CProjectDlg(QWidget* parent = nullptr);

    // The five boxes: unique tiles, maximum height, default X size, default Y size, name.
    QLineEdit* Edit(int i) const { return m_pEdit[i]; }
    static constexpr int kEdits = 5;
    QPushButton* DefaultsButton() const { return m_pDefaults; }
    QPushButton* OkButton() const { return m_pOk; }
    QPushButton* CancelButton() const { return m_pCancel; }

private:
    QLineEdit* m_pEdit[kEdits] = {};
    QPushButton* m_pDefaults = nullptr;
    QPushButton* m_pOk = nullptr;
    QPushButton* m_pCancel = nullptr;
};
