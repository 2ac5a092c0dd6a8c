#include "BrushActionDlg.h"
#include "ClearMapDlg.h"
#include "CustomPenDlg.h"
#include "ErrorDlg.h"
#include "ExportT3dDlg.h"
#include "GradientDlg.h"
#include "MainDoc.h"
#include "MapInfo.h"
#include "MapInfoDlg.h"
#include "ResizeMapDlg.h"

#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Every text of a shown dialog fits its widget: wrapped labels are as tall as their text needs
// at their width, other labels and buttons as wide and tall as their text. ctest runs this at
// the default scale and again at QT_SCALE_FACTOR=1.5.
void ExpectWholeText(QDialog& dlg) {
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    const std::string name = dlg.windowTitle().toStdString();
    for (const QLabel* label : dlg.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty())
            continue;
        if (label->wordWrap()) {
            EXPECT_GE(label->height(), label->heightForWidth(label->width()))
                << name << ": " << label->text().toStdString();
        } else {
            EXPECT_GE(label->width(), label->sizeHint().width())
                << name << ": " << label->text().toStdString();
            EXPECT_GE(label->height(), label->fontMetrics().height())
                << name << ": " << label->text().toStdString();
        }
    }
    for (const QAbstractButton* button : dlg.findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button->text().isEmpty())
            continue;
        EXPECT_GE(button->width(), button->sizeHint().width())
            << name << ": " << button->text().toStdString();
        EXPECT_GE(button->height(), button->fontMetrics().height())
            << name << ": " << button->text().toStdString();
    }
    dlg.hide();
}

TEST(DialogTextTest, EveryDialogShowsItsWholeText) {
    auto doc = std::make_unique<CMainDoc>();
    MapInfoReport report;
    report.physTotal = "123456789012K";
    const std::function<std::unique_ptr<QDialog>()> makers[] = {
        [] { return std::make_unique<CBrushActionDlg>(); },
        [] { return std::make_unique<CClearMapDlg>(); },
        [] { return std::make_unique<CResizeMapDlg>(); },
        [] { return std::make_unique<CCustomPenDlg>(); },
        [] { return std::make_unique<CExportT3dDlg>(); },
        [&] { return std::make_unique<CGradientDlg>(doc.get()); },
        [&] {
            auto dlg = std::make_unique<CMapInfoDlg>();
            dlg->ShowReport(report);
            return dlg;
        },
        [] {
            return std::make_unique<CErrorDlg>(QStringLiteral(
                "Oops: No terrain tiles were found.  Terrain tiles (24-bit 128x128 BMP files) "
                "must be stored in the subdirectory TEXTURES."));
        },
    };
    for (const auto& make : makers) {
        std::unique_ptr<QDialog> dlg = make();
        ExpectWholeText(*dlg);
    }
}

} // namespace
