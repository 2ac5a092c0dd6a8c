#pragma once

#include <QDialog>

class QPushButton;

// The modal "Clear Map" confirmation of New Map. "Clear Map" (the default button) accepts,
// "Cancel" rejects.
class CClearMapDlg : public QDialog {
    Q_OBJECT

public:
    explicit CClearMapDlg(QWidget* parent = nullptr);

    QPushButton* ClearButton() const { return m_pClear; }
    QPushButton* CancelButton() const { return m_pCancel; }

private:
    QPushButton* m_pClear = nullptr;
    QPushButton* m_pCancel = nullptr;
};
