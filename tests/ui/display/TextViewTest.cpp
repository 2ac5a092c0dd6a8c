#include "TextView.h"
#include "Commands.h"
#include "InputView.h"
#include "MainDoc.h"
#include "SplitterFrame.h"
#include "TestSupport.h"
#include "ToolCodes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A map window on its own, with two plain tiles, shown at a known size.
class TextViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        WritePlainTiles(m_dir.Path(), {0x00304050, 0x00A0B0C0});
        m_frame = ShowMapWindow(m_dir.Path(), {900, 700});
        ASSERT_TRUE(m_frame);
        m_view = m_frame->TextView();
        m_doc = m_view->GetDocument();
        m_doc->m_view.m_nHeightViewScale = -1; // tiles exactly as loaded
    }

    QImage Shown() {
        m_view->viewport()->repaint();
        return m_view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    TempDir m_dir;
    std::unique_ptr<CSplitterFrame> m_frame;
    CTextView* m_view = nullptr;
    CMainDoc* m_doc = nullptr;
};

TEST_F(TextViewTest, ShowsTheFrameAndRedrawsChangedCells) {
    QImage shown = Shown();
    const QSize client = m_view->viewport()->size();
    EXPECT_EQ(m_view->Renderer().m_hFrameDib.width, client.width() + 200);
    EXPECT_EQ(m_view->Renderer().m_hFrameDib.height, client.height() + 200);
    EXPECT_EQ(shown.pixel(5, 5) & 0xFFFFFF, 0x304050u);

    // An edit marks the cell; the next paint draws only it and empties the list.
    m_doc->m_view.m_nZoomStep = 8;
    m_doc->m_view.m_nCellPixels = 16;
    m_doc->RedrawAll();
    Shown();
    m_doc->SetTile(2, 1, 1, 0);
    m_doc->UpdateAllViews(nullptr);
    shown = Shown();
    EXPECT_EQ(m_doc->m_redraw.m_nLastDirty, -1);
    EXPECT_EQ(shown.pixel(2 * 16 + 3, 16 + 3) & 0xFFFFFF, 0xA0B0C0u);
    EXPECT_EQ(shown.pixel(3 * 16 + 3, 16 + 3) & 0xFFFFFF, 0x304050u);
    // Beyond the 256-cell map (scrolled to the end) the cells are black.
    m_view->ScrollTo(m_view->horizontalScrollBar()->maximum(), 0);
    shown = Shown();
    EXPECT_EQ(shown.pixel(client.width() - 20, 5) & 0xFFFFFF, 0u);
}

TEST_F(TextViewTest, ScrollsInSixthsOfACellAndKeepsTheTopLeftCellOnZoom) {
    QScrollBar* h = m_view->horizontalScrollBar();
    EXPECT_EQ(m_view->m_sizeTotal, QSize(2572, 2572));
    EXPECT_EQ(h->pageStep(), 257);
    EXPECT_EQ(h->singleStep(), 25);
    EXPECT_EQ(h->maximum(), 2572 - m_view->viewport()->width());

    m_view->ScrollTo(600, 0);
    EXPECT_EQ(m_doc->m_redraw.m_bRedrawAll, 1); // scrolling redraws everything
    EXPECT_EQ(m_view->CellAt(QPoint(130, 10)), QPoint(101, 0));
    // The Zoom menu command goes through the panel; the scroll position stays.
    m_frame->InputView()->OnCommand(CommandId::Zoom4);
    EXPECT_EQ(m_doc->m_view.m_nCellPixels, 32);
    EXPECT_EQ(m_doc->m_view.m_nZoomStep, 4);
    EXPECT_EQ(m_view->ScrollPosition(), QPoint(600, 0));
    EXPECT_EQ(m_view->CellAt(QPoint(130, 10)), QPoint(104, 0));
    m_view->ScrollTo(605, 0); // not a multiple of 6: the same first cell
    EXPECT_EQ(m_view->CellAt(QPoint(0, 0)), QPoint(100, 0));

    // Scrolling, zooming and the view toggles change how the map looks, not the map.
    for (QAbstractButton* toggle :
         {m_frame->InputView()->Ctl().grid, m_frame->InputView()->Ctl().gouraud,
          m_frame->InputView()->Ctl().scaleMarker})
        QTest::mouseClick(toggle, Qt::LeftButton);
    EXPECT_EQ(m_doc->m_change.m_bModified, 0);
    EXPECT_FALSE(m_frame->windowTitle().contains('*'));

    // A larger map gets a larger extent when the views are told.
    m_doc->m_map.m_nSizeX = 512;
    m_doc->UpdateAllViews(nullptr);
    EXPECT_EQ(m_view->m_sizeTotal, QSize(4108, 2572));
}

