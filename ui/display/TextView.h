#pragma once

#include "MainDoc.h"
#include "MapEditor.h"
#include "MapRenderer.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QPoint>

// The map view: the upper right pane of a map window. It draws the visible cells through the
// core renderer into its frame picture and copies that to the window in one call. The scroll
// position is kept in sixths of a cell. It never takes keyboard focus, so the tool panel stays
// the command target of the window.
class CTextView : public QAbstractScrollArea, public CDocObserver {
    Q_OBJECT

public:
    explicit CTextView(CMainDoc* doc, QWidget* parent = nullptr);
    ~CTextView() override;

    CMainDoc* GetDocument() const { return m_pDoc; }
    void OnDocUpdate(CDocObserver* sender, int hint) override;

    // Scroll position in scroll units (6 per cell).
    QPoint ScrollPosition() const;
    void ScrollTo(int unitsX, int unitsY);
    // The map cell under a point of the viewport, not clamped to the map.
    QPoint CellAt(const QPoint& client) const;

    QSize m_sizeTotal;
    // The outline of a Rect drag in progress.
    static const QColor kRectOutlineColor;
    const MapRenderer& Renderer() const { return m_renderer; }
    // The mouse handling: anchor, last and hover cells, and the tools it drives.
    MapEditor& Editor() { return m_editor; }

    // Scrolls for the arrow keys (a cell; with Shift a page), Page Up/Down (a page) and Home
    // (the top left). Returns false for other keys.
    bool NavigationKey(int key, Qt::KeyboardModifiers modifiers);
    // Scrolls so that `cell` lies under the client point `client` (after a zoom).
    void KeepCellAt(const QPoint& cell, const QPoint& client);
    // Where a zoom from the keyboard or menu centres: the mouse when it is over the map, else
    // the middle of the view.
    QPoint ZoomAnchor() const;

signals:
    // A mouse gesture may have changed the map.
    void edited();
    // Ctrl+wheel: zoom in (steps > 0) or out around the client point.
    void zoomRequested(int steps, QPoint client);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void ApplyScrollExtent();
    CellPair CellOf(const QMouseEvent* event) const;
    static int KeyStateOf(const QMouseEvent* event);

    CMainDoc* m_pDoc;
    MapRenderer m_renderer;
    MapEditor m_editor;
};
