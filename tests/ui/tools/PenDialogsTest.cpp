#include "CustomPenDlg.h"
#include "GradientDlg.h"
#include "MainDoc.h"

#include "ModalWatch.h"
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Presses OK and returns the text of the message box that this opens ("" if none).
QString MessageOnOk(CCustomPenDlg* dlg) {
    QString text;
    const auto watch1 = WhenModal<QMessageBox>([&text](QMessageBox* box) {
        text = box->text();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
    return text;
}

void ClickRadio(QRadioButton* radio) {
    QStyleOptionButton opt;
    opt.initFrom(radio);
    const QRect box = radio->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &opt, radio);
    QTest::mouseClick(radio, Qt::LeftButton, {}, box.center());
}

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

struct PenFields {
    int shape, gradient, pen, custom;
    float width, height;
    bool operator==(const PenFields&) const = default;
};

PenFields PenOf(const CMainDoc& doc) {
    return {doc.m_nPenShape,  doc.m_nPenGradient, doc.m_nPen,
            doc.m_bCustomPen, doc.m_fPenWidth,    doc.m_fPenHeight};
}

} // namespace

TEST(PenDialogsTest, CustomPenOpensOnTheCurrentPenAndStoresTheEditedOne) {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_nPen = 7;
    doc->m_nPenShape = 1;
    doc->m_fPenWidth = 7.0f;
    doc->m_fPenHeight = 3.0f;
    doc->m_nPenGradient = 6;

    const auto watch2 = WhenModal<CCustomPenDlg>([](CCustomPenDlg* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Create Custom Pen");
        EXPECT_EQ(dlg->ShapeRadio(0)->text(), "Square");
        EXPECT_EQ(dlg->ShapeRadio(1)->text(), "Circle");
        const QString arrows[] = {"\\", "|", "/", "-", "", "-", "/", "|", "\\"};
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(dlg->GradientRadio(i)->text(), arrows[i]) << i;

        EXPECT_TRUE(dlg->ShapeRadio(1)->isChecked());
        EXPECT_TRUE(dlg->GradientRadio(6)->isChecked());
        EXPECT_EQ(dlg->HorzEdit()->text(), "7");
        EXPECT_EQ(dlg->VertEdit()->text(), "3");

        ClickRadio(dlg->ShapeRadio(0));
        ClickRadio(dlg->GradientRadio(4)); // the centre radio has no text
        EXPECT_TRUE(dlg->GradientRadio(4)->isChecked());
        ClickRadio(dlg->GradientRadio(2));
        TypeInto(dlg->HorzEdit(), "12");
        TypeInto(dlg->VertEdit(), "40");
        QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
        EXPECT_FALSE(dlg->isVisible());
    });
    EXPECT_TRUE(CCustomPenDlg::EditPen(*doc));
    EXPECT_EQ(PenOf(*doc), (PenFields{0, 2, 7, 1, 12.0f, 40.0f}));
}

TEST(PenDialogsTest, CustomPenRefusesBadSizesUntilTheyAreFixed) {
    auto doc = std::make_unique<CMainDoc>();
    const PenFields before = PenOf(*doc);

    const auto watch3 = WhenModal<CCustomPenDlg>([&](CCustomPenDlg* dlg) {
        for (const char* bad : {"0", "256", "abc", ""}) {
            TypeInto(dlg->VertEdit(), bad);
            EXPECT_EQ(MessageOnOk(dlg), "Vertical Size: Please enter an integer between 1 and 255.")
                << '"' << bad << '"';
            EXPECT_TRUE(dlg->isVisible());
            EXPECT_EQ(dlg->focusWidget(), dlg->VertEdit());
            EXPECT_EQ(PenOf(*doc), before);
        }
        TypeInto(dlg->VertEdit(), "5");
        TypeInto(dlg->HorzEdit(), "300");
        EXPECT_EQ(MessageOnOk(dlg), "Horizontal Size: Please enter an integer between 1 and 255.");
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(dlg->focusWidget(), dlg->HorzEdit());
        EXPECT_EQ(PenOf(*doc), before);

        TypeInto(dlg->HorzEdit(), "255");
        EXPECT_EQ(MessageOnOk(dlg), "");
        EXPECT_FALSE(dlg->isVisible());
    });
    EXPECT_TRUE(CCustomPenDlg::EditPen(*doc));
    EXPECT_EQ(doc->m_fPenHeight, 5.0f);
    EXPECT_EQ(doc->m_fPenWidth, 255.0f);
}

