#include "CustomPenDlg.h"
#include "GradientDlg.h"
#include "MainDoc.h"
#include "ModalWatch.h"
#include "TestSupport.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct PenFields {
    int shape, gradient, pen, custom;
    float width, height;
    bool operator==(const PenFields&) const = default;
};

PenFields PenOf(const CMainDoc& doc) {
    return {doc.m_tools.m_nPenShape,  doc.m_tools.m_nPenGradient, doc.m_tools.m_nPen,
            doc.m_tools.m_bCustomPen, doc.m_tools.m_fPenWidth,    doc.m_tools.m_fPenHeight};
}

} // namespace

TEST(PenDialogsTest, CustomPenShowsTheCurrentPenAndStoresOnlyAConfirmedValidOne) {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_tools.m_nPen = 7;
    doc->m_tools.m_nPenShape = 1;
    doc->m_tools.m_fPenWidth = 7.0f;
    doc->m_tools.m_fPenHeight = 3.0f;
    doc->m_tools.m_nPenGradient = 6;
    const PenFields before = PenOf(*doc);
    const auto watch = WhenModal<CCustomPenDlg>([&](CCustomPenDlg* dlg) {
        EXPECT_TRUE(dlg->ShapeRadio(1)->isChecked());
        EXPECT_TRUE(dlg->GradientRadio(6)->isChecked());
        EXPECT_EQ(dlg->HorzEdit()->text(), "7");
        EXPECT_EQ(dlg->VertEdit()->text(), "3");
        ClickButton(dlg->ShapeRadio(0));
        ClickButton(dlg->GradientRadio(4)); // the centre radio has no text
        EXPECT_TRUE(dlg->GradientRadio(4)->isChecked());
        ClickButton(dlg->GradientRadio(2));
        // The vertical box is checked first; a refused box gets the focus.
        TypeInto(dlg->VertEdit(), "256");
        TypeInto(dlg->HorzEdit(), "abc");
        EXPECT_EQ(MessageOnClick(dlg->OkButton()),
                  "Vertical Size: Please enter an integer between 1 and 255.");
        EXPECT_EQ(dlg->focusWidget(), dlg->VertEdit());
        TypeInto(dlg->VertEdit(), "40");
        EXPECT_EQ(MessageOnClick(dlg->OkButton()),
                  "Horizontal Size: Please enter an integer between 1 and 255.");
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(dlg->focusWidget(), dlg->HorzEdit());
        EXPECT_EQ(PenOf(*doc), before);
        TypeInto(dlg->HorzEdit(), "255");
        EXPECT_EQ(MessageOnClick(dlg->OkButton()), "");
        EXPECT_FALSE(dlg->isVisible());
    });
    EXPECT_TRUE(CCustomPenDlg::EditPen(*doc));
    EXPECT_EQ(PenOf(*doc), (PenFields{0, 2, 7, 1, 255.0f, 40.0f}));

    const PenFields edited = PenOf(*doc);
    for (bool escape : {true, false}) {
        const auto leave = WhenModal<CCustomPenDlg>([escape](CCustomPenDlg* dlg) {
            ClickButton(dlg->ShapeRadio(1));
            TypeInto(dlg->HorzEdit(), "9");
            escape ? QTest::keyClick(dlg, Qt::Key_Escape) : (void)dlg->close();
            EXPECT_FALSE(dlg->isVisible());
        });
        EXPECT_FALSE(CCustomPenDlg::EditPen(*doc));
        EXPECT_EQ(PenOf(*doc), edited);
    }
}

TEST(PenDialogsTest, GradientDialogIsReusedWhileOpenAndItsChoiceOutlivesIt) {
    auto doc = std::make_unique<CMainDoc>();
    QWidget owner;
    QPointer<CGradientDlg> slot;
    doc->m_tools.m_nGradientSetting = 1;
    CGradientDlg::OpenFor(*doc, &owner, slot);
    QPointer<CGradientDlg> dlg = slot;
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->isModal());
    EXPECT_TRUE(dlg->DirectionRadio(1)->isChecked());
    EXPECT_EQ(dlg->DirectionRadio(3)->text(), "Mound"); // every direction says what it is
    for (int axis = 0; axis < 4; ++axis)
        EXPECT_FALSE(dlg->DirectionRadio(axis)->toolTip().isEmpty()) << axis;
    ClickButton(dlg->DirectionRadio(2));
    EXPECT_EQ(doc->m_tools.m_nGradientSetting, 2);
    CGradientDlg::OpenFor(*doc, &owner, slot);
    EXPECT_EQ(slot, dlg);

    // Closed by the user: destroyed, and its last choice stays the document's.
    ClickButton(dlg->DirectionRadio(0));
    dlg->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(dlg);
    EXPECT_FALSE(slot);
    EXPECT_EQ(doc->m_tools.m_nGradientSetting, 0);

    // Opening again makes a new dialog on the last choice; Escape closes it like the user.
    CGradientDlg::OpenFor(*doc, &owner, slot);
    QPointer<CGradientDlg> again = slot;
    ASSERT_TRUE(again);
    EXPECT_NE(again, dlg);
    EXPECT_TRUE(again->DirectionRadio(0)->isChecked());
    QTest::keyClick(again, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(slot);

    // A negative setting opens on the mound axis.
    doc->m_tools.m_nGradientSetting = -2;
    CGradientDlg::OpenFor(*doc, &owner, slot);
    ASSERT_TRUE(slot);
    EXPECT_TRUE(slot->DirectionRadio(3)->isChecked());
    EXPECT_EQ(doc->m_tools.m_nGradientSetting, 3);
}
