#pragma once

#include <QDialog>

class QButtonGroup;
class QPushButton;
class QRadioButton;

// The modal "Export to UnrealEd T3D" dialog: the piece size and whether to export one piece at
// the upper-left corner or the whole map in pieces. It always opens on "16x16" and "Upper-Left
// Corner"; "Export T3D" (the default button) stores the choices in the two fields and accepts.
class CExportT3dDlg : public QDialog {
    Q_OBJECT

public:
    explicit CExportT3dDlg(QWidget* parent = nullptr);

    int m_nSize = 2;     // 0 "50x50", 1 "32x32", 2 "16x16", 3 "8x8"
    int m_nLocation = 0; // 0 "Upper-Left Corner", 1 "Entire Map"

    QRadioButton* SizeRadio(int index) const;
    QRadioButton* LocationRadio(int index) const;
    QPushButton* ExportButton() const { return m_pExport; }
    QPushButton* CancelButton() const { return m_pCancel; }

public slots:
    void accept() override;

private:
    QButtonGroup* m_pSizeGroup = nullptr;
    QButtonGroup* m_pLocationGroup = nullptr;
    QPushButton* m_pExport = nullptr;
    QPushButton* m_pCancel = nullptr;
};