TEST(PenDialogsTest, CustomPenCancelOrCloseLeavesThePenUnchanged) {
    auto doc = std::make_unique<CMainDoc>();
    const PenFields before = PenOf(*doc);
    const std::function<void(CCustomPenDlg*)> leave[] = {
        [](CCustomPenDlg* dlg) { QTest::keyClick(dlg, Qt::Key_Escape); },
        [](CCustomPenDlg* dlg) { dlg->close(); },
    };
    for (const auto& how : leave) {
        const auto watch4 = WhenModal<CCustomPenDlg>([&](CCustomPenDlg* dlg) {
            ClickRadio(dlg->ShapeRadio(1));
            ClickRadio(dlg->GradientRadio(8));
            TypeInto(dlg->HorzEdit(), "9");
            how(dlg);
            EXPECT_FALSE(dlg->isVisible());
        });
        EXPECT_FALSE(CCustomPenDlg::EditPen(*doc));
        EXPECT_EQ(PenOf(*doc), before);
    }
}

TEST(PenDialogsTest, GradientDialogIsReusedWhileOpenAndReadUntilTheDocumentDropsIt) {
    auto doc = std::make_unique<CMainDoc>();
    QWidget owner;
    doc->m_nGradientSetting = 1;
    CGradientDlg::OpenFor(*doc, &owner);

    QPointer<CGradientDlg> dlg = dynamic_cast<CGradientDlg*>(doc->m_pGradientDlg);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(dlg->windowTitle(), "Gradient");
    EXPECT_EQ(dlg->parentWidget(), &owner);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isModal());
    const QString texts[] = {"\\", "|", "-", ""};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(dlg->DirectionRadio(i)->text(), texts[i]);
    EXPECT_TRUE(dlg->DirectionRadio(1)->isChecked());

    ClickRadio(dlg->DirectionRadio(2));
    EXPECT_EQ(doc->GradientSetting(), 2);
    CGradientDlg::OpenFor(*doc, &owner);
    EXPECT_EQ(doc->m_pGradientDlg, dlg.data());
    EXPECT_TRUE(dlg->DirectionRadio(2)->isChecked());

    // Closed by the user: hidden, yet still what the document reads.
    ClickRadio(dlg->DirectionRadio(0));
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->m_bOpen, 0);
    EXPECT_EQ(doc->m_pGradientDlg, dlg.data());
    doc->m_nGradientSetting = 3;
    EXPECT_EQ(doc->GradientSetting(), 0);

    EXPECT_FALSE(doc->IsGradientOpen());
    EXPECT_EQ(doc->m_pGradientDlg, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dlg);
    EXPECT_EQ(doc->GradientSetting(), 0);

    // Opening again makes a new dialog on the last choice; Escape closes it like the user.
    CGradientDlg::OpenFor(*doc, &owner);
    QPointer<CGradientDlg> again = dynamic_cast<CGradientDlg*>(doc->m_pGradientDlg);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->DirectionRadio(0)->isChecked());
    QTest::keyClick(again, Qt::Key_Escape);
    EXPECT_FALSE(again->isVisible());
    EXPECT_FALSE(doc->IsGradientOpen());
}

TEST(PenDialogsTest, GradientDialogNeverLeavesTheDocumentADanglingPointer) {
    // A negative setting opens on the mound axis.
    auto doc = std::make_unique<CMainDoc>();
    auto owner = std::make_unique<QWidget>();
    doc->m_nGradientSetting = -2;
    CGradientDlg::OpenFor(*doc, owner.get());
    QPointer<CGradientDlg> dlg = dynamic_cast<CGradientDlg*>(doc->m_pGradientDlg);
    ASSERT_TRUE(dlg);
    EXPECT_EQ(doc->m_nGradientSetting, 3);
    EXPECT_TRUE(dlg->DirectionRadio(3)->isChecked());
    EXPECT_EQ(doc->GradientSetting(), 3);

    // The owner goes first: the dialog goes with it and the document forgets it.
    owner.reset();
    EXPECT_FALSE(dlg);
    EXPECT_EQ(doc->m_pGradientDlg, nullptr);
    EXPECT_FALSE(doc->IsGradientOpen());

    // The document goes first (it closes the dialog), then the owner.
    owner = std::make_unique<QWidget>();
    CGradientDlg::OpenFor(*doc, owner.get());
    dlg = dynamic_cast<CGradientDlg*>(doc->m_pGradientDlg);
    ASSERT_TRUE(dlg);
    doc.reset();
    EXPECT_FALSE(dlg->isVisible());
    owner.reset();
    EXPECT_FALSE(dlg);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
