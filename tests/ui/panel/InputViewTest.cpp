#include "InputView.h"

#include "CustomPenDlg.h"
#include "MainDoc.h"
#include "MainFrame.h"
#include "ModalWatch.h"
#include "SplitterFrame.h"
#include "TestSupport.h"
#include "ToolCodes.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// Opens the list and clicks its row `row`, as the user would.
void ChooseRow(QComboBox* combo, int row) {
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    const QRect rect = view->visualRect(combo->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    QApplication::processEvents();
}

QStringList Rows(const QListWidget* list) {
    QStringList rows;
    for (int i = 0; i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

QStringList TopLevel(const QTreeWidget* tree) {
    QStringList texts;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        texts << tree->topLevelItem(i)->text(0);
    return texts;
}

// A shown map window on the sample tiles: the panel's first update has run.
class InputViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_frame = ShowMapWindow(SampleWorkDir(), {900, 760});
        ASSERT_TRUE(m_frame);
        m_panel = m_frame->InputView();
        m_doc = m_frame->GetDocument();
    }
    void TearDown() override {
        m_frame.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    const CInputView::Controls& Ctl() const { return m_panel->Ctl(); }
    bool Shown(const QWidget* w) const { return w->isVisibleTo(m_panel); }

    void Click(QAbstractButton* b) {
        ASSERT_TRUE(Shown(b)) << b->text().toStdString();
        ClickButton(b);
    }

    // Every control shows the panel's state: checked buttons, rows, labels, status lines and
    // which controls are shown.
    void ExpectControlsShowTheState() const {
        const PanelState& s = m_panel->State();
        const PanelVisibility& v = s.m_visible;
        for (int m = 0; m < kEditModes; ++m)
            EXPECT_EQ(Shown(Ctl().mode[m]), v.modeButton[m]) << "mode " << m;
        EXPECT_TRUE(Ctl().mode[s.m_nEditMode]->isChecked());
        EXPECT_TRUE(Ctl().style[s.m_nDrawStyle]->isChecked());
        const std::pair<const QWidget*, bool> hideable[] = {{Ctl().saveBrush, v.saveBrush},
                                                            {Ctl().loadBrush, v.loadBrush},
                                                            {Ctl().spray, v.spray},
                                                            {Ctl().gradiatedDraw, v.gradiatedDraw},
                                                            {Ctl().autoRandomize, v.autoRandomize},
                                                            {Ctl().heightScale, v.heightScaleList},
                                                            {Ctl().pen, v.penList},
                                                            {Ctl().fill, v.fillList},
                                                            {Ctl().offsetHeight, v.offsetHeight}};
        for (std::size_t i = 0; i < std::size(hideable); ++i)
            EXPECT_EQ(Shown(hideable[i].first), hideable[i].second) << "control " << i;
        EXPECT_EQ(Ctl().pen->currentIndex(), s.m_nPenIndex);
        EXPECT_EQ(Ctl().fill->currentIndex(), s.m_nFillIndex);
        EXPECT_EQ(Ctl().penLabel->text().toStdString(), s.m_strPenLabel);
        EXPECT_EQ(Ctl().heightScaleLabel->text().toStdString(), s.m_strHeightScaleLabel);
        QStringList status;
        for (const std::string& line : s.m_status)
            status << QString::fromStdString(line);
        EXPECT_EQ(Rows(Ctl().status), status);
    }

    // The help lines read as ordinary text: enabled, in the text colour on the list's base,
    // and neither selectable nor focusable.
    void ExpectHelpLinesReadable() {
        QListWidget* list = Ctl().status;
        EXPECT_TRUE(list->isEnabled());
        EXPECT_EQ(list->focusPolicy(), Qt::NoFocus);
        ASSERT_GT(list->count(), 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        EXPECT_TRUE(list->selectedItems().isEmpty());
        EXPECT_FALSE(list->hasFocus());
        const QColor text = list->palette().color(QPalette::Active, QPalette::Text);
        const QColor base = list->palette().color(QPalette::Active, QPalette::Base);
        auto luminance = [](const QColor& c) {
            auto channel = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
                   0.0722 * channel(c.blueF());
        };
        const double hi = std::max(luminance(text), luminance(base));
        const double lo = std::min(luminance(text), luminance(base));
        EXPECT_GE((hi + 0.05) / (lo + 0.05), 4.5);
    }

    // Clicks the tree item at `path` (texts from the top level down), opening its parents.
    void ClickItem(const QStringList& path) {
        QTreeWidget* tree = Ctl().tree;
        const QList<QTreeWidgetItem*> found = tree->findItems(path.last(), Qt::MatchRecursive);
        QTreeWidgetItem* item = nullptr;
        for (QTreeWidgetItem* f : found) {
            QStringList itemPath;
            for (QTreeWidgetItem* i = f; i; i = i->parent())
                itemPath.prepend(i->text(0));
            if (itemPath == path)
                item = f;
        }
        ASSERT_NE(item, nullptr) << path.join('/').toStdString();
        for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
            p->setExpanded(true);
        tree->scrollToItem(item);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(item).center());
    }

    std::unique_ptr<CSplitterFrame> m_frame;
    CInputView* m_panel = nullptr;
    CMainDoc* m_doc = nullptr;
};

TEST_F(InputViewTest, ControlsShowThePanelStateAndClicksChangeIt) {
    // After the first update: Height, Draw, the first group, pen row 0.
    EXPECT_TRUE(Ctl().zoom[0]->isChecked());
    EXPECT_EQ(Ctl().viewScale->currentText(), "8");
    EXPECT_EQ(Ctl().pen->currentText(), "Normal");
    EXPECT_EQ(TopLevel(Ctl().tree), QStringList({"GRDI", "RKGR", "SAWA", "SNRK"}));
    EXPECT_EQ(m_panel->State().m_nEditMode, 0);
    ExpectControlsShowTheState();
    ExpectHelpLinesReadable();

    EXPECT_FALSE(Shown(Ctl().tilePreview));
    Click(Ctl().mode[4]);
    EXPECT_EQ(m_doc->m_tools.m_nTool, toolSingleTile);
    ExpectControlsShowTheState();
    // The Tile mode shows the tile a left click draws.
    EXPECT_TRUE(Shown(Ctl().tilePreview));
    EXPECT_FALSE(Ctl().tilePreview->pixmap().isNull());
    // Gradient exists in Rect only, opens its dialog, and closes it when Rect is left.
    Click(Ctl().style[styleRect]);
    Click(Ctl().mode[1]);
    EXPECT_EQ(m_doc->m_tools.m_nTool, toolGradiatedShape);
    QPointer<CGradientDlg> gradient = m_panel->GradientDlg();
    ASSERT_TRUE(gradient);
    EXPECT_TRUE(gradient->isVisible());
    Click(Ctl().style[styleDraw]);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(gradient);
    ExpectControlsShowTheState();

    Click(Ctl().style[styleFill]);
    ChooseRow(Ctl().fill, 1);
    EXPECT_EQ(m_doc->m_tools.m_nPen, fillFloodHeight);
    ExpectControlsShowTheState();

    // Brush: the brush sources; a group's stamps leave the brush modes.
    Click(Ctl().style[styleBrush]);
    EXPECT_EQ(TopLevel(Ctl().tree), QStringList({"GRDI Brushes", "Custom Brushes"}));
    EXPECT_FALSE(Ctl().saveBrush->isEnabled());
    ExpectControlsShowTheState();
    Click(Ctl().mode[8]);
    EXPECT_EQ(m_doc->m_tools.m_nTool, toolBrushHeight);
    ClickItem({"GRDI Brushes"});
    EXPECT_EQ(m_panel->State().m_nEditMode, 3);
    ExpectControlsShowTheState();

    // Single tiles while in MultiTile: Tile instead.
    Click(Ctl().style[styleDraw]);
    Click(Ctl().mode[5]);
    ClickItem({"GRDI", "Version 1", "Single Tiles"});
    EXPECT_EQ(m_doc->m_sel.m_nSelKind, selSingleTiles);
    EXPECT_EQ(m_doc->m_sel.m_nSelVersion, 1);
    EXPECT_EQ(m_panel->State().m_nEditMode, 4);
    ExpectControlsShowTheState();

    // A confirmed custom pen leaves the Pen list without a row, in Draw too; a row replaces it.
    const auto watch = OnNextModal([](QWidget* w) {
        auto* dlg = qobject_cast<CCustomPenDlg*>(w);
        ASSERT_NE(dlg, nullptr);
        dlg->HorzEdit()->setText("6");
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
    });
    Click(Ctl().style[stylePen]);
    Click(Ctl().style[styleDraw]);
    EXPECT_EQ(m_doc->m_tools.m_fPenWidth, 6.0f);
    EXPECT_EQ(Ctl().pen->currentIndex(), -1);
    ExpectControlsShowTheState();
    ChooseRow(Ctl().pen, 3);
    EXPECT_EQ(m_doc->m_tools.m_nPen, 3);
}

TEST_F(InputViewTest, ViewControlsWriteTheDocumentAndShowOtherViewsChanges) {
    Click(Ctl().grid);
    EXPECT_EQ(m_doc->m_view.m_bGrid, 1);
    ChooseRow(Ctl().viewScale, 0);
    EXPECT_EQ(m_doc->m_view.m_nHeightViewScale, -1);
    ChooseRow(Ctl().heightScale, 4);
    EXPECT_EQ(m_doc->m_tools.m_nHeightStep, 5);
    Click(Ctl().spray);
    EXPECT_EQ(m_doc->m_tools.m_bSpray, 1);
    Ctl().shade->setFocus();
    QTest::keyClick(Ctl().shade, Qt::Key_End);
    EXPECT_EQ(m_doc->m_view.m_nShadeBase, 255);

    // A change made elsewhere shows once another view updates the document.
    m_doc->m_view.m_bGrid = 0;
    m_doc->UpdateAllViews(nullptr);
    EXPECT_FALSE(Ctl().grid->isChecked());

    // The mini map toggle follows the window, also when the user closes it.
    Click(Ctl().miniMap);
    QDialog* mini = m_panel->MiniMap();
    ASSERT_NE(mini, nullptr);
    mini->close();
    EXPECT_FALSE(Ctl().miniMap->isChecked());
    EXPECT_FALSE(m_doc->HasOverview());
}

// Undo and Zoom reach the panel from the main window's menu and accelerators too.
TEST(InputViewMenuTest, CtrlZAndTheZoomMenuGoThroughThePanel) {
    auto doc = std::make_unique<CMainDoc>();
    ASSERT_TRUE(doc->OnNewDocument(SampleWorkDir()));
    CMainDoc* d = doc.get();
    CMainFrame main(nullptr);
    main.resize(1000, 800);
    main.show();
    CSplitterFrame* frame = main.OpenMapWindow(std::move(doc), QStringLiteral("Tri1"));
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    CInputView* panel = frame->InputView();

    main.Action(CommandId::Zoom8)->trigger();
    EXPECT_TRUE(panel->Ctl().zoom[3]->isChecked());
    EXPECT_EQ(d->m_view.m_nCellPixels, 16);
    d->SaveUndo("Raise Land");
    d->SetHeight(4, 4, 9);
    d->UpdateAllViews(nullptr);
    QTest::keyClick(&main, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(d->m_map.m_height[CellIndex(4, 4)], 0);
    QTest::keyClick(&main, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(d->m_map.m_height[CellIndex(4, 4)], 9);
    QTest::mouseClick(panel->Ctl().undo, Qt::LeftButton);
    EXPECT_EQ(d->m_map.m_height[CellIndex(4, 4)], 0);
    // Resize Map and New Map are the panel's too: their dialogs open from the menu.
    for (CommandId id : {CommandId::ResizeMap, CommandId::NewMap}) {
        QString title;
        const auto watch2 = OnNextModal([&title](QWidget* w) { title = w->windowTitle(); });
        main.Action(id)->trigger();
        EXPECT_FALSE(title.isEmpty());
    }
}

} // namespace
