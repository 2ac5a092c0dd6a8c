#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// The modal "Resize Map Editing Area" dialog: the X and Y size of the editing area. OK ("Resize
// Map") is refused until both boxes, checked X first, hold integers in 1..512.
class CResizeMapDlg : public QDialog {
    Q_OBJECT

public:
    explicit CResizeMapDlg(QWidget* parent = nullptr);

    // Shows the two fields in the boxes.
    void ShowFields();

    int m_nSizeX = 0;
    int m_nSizeY = 0;

    QLineEdit* XEdit() const { return m_pXEdit; }
    QLineEdit* YEdit() const { return m_pYEdit; }
    QLabel* TextLabel() const { return m_pText; }
    QPushButton* ResizeButton() const { return m_pResize; }
    QPushButton* CancelButton() const { return m_pCancel; }

public slots:
    // Reads both boxes into the fields and closes the dialog, unless a box is bad: then says
    // what is wrong, keeps the dialog open and puts the focus on that box.
    void accept() override;

private:
    QLineEdit* m_pXEdit = nullptr;
    QLineEdit* m_pYEdit = nullptr;
    QLabel* m_pText = nullptr;
    QPushButton* m_pResize = nullptr;
    QPushButton* m_pCancel = nullptr;
};