TEST_F(TextViewTest, MouseMovesUpdateTheReadoutCell) {
    m_doc->m_map.m_height[CellIndex(1, 0)] = 37;
    QTest::mouseMove(m_view->viewport(), QPoint(130, 10));
    QApplication::processEvents();
    EXPECT_EQ(m_view->Editor().m_ptHover.x, 1);
    EXPECT_EQ(m_view->Editor().m_ptHover.y, 0);
    // The readout is drawn over the frame in the lower left: pale green text pixels appear.
    const QImage shown = Shown();
    const int h = shown.height();
    int textPixels = 0;
    for (int y = h - 20; y < h; ++y)
        for (int x = 8; x < 120; ++x)
            if ((shown.pixel(x, y) & 0xFFFFFF) == 0xC8FFC8u)
                ++textPixels;
    EXPECT_GT(textPixels, 10);
    // Clicking the map does not take the focus from the panel.
    m_frame->InputView()->setFocus();
    QTest::mouseClick(m_view->viewport(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_FALSE(m_view->hasFocus());
    EXPECT_FALSE(m_view->viewport()->hasFocus());
}

TEST_F(TextViewTest, ARectDragIsOutlinedUntilTheRelease) {
    m_frame->InputView()->OnCommand(CommandId::Zoom16); // 8 pixels a cell
    m_doc->m_tools.m_nDrawStyle = styleRect;
    QWidget* vp = m_view->viewport();
    auto outlined = [&](QPoint p) {
        return (Shown().pixel(p) & 0xFFFFFF) == (CTextView::kRectOutlineColor.rgb() & 0xFFFFFF);
    };
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(2 * 8 + 3, 1 * 8 + 3)); // cell (2, 1)
    QTest::mouseMove(vp, QPoint(6 * 8 + 3, 4 * 8 + 3));                      // cell (6, 4)
    // The outline runs along the outer pixels of cells (2, 1) to (6, 4).
    EXPECT_TRUE(outlined(QPoint(2 * 8, 1 * 8)));
    EXPECT_TRUE(outlined(QPoint(7 * 8 - 1, 3 * 8)));
    EXPECT_TRUE(outlined(QPoint(4 * 8, 5 * 8 - 1)));
    EXPECT_FALSE(outlined(QPoint(4 * 8, 3 * 8))); // inside
    EXPECT_FALSE(outlined(QPoint(7 * 8, 3 * 8))); // outside
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(6 * 8 + 3, 4 * 8 + 3));
    EXPECT_FALSE(outlined(QPoint(2 * 8, 1 * 8)));
}

TEST_F(TextViewTest, KeyboardScrollsAndZoomsKeepTheCellUnderTheMouse) {
    CInputView* panel = m_frame->InputView();
    QWidget* vp = m_view->viewport();
    panel->OnCommand(CommandId::Zoom16); // 8 pixels a cell
    // A click in the map hands the keyboard to the panel, whose free keys move the map.
    QTest::mouseClick(vp, Qt::LeftButton, {}, QPoint(4, 4));
    ASSERT_TRUE(panel->hasFocus());
    QTest::keyClick(panel, Qt::Key_Right);
    QTest::keyClick(panel, Qt::Key_Down);
    QTest::keyClick(panel, Qt::Key_Down);
    EXPECT_EQ(m_view->CellAt(QPoint(0, 0)), QPoint(1, 2));
    QTest::keyClick(panel, Qt::Key_Right, Qt::ShiftModifier); // a page: the whole cells shown
    EXPECT_EQ(m_view->CellAt(QPoint(0, 0)), QPoint(1 + vp->width() / 8, 2));
    QTest::keyClick(panel, Qt::Key_Home);
    EXPECT_EQ(m_view->ScrollPosition(), QPoint(0, 0));

    // Ctrl+wheel zooms around the mouse: the cell under it stays under it.
    m_view->ScrollTo(6 * 40, 6 * 30);
    const QPoint at(203, 117);
    const QPoint cell = m_view->CellAt(at);
    QWheelEvent in(at, vp->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                   Qt::ControlModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(vp, &in);
    EXPECT_EQ(m_doc->m_view.m_nCellPixels, 16);
    EXPECT_EQ(m_view->CellAt(at), cell);
    EXPECT_EQ(panel->State().m_nZoomIndex, 3); // the zoom buttons follow
    // The menu's Zoom Out (also "-") goes back; below x1 and above x32 nothing changes.
    panel->OnCommand(CommandId::ZoomOut);
    EXPECT_EQ(m_doc->m_view.m_nCellPixels, 8);
    for (int i = 0; i < 8; ++i)
        panel->OnCommand(CommandId::ZoomIn);
    EXPECT_EQ(m_doc->m_view.m_nCellPixels, 128);
}

TEST_F(TextViewTest, DraggingRaisesTheCellsUnderTheMouseAndUndoRevertsTheStroke) {
    m_doc->m_tools.m_nTool = 0; // raise and lower land, pen "Normal", 128 pixels per cell
    QWidget* vp = m_view->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseMove(vp, QPoint(60, 20)); // the same cell: nothing more
    QTest::mouseMove(vp, QPoint(140, 20));
    QTest::mouseMove(vp, QPoint(270, 140));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(270, 140));
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(0, 0)], 1);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(1, 0)], 1);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(2, 1)], 1);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(1, 1)], 0);
    // The right button lowers again; Undo takes back the click, then the drag as a whole.
    QTest::mouseClick(vp, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(0, 0)], 0);
    m_frame->InputView()->OnCommand(CommandId::Undo);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(0, 0)], 1);
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(400, 10));
    QTest::mouseMove(vp, QPoint(530, 10));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(530, 10));
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(3, 0)] + m_doc->m_map.m_height[CellIndex(4, 0)], 2);
    m_frame->InputView()->OnCommand(CommandId::Undo);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(3, 0)], 0);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(4, 0)], 0);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(2, 1)], 1);
    // Two more steps back: the click was undone already, so the first drag goes; then there
    // is nothing left, and the map is as new (no asterisk). Redo brings the drags back.
    m_frame->InputView()->OnCommand(CommandId::Undo);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(2, 1)], 0);
    EXPECT_EQ(m_frame->InputView()->CommandEnabled(CommandId::Undo), false);
    EXPECT_FALSE(m_frame->windowTitle().contains('*'));
    EXPECT_EQ(m_frame->InputView()->CommandText(CommandId::Redo), "&Redo Raise Land\tCtrl+Y");
    m_frame->InputView()->OnCommand(CommandId::Redo);
    m_frame->InputView()->OnCommand(CommandId::Redo);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(2, 1)], 1);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(3, 0)] + m_doc->m_map.m_height[CellIndex(4, 0)], 2);
    EXPECT_TRUE(m_frame->windowTitle().contains('*'));
}

} // namespace
