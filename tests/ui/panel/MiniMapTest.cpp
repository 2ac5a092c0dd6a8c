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
        std::filesystem::create_directories(m_dir / "Textures");
        TestBmp::Filled(128, 128, 0x00304050).Write(m_dir / "Textures" / "A0000000.BMP");
        TestBmp::Filled(128, 128, 0x00A0B0C0).Write(m_dir / "Textures" / "B0000000.BMP");
        auto doc = std::make_unique<CMainDoc>();
        ASSERT_TRUE(doc->OnNewDocument(m_dir.Path()));
        m_frame = std::make_unique<CSplitterFrame>(std::move(doc));
        m_frame->resize(900, 700);
        m_frame->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
        m_view = m_frame->TextView();
        m_doc = m_frame->GetDocument();
    }

    void TearDown() override {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    CMiniMapDlg* Open() {
        SetMiniMap(*m_doc, true, m_frame->InputView(), [this] { ++m_userCloses; });
        return dynamic_cast<CMiniMapDlg*>(m_doc->m_pMiniMap);
    }

    void PaintView() {
        QApplication::processEvents();
        m_view->viewport()->repaint();
        QApplication::processEvents();
    }

    static void DragTo(QWidget* w, QPoint p) {
        QMouseEvent move(QEvent::MouseMove, p, w->mapToGlobal(p), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(w, &move);
    }

    TempDir m_dir;
    std::unique_ptr<CSplitterFrame> m_frame;
    CTextView* m_view = nullptr;
    CMainDoc* m_doc = nullptr;
    int m_userCloses = 0;
};

} // namespace

TEST_F(MiniMapTest, ShowsTheMapAndClicksScrollTheMapView) {
    m_doc->SetTile(10, 20, 1, 0);
    QPointer<CMiniMapDlg> mini = Open();
    ASSERT_TRUE(mini);
    EXPECT_EQ(m_doc->m_bRedrawAll, 1);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(mini.data()));
    EXPECT_EQ(mini->windowTitle(), "Map View");
    EXPECT_FALSE(mini->isModal());
    EXPECT_EQ(mini->parentWidget(), m_frame->InputView());
    EXPECT_EQ(mini->m_nPicWidth, 256);
    EXPECT_EQ(mini->m_nPicHeight, 256);
    EXPECT_EQ(mini->size(), QSize(256, 256));

    // The map view's full redraw fills the picture; the window shows it one to one.
    PaintView();
    EXPECT_EQ(mini->Overview()->At(10, 20), static_cast<std::uint32_t>(m_doc->m_tileColor[1]));
    const QImage shown = mini->grab().toImage();
    EXPECT_EQ(shown.pixel(10, 20) & 0xFFFFFF, static_cast<std::uint32_t>(m_doc->m_tileColor[1]));
    EXPECT_EQ(shown.pixel(11, 20) & 0xFFFFFF, static_cast<std::uint32_t>(m_doc->m_tileColor[0]));

    // A click asks the map view to show that cell at its top left; the view's own update
    // brings the paint that serves it.
    QTest::mouseClick(mini, Qt::LeftButton, {}, QPoint(40, 30));
    EXPECT_EQ(mini->m_bJumpPending, 1);
    QApplication::processEvents();
    EXPECT_EQ(mini->m_bJumpPending, 0);
    EXPECT_EQ(m_view->ScrollPosition(), QPoint(240, 180));
    EXPECT_EQ(m_view->CellAt(QPoint(0, 0)), QPoint(40, 30));

    // Dragging with the button held keeps the view following.
    QTest::mousePress(mini, Qt::LeftButton, {}, QPoint(5, 5));
    DragTo(mini, QPoint(12, 9));
    PaintView();
    EXPECT_EQ(m_view->ScrollPosition(), QPoint(72, 54));
    DragTo(mini, QPoint(-3, 9)); // left of the picture: ignored
    EXPECT_EQ(mini->m_bJumpPending, 0);
    QTest::mouseRelease(mini, Qt::LeftButton, {}, QPoint(12, 9));

    // A 512 x 512 map: the window grows, but only the first 256 x 256 cells are clickable.
    m_doc->m_nSizeX = m_doc->m_nSizeY = 512;
    m_doc->RefreshMiniMap();
    EXPECT_EQ(mini->size(), QSize(512, 512));
    QTest::mouseClick(mini, Qt::LeftButton, {}, QPoint(300, 10));
    QTest::mouseClick(mini, Qt::LeftButton, {}, QPoint(10, 256));
    EXPECT_EQ(mini->m_bJumpPending, 0);
    QTest::mouseClick(mini, Qt::LeftButton, {}, QPoint(255, 255));
    PaintView();
    EXPECT_EQ(m_view->ScrollPosition(), QPoint(1530, 1530));
    EXPECT_EQ(m_userCloses, 0);
}

TEST_F(MiniMapTest, UserCloseNotifiesAndTheToggleOpensAndClosesOneWindow) {
    QPointer<CMiniMapDlg> mini = Open();
    ASSERT_TRUE(mini);
    // On while open: the same window.
    EXPECT_EQ(Open(), mini.data());

    // Closed by the user: hidden and reported; the document drops it when it next asks.
    mini->close();
    EXPECT_EQ(m_userCloses, 1);
    EXPECT_FALSE(mini->isVisible());
    EXPECT_EQ(mini->m_bAlive, 0);
    EXPECT_EQ(m_doc->m_pMiniMap, mini.data());
    EXPECT_FALSE(m_doc->IsMiniMapOpen());
    EXPECT_EQ(m_doc->m_pMiniMap, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(mini);

    // On again: a new window; Escape closes it like the close box.
    mini = Open();
    ASSERT_TRUE(mini);
    QTest::keyClick(mini, Qt::Key_Escape);
    EXPECT_EQ(m_userCloses, 2);
    EXPECT_FALSE(m_doc->IsMiniMapOpen());

    // Off: closed and destroyed without a user-close notice.
    mini = Open();
    ASSERT_TRUE(mini);
    SetMiniMap(*m_doc, false, m_frame->InputView(), {});
    EXPECT_EQ(m_doc->m_pMiniMap, nullptr);
    EXPECT_FALSE(mini->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(mini);
    EXPECT_EQ(m_userCloses, 2);
    SetMiniMap(*m_doc, false, m_frame->InputView(), {}); // already off
}

TEST_F(MiniMapTest, NoDanglingPointerWhicheverGoesFirst) {
    // The panel goes first (with the whole map window): the document is told.
    QPointer<CMiniMapDlg> mini = Open();
    ASSERT_TRUE(mini);
    m_frame.reset();
    EXPECT_FALSE(mini);

    // A document on its own with an outside owner.
    auto doc = std::make_unique<CMainDoc>();
    auto owner = std::make_unique<QWidget>();
    SetMiniMap(*doc, true, owner.get(), {});
    mini = dynamic_cast<CMiniMapDlg*>(doc->m_pMiniMap);
    ASSERT_TRUE(mini);
    owner.reset();
    EXPECT_FALSE(mini);
    EXPECT_EQ(doc->m_pMiniMap, nullptr);
    EXPECT_FALSE(doc->IsMiniMapOpen());

    // The document goes first: it closes the window, which the owner may outlive.
    owner = std::make_unique<QWidget>();
    SetMiniMap(*doc, true, owner.get(), [] { FAIL() << "not closed by the user"; });
    mini = dynamic_cast<CMiniMapDlg*>(doc->m_pMiniMap);
    ASSERT_TRUE(mini);
    doc.reset();
    EXPECT_FALSE(mini->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(mini);
}
