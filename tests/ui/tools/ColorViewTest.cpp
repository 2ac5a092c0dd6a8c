#include "ColorView.h"
#include "AnswerFileDialog.h"
#include "BrushActionDlg.h"
#include "InputView.h"
#include "MainDoc.h"
#include "ModalWatch.h"
#include "SplitterFrame.h"
#include "TestSupport.h"
#include "TextView.h"
#include "ToolCodes.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ColorViewTest, AGrabbedBrushIsShownFlippedSavedAndLoadedWithTheMouse) {
    TempDir dir;
    WritePlainTiles(dir.Path(), {0x102030, 0x405060, 0x708090});
    auto frame = ShowMapWindow(dir.Path(), {900, 700});
    ASSERT_TRUE(frame);
    CMainDoc& d = *frame->GetDocument();
    CInputView* panel = frame->InputView();
    CColorView* strip = frame->ColorView();
    ClickButton(panel->Ctl().style[styleBrush]); // selects "Custom Brushes"
    ASSERT_EQ(d.m_sel.m_nSelKind, selCustomBrush);
    EXPECT_FALSE(panel->Ctl().saveBrush->isEnabled());
    for (int x = 0; x < 3; ++x)
        for (int y = 0; y < 2; ++y)
            d.SetTileFlags(x, y, static_cast<std::uint16_t>((x + y) % 3), x & 1, y & 1);
    d.AdoptFile("");

    // A right drag over cells (0, 0) .. (2, 1) at 8 pixels a cell grabs them.
    panel->OnCommand(CommandId::Zoom16);
    QWidget* map = frame->TextView()->viewport();
    QTest::mousePress(map, Qt::RightButton, {}, QPoint(3, 3));
    QTest::mouseRelease(map, Qt::RightButton, {}, QPoint(2 * 8 + 3, 8 + 3));
    ASSERT_EQ(d.m_nLastBrush, 0);
    EXPECT_EQ(d.m_brush[0].lastCol * 10 + d.m_brush[0].lastRow, 21);
    EXPECT_EQ(d.m_change.m_bModified, 1);
    EXPECT_TRUE(panel->Ctl().saveBrush->isEnabled());
    // Shown at once, selected: cells of 16 pixels brightened by 64.
    const auto at = [&](int x, int y) { return strip->grab().toImage().pixel(x, y) & 0xFFFFFF; };
    EXPECT_EQ(at(5, 5), 0x506070u);
    EXPECT_EQ(at(16 + 5, 5), 0x8090A0u);
    EXPECT_EQ(at(48 + 5, 5), 0u); // beyond the brush's three columns

    // A right click on it flips it through the dialog; the panel keeps the focus.
    panel->setFocus();
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(panel->hasFocus());
    {
        const auto watch = WhenModal<CBrushActionDlg>([](CBrushActionDlg* dlg) {
            EXPECT_TRUE(dlg->DeleteButton()->isDefault());
            QTest::mouseClick(dlg->FlipVerticallyButton(), Qt::LeftButton);
        });
        QTest::mouseClick(strip, Qt::RightButton, {}, QPoint(10, 10));
    }
    for (int a = 0; a < 3; ++a) {
        EXPECT_EQ(d.m_brush[0].brushTile[a][0], (a + 1) % 3);
        EXPECT_EQ(d.m_brush[0].brushFlip[a][0], 0);
        EXPECT_EQ(d.m_brush[0].brushFlip[a][1], 1);
    }
    // The dialog hands the window back to the panel, not to the strip.
    EXPECT_EQ(frame->focusWidget(), panel);
    EXPECT_EQ(at(5, 5), 0x8090A0u);

    // Saved and loaded through the buttons: a copy in the next slot.
    QString filter;
    {
        const auto watch = AnswerFileDialog((dir / "rocks").c_str(), &filter);
        QTest::mouseClick(panel->Ctl().saveBrush, Qt::LeftButton);
    }
    EXPECT_EQ(filter, "TBR Brush Files (*.TBR)");
    EXPECT_EQ(std::filesystem::file_size(dir / "rocks.tbr"), 15012u + 8 * 3);
    d.SetModifiedFlag(false);
    {
        const auto watch = AnswerFileDialog((dir / "rocks.tbr").c_str());
        QTest::mouseClick(panel->Ctl().loadBrush, Qt::LeftButton);
    }
    ASSERT_EQ(d.m_nLastBrush, 1);
    EXPECT_EQ(std::memcmp(&d.m_brush[0], &d.m_brush[1], sizeof(BrushRecord)), 0);
    EXPECT_EQ(d.m_change.m_bModified, 1);
    // A left click selects the copy.
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(64 + 3, 20));
    EXPECT_EQ(d.m_sel.m_nSelItem, 1);
    EXPECT_EQ(at(64 + 5, 5), 0x8090A0u);
    EXPECT_EQ(at(5, 5), 0x405060u);
}

} // namespace
