#pragma once

#include "Companions.h"

#include <QDialog>

class CMainDoc;
class QButtonGroup;
class QRadioButton;

// The modeless "Gradient" dialog: the axis (0 diagonal, 1 vertical, 2 horizontal, 3 mound)
// along which a dragged rectangle is filled with a height ramp. Closing it only hides it; the
// document destroys it the next time it asks whether it is open, and until then still reads
// the hidden dialog's choice.
class CGradientDlg : public QDialog, public CGradientLink {
    Q_OBJECT

public:
    CGradientDlg(CMainDoc* doc, QWidget* owner = nullptr);
    ~CGradientDlg() override;

    // Brings the document's open dialog to the front, or creates one owned by `owner`,
    // showing the document's gradient setting (a negative setting becomes 3).
    static void OpenFor(CMainDoc& doc, QWidget* owner);

    // Checks the radio of `axis` and takes it as the current direction.
    void SetDirection(int axis);
    QRadioButton* DirectionRadio(int axis) const;

    bool IsOpen() const override { return m_bOpen != 0; }
    int Direction() const override { return m_nDirection; }
    void DestroyWindow() override;

    int m_nDirection = 3;
    int m_bOpen = 1;

public slots:
    // Every way of closing the window (the close button, Escape) ends here.
    void done(int result) override;

private:
    CMainDoc* m_pDoc;
    QButtonGroup* m_pGroup = nullptr;
};
