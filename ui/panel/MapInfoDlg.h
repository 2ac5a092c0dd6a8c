#pragma once

#include <QDialog>

struct MapInfoReport;
class QLabel;
class QPushButton;

// The modal "Map Information Display" report: the map's size, tile memory, the machine's and
// the editor's memory and the map's heights. It changes nothing.
class CMapInfoDlg : public QDialog {
    Q_OBJECT

public:
    explicit CMapInfoDlg(QWidget* parent = nullptr);

    // Shows the report's values.
    void ShowReport(const MapInfoReport& report);

    // Row i of the report: "All tiles currently loaded in editor:" (0) to "Average" (10) as
    // in the frames, then "Used by This Editor" (11) and "Map Size" (12).
    static constexpr int kRows = 13;
    QLabel* Caption(int i) const { return m_pCaption[i]; }
    QLabel* Value(int i) const { return m_pValue[i]; }
    QPushButton* OkButton() const { return m_pOk; }

private:
    QLabel* m_pCaption[kRows] = {};
    QLabel* m_pValue[kRows] = {};
    QPushButton* m_pOk = nullptr;
};
