#pragma once

#include "Companions.h"
#include "Picture.h"

#include <QDialog>

#include <functional>

class CDocObserver;
class CMainDoc;

// The modeless "Map View" window: the editing area at one pixel per cell, each pixel the
// average colour of the cell's tile, kept current by the map view while it paints. Only the
// first 256 x 256 cells are shown and clickable. A left click or drag asks the map view to show
// the cell under the pointer at its top left. Closing the window only hides it; the document
// destroys it the next time it asks whether it is open.
class CMiniMapDlg : public QDialog, public CMiniMapLink {
    Q_OBJECT

public:
    // Cells shown along each axis, whatever the picture's size.
    static constexpr int kShownCells = 256;

    // `panel` is the window's parent; when it is also a view of the document, it is left out
    // of the update that a jump request sends. `userClosed` runs when the user closes the
    // window.
    CMiniMapDlg(CMainDoc* doc, QWidget* panel, std::function<void()> userClosed = {});
    ~CMiniMapDlg() override;

    bool IsAlive() const override { return m_bAlive != 0; }
    void SetPictureSize(int width, int height) override;
    // Recreates the picture, black, at m_nPicWidth x m_nPicHeight and fits the window's
    // client area to it, keeping the window's position.
    void BuildPicture() override;
    void Repaint() override;
    void DestroyWindow() override;
    Picture* Overview() override { return &m_hPicture; }
    bool TakeJumpRequest(int& x, int& y) override;

    void SetUserClosed(std::function<void()> userClosed) { m_userClosed = std::move(userClosed); }

    int m_bAlive = 1;
    int m_bJumpPending = 0;
    int m_nJumpX = 0;
    int m_nJumpY = 0;
    int m_nPicWidth = 0;
    int m_nPicHeight = 0;

public slots:
    // Every way of closing the window (the close button, Escape) ends here.
    void done(int result) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void RequestJump(const QPoint& client);

    CMainDoc* m_pDoc;
    CDocObserver* m_pPanelView;
    std::function<void()> m_userClosed;
    Picture m_hPicture;
};
