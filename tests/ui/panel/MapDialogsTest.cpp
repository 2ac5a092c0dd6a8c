#include "ClearMapDlg.h"
#include "MainDoc.h"
#include "MapCommands.h"
#include "MapInfo.h"
#include "MapInfoDlg.h"
#include "MiniMapDlg.h"
#include "ProjectDlg.h"
#include "ResizeMapDlg.h"

#include "ModalWatch.h"
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace {

// Clicks `button` and returns the text of the message box this opens ("" if none).
QString MessageOnClick(QPushButton* button) {
    QString text;
    const auto watch1 = WhenModal<QMessageBox>([&text](QMessageBox* box) {
        text = box->text();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    return text;
}

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

QStringList LabelTexts(QWidget* w) {
    QStringList texts;
    for (QLabel* label : w->findChildren<QLabel*>())
        texts << label->text();
    return texts;
}

struct CountingView : CDocObserver {
    void OnDocUpdate(CDocObserver*, int) override { ++updates; }
    int updates = 0;
};

// A document with some cells set inside and outside a 100 x 100 area, and two views: the
// panel (the sender of the commands) and another one.
class MapDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_doc = std::make_unique<CMainDoc>();
        m_doc->m_nSizeX = m_doc->m_nSizeY = 100;
        for (int i = 0; i < kPlaneCells; i += 101) {
            m_doc->m_height[i] = static_cast<std::uint8_t>(i % 200 + 1);
            m_doc->m_tile[i] = static_cast<std::uint16_t>(i % 7 + 1);
            m_doc->m_mirror[i] = 1;
            m_doc->m_flip[i] = 1;
        }
        m_doc->AddObserver(&m_panel);
        m_doc->AddObserver(&m_view);
        m_doc->m_bRedrawAll = 0;
    }

    bool PlanesEqualUndo() const {
        const CMainDoc& d = *m_doc;
        return std::memcmp(d.m_height, d.m_undoHeight, sizeof d.m_height) == 0 &&
               std::memcmp(d.m_tile, d.m_undoTile, sizeof d.m_tile) == 0 &&
               std::memcmp(d.m_mirror, d.m_undoMirror, sizeof d.m_mirror) == 0 &&
               std::memcmp(d.m_flip, d.m_undoFlip, sizeof d.m_flip) == 0;
    }

    std::unique_ptr<CMainDoc> m_doc;
    CountingView m_panel;
    CountingView m_view;
};

} // namespace

