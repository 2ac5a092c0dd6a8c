#include "InputView.h"
#include "MainDoc.h"
#include "MapCommands.h"
#include "MiniMapDlg.h"
#include "SplitterFrame.h"
#include "TestSupport.h"
#include "TextView.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A shown map window with two plain tiles; the mini map belongs to its panel.
class MiniMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        WritePlainTiles(m_dir.Path(), {0x00304050, 0x00A0B0C0});
        m_frame = ShowMapWindow(m_dir.Path(), {900, 700});
        ASSERT_TRUE(m_frame);
        m_view = m_frame->TextView();
        m_doc = m_frame->GetDocument();
    }
    void TearDown() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    CMiniMapDlg* Open() {
        SetMiniMap(*m_doc, true, m_frame->InputView(), m_slot, [this] { ++m_userCloses; });
        return m_slot;
    }
    void PaintView() {
        QApplication::processEvents();
        m_view->viewport()->repaint();
        QApplication::processEvents();
    }

    TempDir m_dir;
    std::unique_ptr<CSplitterFrame> m_frame;
    CTextView* m_view = nullptr;
    CMainDoc* m_doc = nullptr;
    QPointer<CMiniMapDlg> m_slot;
    int m_userCloses = 0;
};

} // namespace

TEST_F(MiniMapTest, ShowsTheMapAndClicksScrollTheMapView) {
    m_doc->SetTile(10, 20, 1, 0);
    QPointer<CMiniMapDlg> mini = Open();
    ASSERT_TRUE(mini);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(mini.data()));
    EXPECT_EQ(mini->size(), QSize(256, 256));

    // The map view's full redraw fills the picture; the window shows it one to one.
    PaintView();
    const QImage shown = mini->grab().toImage();
    EXPECT_EQ(shown.pixel(10, 20) & 0xFFFFFF,
              static_cast<std::uint32_t>(m_doc->m_tiles.m_tileColor[1]));
    EXPECT_EQ(shown.pixel(11, 20) & 0xFFFFFF,
              static_cast<std::uint32_t>(m_doc->m_tiles.m_tileColor[0]));

    // The outline shows the cells the map view shows, partly shown ones included.
    const QRect view = mini->ViewRect();
    const QSize viewport = m_view->viewport()->size();
    EXPECT_EQ(view, QRect(0, 0, (viewport.width() + 127) / 128, (viewport.height() + 127) / 128));
    EXPECT_EQ(shown.pixel(view.right(), 3), CMiniMapDlg::kViewRectColor.rgb());
    const QPoint half(view.width() / 2, view.height() / 2);

    // A click centres the map view on the clicked cell; the view's own update brings the paint
    // that serves it.
    QTest::mouseClick(mini, Qt::LeftButton, {}, QPoint(40, 30));
    PaintView();
    EXPECT_EQ(m_view->CellAt(QPoint(0, 0)), QPoint(40, 30) - half);
    EXPECT_EQ(mini->ViewRect().topLeft(), QPoint(40, 30) - half);

    // Dragging the outline takes the view along, the grabbed point staying under the pointer;
    // left of the picture is ignored.
    const QPoint grab = mini->ViewRect().topLeft() + QPoint(1, 1);
    QTest::mousePress(mini, Qt::LeftButton, {}, grab);
    for (QPoint p : {grab + QPoint(7, 4), QPoint(-3, 9)}) {
        QMouseEvent move(QEvent::MouseMove, p, mini->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(mini, &move);
        PaintView();
        EXPECT_EQ(mini->ViewRect().topLeft(), grab + QPoint(6, 3));
    }
    QTest::mouseRelease(mini, Qt::LeftButton, {}, grab + QPoint(7, 4));
    const QPoint dragged = m_view->ScrollPosition();

    // A 512 x 512 map: the window grows, but only the first 256 x 256 cells are clickable.
    m_doc->m_map.m_nSizeX = m_doc->m_map.m_nSizeY = 512;
    m_doc->RefitOverview();
    EXPECT_EQ(mini->size(), QSize(512, 512));
    QTest::mouseClick(mini, Qt::LeftButton, {}, QPoint(300, 10));
    QTest::mouseClick(mini, Qt::LeftButton, {}, QPoint(10, 256));
    PaintView();
    EXPECT_EQ(m_view->ScrollPosition(), dragged);
    QTest::mouseClick(mini, Qt::LeftButton, {}, QPoint(255, 255));
    PaintView();
    EXPECT_EQ(m_view->CellAt(QPoint(0, 0)), QPoint(255, 255) - half);
    EXPECT_EQ(m_userCloses, 0);
}

TEST_F(MiniMapTest, UserCloseNotifiesAndTheToggleOpensAndClosesOneWindow) {
    QPointer<CMiniMapDlg> mini = Open();
    ASSERT_TRUE(mini);
    EXPECT_TRUE(m_doc->HasOverview());
    EXPECT_EQ(Open(), mini.data()); // on while open: the same window

    // Closed by the user: reported, the overview given up, the window destroyed.
    mini->close();
    EXPECT_EQ(m_userCloses, 1);
    EXPECT_FALSE(m_doc->HasOverview());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(mini);

    // On again: a new window; Escape closes it like the close box.
    mini = Open();
    ASSERT_TRUE(mini);
    QTest::keyClick(mini, Qt::Key_Escape);
    EXPECT_EQ(m_userCloses, 2);
    EXPECT_FALSE(m_doc->HasOverview());

    // Off: closed and destroyed without a user-close notice. A window opened before the
    // closed one is gone keeps its overview.
    mini = Open();
    SetMiniMap(*m_doc, false, m_frame->InputView(), m_slot, {});
    QPointer<CMiniMapDlg> again = Open();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(mini);
    EXPECT_TRUE(again);
    EXPECT_TRUE(m_doc->HasOverview());
    EXPECT_EQ(m_userCloses, 2);
    SetMiniMap(*m_doc, false, m_frame->InputView(), m_slot, {});
    SetMiniMap(*m_doc, false, m_frame->InputView(), m_slot, {}); // already off
    EXPECT_FALSE(m_doc->HasOverview());
}

TEST_F(MiniMapTest, GoesWithItsPanelAndTheDocumentForgetsIt) {
    QPointer<CMiniMapDlg> mini = Open();
    ASSERT_TRUE(mini);
    auto owner = std::make_unique<QWidget>();
    // A window with another owner that goes first: the document's overview goes with it.
    SetMiniMap(*m_doc, false, m_frame->InputView(), m_slot, {});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QPointer<CMiniMapDlg> other;
    SetMiniMap(*m_doc, true, owner.get(), other, {});
    ASSERT_TRUE(other);
    EXPECT_TRUE(m_doc->HasOverview());
    owner.reset();
    EXPECT_FALSE(other);
    EXPECT_FALSE(m_doc->HasOverview());
    m_doc->UpdateAllViews(nullptr, hintOverviewResized); // no observer left behind

    // The panel goes first (with the whole map window).
    mini = Open();
    ASSERT_TRUE(mini);
    m_frame.reset();
    EXPECT_FALSE(mini);
}
