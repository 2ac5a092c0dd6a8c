#pragma once

#include <QDialog>
#include <QPointer>

class CMainDoc;
class QButtonGroup;
class QRadioButton;

// The modeless "Gradient" dialog: the axis (0 diagonal, 1 vertical, 2 horizontal, 3 mound)
// along which a dragged rectangle is filled with a height ramp. Each choice goes straight into
// the document's gradient setting, so it holds after the dialog is closed. Closing the dialog
// destroys it.
class CGradientDlg : public QDialog {
    Q_OBJECT

public:
    CGradientDlg(CMainDoc* doc, QWidget* owner = nullptr);
    ~CGradientDlg() override;

    // Brings the open dialog in `slot` to the front, or creates one owned by `owner` in it,
    // showing the document's gradient setting (a negative setting becomes 3).
    static void OpenFor(CMainDoc& doc, QWidget* owner, QPointer<CGradientDlg>& slot);

    // Checks the radio of `axis` and takes it as the current direction.
    void SetDirection(int axis);
    QRadioButton* DirectionRadio(int axis) const;
    int Direction() const { return m_nDirection; }

    int m_bClosed = 0; // closed and waiting to be deleted

public slots:
    // Every way of closing the window (the close button, Escape) ends here.
    void done(int result) override;

private:
    CMainDoc* m_pDoc;
    int m_nDirection = 3;
    QButtonGroup* m_pGroup = nullptr;
};