TEST_F(MapDialogsTest, ResizeRefusesBadBoxesXFirstAndAppliesGoodOnes) {
    const auto watch2 = WhenModal<CResizeMapDlg>([](CResizeMapDlg* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Resize Map Editing Area");
        EXPECT_EQ(dlg->TextLabel()->text(), "You can resize the area of the tilemap in this "
                                            "dialog box.  Any value up to 512 is permitted.");
        EXPECT_TRUE(LabelTexts(dlg).contains("X Size"));
        EXPECT_TRUE(LabelTexts(dlg).contains("Y Size"));
        EXPECT_EQ(dlg->ResizeButton()->text(), "Resize Map");
        EXPECT_TRUE(dlg->ResizeButton()->isDefault());
        EXPECT_EQ(dlg->CancelButton()->text(), "Cancel");
        EXPECT_EQ(dlg->XEdit()->text(), "100");
        EXPECT_EQ(dlg->YEdit()->text(), "100");

        // Both boxes bad: the X box is reported first.
        TypeInto(dlg->YEdit(), "abc");
        const std::pair<const char*, const char*> badX[] = {
            {"0", "X Size: Please enter an integer between 1 and 512."},
            {"513", "X Size: Please enter an integer between 1 and 512."},
            {"", "X Size: Please enter an integer."},
            {"abc", "X Size: Please enter an integer."},
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
        TypeInto(dlg->YEdit(), "513");
        EXPECT_EQ(MessageOnClick(dlg->ResizeButton()),
                  "Y Size: Please enter an integer between 1 and 512.");
        EXPECT_TRUE(dlg->isVisible());
        TypeInto(dlg->YEdit(), "64");
        EXPECT_EQ(MessageOnClick(dlg->ResizeButton()), "");
        EXPECT_FALSE(dlg->isVisible());
    });
    EXPECT_TRUE(RunResizeMap(*m_doc, &m_panel, nullptr));
    EXPECT_EQ(m_doc->m_nSizeX, 512);
    EXPECT_EQ(m_doc->m_nSizeY, 64);
    EXPECT_EQ(m_doc->m_bRedrawAll, 1);
    EXPECT_EQ(m_panel.updates, 0);
    EXPECT_GE(m_view.updates, 1);
    EXPECT_EQ(m_doc->m_height[CellIndex(0, 101)], 101 % 200 + 1); // planes untouched
}

TEST_F(MapDialogsTest, ResizeCancelKeepsTheSizeButRefitsTheMiniMapAndRedraws) {
    QWidget owner;
    SetMiniMap(*m_doc, true, &owner, {});
    QPointer<CMiniMapDlg> mini = dynamic_cast<CMiniMapDlg*>(m_doc->m_pMiniMap);
    ASSERT_TRUE(mini);
    EXPECT_EQ(mini->size(), QSize(100, 100));

    // The size changed behind the mini map's back, as a map load of another size does.
    m_doc->m_nSizeX = 300;
    m_doc->m_nSizeY = 40;
    mini->Overview()->At(3, 3) = 0x123456;
    m_doc->m_bRedrawAll = 0;
    m_view.updates = 0;
    const auto watch3 = WhenModal<CResizeMapDlg>([](CResizeMapDlg* dlg) {
        TypeInto(dlg->XEdit(), "7");
        QTest::mouseClick(dlg->CancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(RunResizeMap(*m_doc, &m_panel, nullptr));
    EXPECT_EQ(m_doc->m_nSizeX, 300);
    EXPECT_EQ(m_doc->m_nSizeY, 40);
    EXPECT_EQ(mini->m_nPicWidth, 300);
    EXPECT_EQ(mini->m_nPicHeight, 40);
    EXPECT_EQ(mini->size(), QSize(300, 40));
    EXPECT_EQ(mini->Overview()->At(3, 3), 0u); // rebuilt black
    EXPECT_EQ(m_doc->m_bRedrawAll, 1);
    EXPECT_GE(m_view.updates, 1);
    SetMiniMap(*m_doc, false, &owner, {});
}

TEST_F(MapDialogsTest, NewMapAsksFirstClearsEverythingAndUndoBringsTheMapBack) {
    auto before = std::make_unique<CMainDoc>();
    std::memcpy(before->m_height, m_doc->m_height, sizeof before->m_height);

    const auto watch4 = WhenModal<CClearMapDlg>([](CClearMapDlg* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Clear Map");
        EXPECT_TRUE(LabelTexts(dlg).contains(
            "Are you certain you want to clear the current map data and start over?"));
        EXPECT_EQ(dlg->ClearButton()->text(), "Clear Map");
        EXPECT_TRUE(dlg->ClearButton()->isDefault());
        QTest::mouseClick(dlg->CancelButton(), Qt::LeftButton);
    });
    EXPECT_FALSE(RunNewMap(*m_doc, &m_panel, nullptr));
    EXPECT_EQ(m_doc->m_bUndoSaved, 0);
    EXPECT_EQ(std::memcmp(before->m_height, m_doc->m_height, sizeof before->m_height), 0);
    EXPECT_EQ(m_view.updates, 0);

    const auto watch5 = WhenModal<CClearMapDlg>(
        [](CClearMapDlg* dlg) { QTest::mouseClick(dlg->ClearButton(), Qt::LeftButton); });
    EXPECT_TRUE(RunNewMap(*m_doc, &m_panel, nullptr));
    for (int i = 0; i < kPlaneCells; ++i) {
        ASSERT_EQ(m_doc->m_height[i] | m_doc->m_tile[i] | m_doc->m_mirror[i] | m_doc->m_flip[i], 0)
            << i;
    }
    EXPECT_EQ(m_doc->m_nSizeX, 100);
    EXPECT_EQ(m_doc->m_bRedrawAll, 1);
    EXPECT_EQ(m_panel.updates, 0);
    EXPECT_EQ(m_view.updates, 1);

    m_doc->SwapUndo();
    EXPECT_EQ(std::memcmp(before->m_height, m_doc->m_height, sizeof before->m_height), 0);
    EXPECT_EQ(m_doc->m_tile[CellIndex(2, 87)], 1111 % 7 + 1);
    EXPECT_TRUE(std::all_of(m_doc->m_undoTile, m_doc->m_undoTile + kPlaneCells,
                            [](std::uint16_t t) { return t == 0; }));
}

TEST_F(MapDialogsTest, MapInfoShowsTheMapAndThisMachinesMemory) {
    m_doc->m_nLastTile = 9;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 100; ++y) {
            m_doc->m_height[CellIndex(x, y)] = static_cast<std::uint8_t>(10 + (x + y) % 3);
            m_doc->m_tile[CellIndex(x, y)] = static_cast<std::uint16_t>(x % 2 ? 600 : 3);
        }
    m_doc->m_height[CellIndex(5, 5)] = 250;
    m_doc->m_height[CellIndex(200, 5)] = 0; // outside the area

    const std::uint64_t physTotal = ReadMemoryStatus().physTotal;
    const auto watch6 = WhenModal<CMapInfoDlg>([physTotal](CMapInfoDlg* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Map Information Display");
        const QStringList labels = LabelTexts(dlg);
        for (const char* caption : {"All tiles currently loaded in editor:", "Average",
                                    "Memory Used (All Programs)", "Virtual Memory Available"})
            EXPECT_TRUE(labels.contains(caption)) << caption;
        QStringList frames;
        for (QGroupBox* box : dlg->findChildren<QGroupBox*>())
            frames << box->title();
        EXPECT_EQ(frames, QStringList({"Tile Memory Usage", "Program Memory Usage", "Height"}));

        EXPECT_EQ(dlg->Caption(1)->text(), "Number of unique tiles in map:");
        EXPECT_EQ(dlg->Value(0)->text(), "480K");
        EXPECT_EQ(dlg->Value(1)->text(), "2");
        EXPECT_EQ(dlg->Value(2)->text(), "96K");
        EXPECT_EQ(dlg->Value(8)->text(), "10");
        EXPECT_EQ(dlg->Value(9)->text(), "250");
        // 110,238 over the area's 10,000 cells, cut.
        EXPECT_EQ(dlg->Value(10)->text(), "11");

        EXPECT_TRUE(dlg->Value(3)->text().endsWith('%'));
        const int load = dlg->Value(3)->text().chopped(1).toInt();
        EXPECT_GE(load, 0);
        EXPECT_LE(load, 100);
        EXPECT_EQ(dlg->Value(4)->text(), QString::number(physTotal / 1024) + "K");
        for (int i = 5; i <= 7; ++i)
            EXPECT_TRUE(dlg->Value(i)->text().endsWith('K')) << i;
        EXPECT_LE(dlg->Value(5)->text().chopped(1).toULongLong(), physTotal / 1024);

        EXPECT_EQ(dlg->OkButton()->text(), "OK");
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        EXPECT_FALSE(dlg->isVisible());
    });
    RunMapInfo(*m_doc, nullptr);
    EXPECT_EQ(m_doc->m_nUniqueTiles, 2);
    EXPECT_EQ(m_doc->m_bRedrawAll, 0);
    EXPECT_EQ(m_view.updates, 0);
}

TEST_F(MapDialogsTest, ProjectFormIsInert) {
    const auto watch7 = WhenModal<CProjectDlg>([](CProjectDlg* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Project Customization");
        const QStringList labels = LabelTexts(dlg);
        for (const char* text :
             {"# of Unique tiles allowed in a map:", "Maximum Height level to allow:",
              "Default Map Size:", "X", "Y", "Name of this project:"})
            EXPECT_TRUE(labels.contains(text)) << text;
        EXPECT_TRUE(dlg->OkButton()->isDefault());
        for (int i = 0; i < CProjectDlg::kEdits; ++i)
            EXPECT_TRUE(dlg->Edit(i)->text().isEmpty()) << i;
        TypeInto(dlg->Edit(0), "42");
        QTest::mouseClick(dlg->DefaultsButton(), Qt::LeftButton);
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(dlg->Edit(0)->text(), "42");
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        EXPECT_FALSE(dlg->isVisible());
    });
    RunProjectSettings(nullptr);
    // A new form opens empty again.
    const auto watch8 = WhenModal<CProjectDlg>([](CProjectDlg* dlg) {
        EXPECT_TRUE(dlg->Edit(0)->text().isEmpty());
        QTest::mouseClick(dlg->CancelButton(), Qt::LeftButton);
    });
    RunProjectSettings(nullptr);
}
