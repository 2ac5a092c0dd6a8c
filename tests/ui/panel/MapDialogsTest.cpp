#include "ClearMapDlg.h"
#include "MainDoc.h"
#include "MapCommands.h"
#include "MapInfo.h"
#include "MapInfoDlg.h"
#include "MiniMapDlg.h"
#include "ModalWatch.h"
#include "ResizeMapDlg.h"
#include "TestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// A 100 x 100 map with some cells set, and two views: the panel (the sender of the commands)
// and another one.
class MapDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_doc->m_map.m_nSizeX = m_doc->m_map.m_nSizeY = 100;
        for (int i = 0; i < kPlaneCells; i += 101) {
            m_doc->m_map.m_height[i] = static_cast<std::uint8_t>(i % 200 + 1);
            m_doc->m_map.m_tile[i] = static_cast<std::uint16_t>(i % 7 + 1);
        }
        m_doc->AddObserver(&m_panel);
        m_doc->AddObserver(&m_view);
        m_doc->m_redraw.m_bRedrawAll = 0;
    }

    std::unique_ptr<CMainDoc> m_doc = std::make_unique<CMainDoc>();
    CountingView m_panel;
    CountingView m_view;
};

} // namespace

TEST_F(MapDialogsTest, ResizeRefusesBadBoxesXFirstAndAppliesGoodOnes) {
    const auto watch = WhenModal<CResizeMapDlg>([](CResizeMapDlg* dlg) {
        EXPECT_EQ(dlg->XEdit()->text(), "100");
        EXPECT_EQ(dlg->YEdit()->text(), "100");
        EXPECT_TRUE(dlg->ResizeButton()->isDefault());
        // Both boxes bad: the X box is reported first and gets the focus.
        TypeInto(dlg->YEdit(), "abc");
        const std::pair<const char*, const char*> badX[] = {
            {"513", "X Size: Please enter an integer between 1 and 512."},
            {"", "X Size: Please enter an integer."},
        };
        for (auto [text, message] : badX) {
            TypeInto(dlg->XEdit(), text);
            EXPECT_EQ(MessageOnClick(dlg->ResizeButton()), message) << '"' << text << '"';
            EXPECT_TRUE(dlg->isVisible());
            EXPECT_EQ(dlg->focusWidget(), dlg->XEdit());
        }
        TypeInto(dlg->XEdit(), "512");
        EXPECT_EQ(MessageOnClick(dlg->ResizeButton()), "Y Size: Please enter an integer.");
        EXPECT_EQ(dlg->focusWidget(), dlg->YEdit());
        TypeInto(dlg->YEdit(), "64");
        EXPECT_EQ(MessageOnClick(dlg->ResizeButton()), "");
        EXPECT_FALSE(dlg->isVisible());
    });
    EXPECT_TRUE(RunResizeMap(*m_doc, &m_panel, nullptr));
    EXPECT_EQ(m_doc->m_map.m_nSizeX, 512);
    EXPECT_EQ(m_doc->m_map.m_nSizeY, 64);
    EXPECT_EQ(m_doc->m_redraw.m_bRedrawAll, 1);
    EXPECT_EQ(m_panel.updates, 0);
    EXPECT_GE(m_view.updates, 1);
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(0, 101)], 101 % 200 + 1); // planes untouched
}

