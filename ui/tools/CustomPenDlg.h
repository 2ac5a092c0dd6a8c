#pragma once

#include <QDialog>

class CMainDoc;
class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modal "Create Custom Pen" dialog: the pen's shape, its gradient direction (a 3 x 3 grid
// of radios, row by row) and its size in cells. OK is refused until both sizes are integers
// in 1..255.
class CCustomPenDlg : public QDialog {
    Q_OBJECT

public:
    explicit CCustomPenDlg(QWidget* parent = nullptr);

    // Opens the dialog on the document's current pen. On OK stores the edited pen in the
    // document and returns true; on Cancel leaves the pen as it was and returns false.
    static bool EditPen(CMainDoc& doc, QWidget* parent = nullptr);

    // Shows the four fields in the controls.
    void ShowFields();

    int m_nShape = 0;
    int m_nGradient = 4;
    int m_nVertSize = 1;
    int m_nHorzSize = 1;

    QRadioButton* ShapeRadio(int shape) const;
    QRadioButton* GradientRadio(int direction) const;
    QLineEdit* VertEdit() const { return m_pVertEdit; }
    QLineEdit* HorzEdit() const { return m_pHorzEdit; }
    QPushButton* OkButton() const { return m_pOk; }

public slots:
    // Reads the controls into the fields and closes the dialog, unless a size is bad: then
    // says so, keeps the dialog open and puts the focus on that size.
    void accept() override;

private:
    QButtonGroup* m_pShapeGroup = nullptr;
    QButtonGroup* m_pGradientGroup = nullptr;
    QLineEdit* m_pVertEdit = nullptr;
    QLineEdit* m_pHorzEdit = nullptr;
    QPushButton* m_pOk = nullptr;
};
