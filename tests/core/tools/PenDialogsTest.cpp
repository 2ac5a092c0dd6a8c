#include "PenDialogs.h"
#include "MainDoc.h"

#include <gtest/gtest.h>

#include <memory>

// The dialog's own tests cover storing a pen; here the sizes a rectangle pen may leave behind.
TEST(PenDialogsTest, CustomPenShowsWholeCells) {
    auto doc = std::make_unique<CMainDoc>();
    doc->m_tools.m_nPenShape = 1;
    doc->m_tools.m_fPenWidth = 7.9f;
    doc->m_tools.m_fPenHeight = 3.2f;
    doc->m_tools.m_nPenGradient = 6;
    const CustomPen shown = CurrentCustomPen(*doc);
    EXPECT_EQ(shown.shape, 1);
    EXPECT_EQ(shown.horz, 7);
    EXPECT_EQ(shown.vert, 3);
    EXPECT_EQ(shown.gradient, 6);
}
