#pragma once

#include "MainDoc.h"

#include <QColor>
#include <QDialog>
#include <QRect>

#include <functional>

// The modeless "Map View" window: the editing area at one pixel per cell, each pixel the
// average colour of the cell's tile. It shows the document's overview picture, which the map
// view keeps current while the window is open, and outlines the cells the map view shows. Only
// the first 256 x 256 cells are shown and clickable. A left click centres the map view on the
// clicked cell; dragging the outline (or dragging after a click) scrolls the map view along.
// Closing the window gives up the overview and destroys the window.
class CMiniMapDlg : public QDialog, public CDocObserver {
    Q_OBJECT

public:
    // Cells shown along each axis, whatever the picture's size.
    static constexpr int kShownCells = 256;

    // Opens the document's overview. `panel` is the window's parent; when it is also a view of
    // the document, it is left out of the updates the window sends. `userClosed` runs when the
    // user closes the window.
    CMiniMapDlg(CMainDoc* doc, QWidget* panel, std::function<void()> userClosed = {});
    ~CMiniMapDlg() override;

    void OnDocUpdate(CDocObserver* sender, int hint) override;
    void SetUserClosed(std::function<void()> userClosed) { m_userClosed = std::move(userClosed); }
    // Closes without the user-closed notice (the panel's toggle turned off).
    void CloseQuietly();
    // The map view's cells, in window pixels (one per cell).
    QRect ViewRect() const;
    static const QColor kViewRectColor;

    // False once closed: the window no longer shows the document and is about to go.
    bool IsAttached() const { return m_pDoc != nullptr; }

public slots:
    // Every way of closing the window (the close button, Escape) ends here.
    void done(int result) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void FitToPicture();
    void RequestJump(const QPoint& client);
    // Gives the overview back and stops observing: the window is on its way out.
    void Detach();

    CMainDoc* m_pDoc;
    CDocObserver* m_pPanelView;
    std::function<void()> m_userClosed;
    QPoint m_grab; // where the pointer holds the view's rectangle, from its top left
};
