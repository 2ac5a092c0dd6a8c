#pragma once

#include <QDialog>

class QPushButton;

// The modal "Custom Brush Action" dialog that a right click on a custom brush in the strip
// opens. Each of "Delete Brush" (the default button), "Flip Vertically" and "Flip Horizontally"
// stores its BrushAction in m_nAction and accepts; "Cancel" rejects.
class CBrushActionDlg : public QDialog {
    Q_OBJECT

public:
    explicit CBrushActionDlg(QWidget* parent = nullptr);

    int m_nAction = 0;

    QPushButton* DeleteButton() const { return m_pButtons[0]; }
    QPushButton* FlipVerticallyButton() const { return m_pButtons[1]; }
    QPushButton* FlipHorizontallyButton() const { return m_pButtons[2]; }
    QPushButton* CancelButton() const { return m_pCancel; }

private:
    QPushButton* m_pButtons[3] = {};
    QPushButton* m_pCancel = nullptr;
};