TEST_F(MapDialogsTest, ResizeCancelKeepsTheSizeButRefitsTheMiniMapAndRedraws) {
    QWidget owner;
    QPointer<CMiniMapDlg> mini;
    SetMiniMap(*m_doc, true, &owner, mini, {});
    ASSERT_TRUE(mini);
    EXPECT_EQ(mini->size(), QSize(100, 100));

    // The size changed behind the mini map's back, as a map load of another size does.
    m_doc->m_map.m_nSizeX = 300;
    m_doc->m_map.m_nSizeY = 40;
    m_doc->m_overview.At(3, 3) = 0x123456;
    m_doc->m_redraw.m_bRedrawAll = 0;
    const auto watch = WhenModal<CResizeMapDlg>([](CResizeMapDlg* dlg) {
        TypeInto(dlg->XEdit(), "7");
        QTest::mouseClick(dlg->CancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(RunResizeMap(*m_doc, &m_panel, nullptr));
    EXPECT_EQ(m_doc->m_map.m_nSizeX, 300);
    EXPECT_EQ(m_doc->m_map.m_nSizeY, 40);
    EXPECT_EQ(mini->size(), QSize(300, 40));
    EXPECT_EQ(m_doc->m_overview.At(3, 3), 0u); // rebuilt black
    EXPECT_EQ(m_doc->m_redraw.m_bRedrawAll, 1);
    EXPECT_GE(m_view.updates, 1);
    SetMiniMap(*m_doc, false, &owner, mini, {});
}

TEST_F(MapDialogsTest, NewMapAsksFirstThenClearsWithAnUndoSnapshot) {
    {
        const auto watch = WhenModal<CClearMapDlg>([](CClearMapDlg* dlg) {
            EXPECT_TRUE(dlg->ClearButton()->isDefault());
            QTest::mouseClick(dlg->CancelButton(), Qt::LeftButton);
        });
        EXPECT_FALSE(RunNewMap(*m_doc, &m_panel, nullptr));
    }
    EXPECT_EQ(m_doc->m_change.m_nSnapshots, 0);
    EXPECT_EQ(m_doc->m_map.m_tile[CellIndex(2, 87)], 1111 % 7 + 1);
    EXPECT_EQ(m_view.updates, 0);

    const auto watch = WhenModal<CClearMapDlg>(
        [](CClearMapDlg* dlg) { QTest::mouseClick(dlg->ClearButton(), Qt::LeftButton); });
    EXPECT_TRUE(RunNewMap(*m_doc, &m_panel, nullptr));
    EXPECT_EQ(m_doc->m_map.m_tile[CellIndex(2, 87)], 0);
    EXPECT_EQ(m_doc->m_map.m_nSizeX, 100);
    EXPECT_EQ(m_doc->m_history.UndoLabel(), "New Map");
    m_doc->Undo();
    EXPECT_EQ(m_doc->m_map.m_tile[CellIndex(2, 87)], 1111 % 7 + 1);
    EXPECT_EQ(m_doc->m_redraw.m_bRedrawAll, 1);
    EXPECT_EQ(m_panel.updates, 0);
    EXPECT_EQ(m_view.updates, 1);
}

TEST_F(MapDialogsTest, MapInfoShowsTheMapAndThisMachinesMemory) {
    m_doc->m_tiles.m_nLastTile = 9;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 100; ++y) {
            m_doc->m_map.m_height[CellIndex(x, y)] = static_cast<std::uint8_t>(10 + (x + y) % 3);
            m_doc->m_map.m_tile[CellIndex(x, y)] = static_cast<std::uint16_t>(x % 2 ? 600 : 3);
        }
    m_doc->m_map.m_height[CellIndex(5, 5)] = 250;
    m_doc->m_map.m_height[CellIndex(200, 5)] = 0; // outside the area

    const std::uint64_t physTotal = ReadMemoryStatus().physTotal;
    const auto watch = WhenModal<CMapInfoDlg>([physTotal](CMapInfoDlg* dlg) {
        EXPECT_EQ(dlg->Value(0)->text(), "480K");
        EXPECT_EQ(dlg->Value(1)->text(), "2");
        EXPECT_EQ(dlg->Value(2)->text(), "96K");
        EXPECT_EQ(dlg->Value(4)->text(), QString::number(physTotal / 1024) + "K");
        EXPECT_EQ(dlg->Value(8)->text(), "10");
        EXPECT_EQ(dlg->Value(9)->text(), "250");
        EXPECT_EQ(dlg->Value(10)->text(), "11"); // 110,238 over the area's 10,000 cells, cut
        EXPECT_EQ(dlg->Caption(6)->text(), "Total Swap");
        EXPECT_NE(dlg->Value(11)->text(), "0K"); // the editor's own memory
        EXPECT_EQ(dlg->Value(12)->text(), "100 x 100");
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        EXPECT_FALSE(dlg->isVisible());
    });
    RunMapInfo(*m_doc, nullptr);
    EXPECT_EQ(m_doc->m_nUniqueTiles, 2);
    EXPECT_EQ(m_doc->m_redraw.m_bRedrawAll, 0);
    EXPECT_EQ(m_view.updates, 0);
}
