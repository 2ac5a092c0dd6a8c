#include "FileCommands.h"
#include "AnswerFileDialog.h"
#include "InputView.h"
#include "MainDoc.h"
#include "ModalWatch.h"
#include "SplitterFrame.h"
#include "TestSupport.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>

namespace {

class FileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override { WritePlainTiles(m_dir.Path(), {0x102030, 0x405060, 0x708090}); }
    std::unique_ptr<CSplitterFrame> NewMap() {
        auto frame = ShowMapWindow(m_dir.Path(), {800, 600});
        EXPECT_TRUE(frame);
        frame->SetTitle("Tri1");
        return frame;
    }
    TempDir m_dir;
};

TEST_F(FileCommandsTest, SaveThroughTheMenuCommandAndLoadIntoAnotherMap) {
    auto first = NewMap();
    CMainDoc& a = *first->GetDocument();
    a.m_map.m_nSizeX = 100;
    a.m_map.m_nSizeY = 70;
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 70; ++y)
            a.SetTileFlags(x, y,
                           static_cast<std::uint16_t>((x * 7 + y) % (a.m_tiles.m_nLastTile + 1)),
                           x % 2, y % 2);
    a.SetHeight(99, 69, 200);
    EXPECT_EQ(a.m_change.m_bModified, 1);

    // The name typed without an extension gets ".ter".
    QString filter;
    {
        const auto watch = AnswerFileDialog((m_dir / "island").c_str(), &filter);
        first->InputView()->OnCommand(CommandId::SaveMap);
    }
    EXPECT_EQ(filter, "TER Terrain Data Files (*.TER)");
    ASSERT_TRUE(std::filesystem::exists(m_dir / "island.ter"));
    EXPECT_EQ(a.m_change.m_bModified, 0);
    EXPECT_EQ(first->DisplayName(), "island.ter");

    auto second = NewMap();
    CMainDoc& b = *second->GetDocument();
    // Its open mini map takes the loaded map's size at once.
    QTest::mouseClick(second->InputView()->Ctl().miniMap, Qt::LeftButton);
    ASSERT_NE(second->InputView()->MiniMap(), nullptr);
    EXPECT_EQ(second->InputView()->MiniMap()->size(), QSize(256, 256));
    {
        const auto watch = AnswerFileDialog((m_dir / "island.ter").c_str());
        second->InputView()->OnCommand(CommandId::LoadMap);
    }
    EXPECT_EQ(b.m_map.m_nSizeX, 100);
    EXPECT_EQ(b.m_map.m_nSizeY, 70);
    EXPECT_TRUE(a.m_map.m_height == b.m_map.m_height);
    EXPECT_TRUE(a.m_map.m_mirror == b.m_map.m_mirror);
    EXPECT_TRUE(a.m_map.m_flip == b.m_map.m_flip);
    for (int x = 0; x < 100; ++x)
        for (int y = 0; y < 70; ++y)
            ASSERT_EQ(a.m_map.m_tile[CellIndex(x, y)], b.m_map.m_tile[CellIndex(x, y)]);
    EXPECT_EQ(second->DisplayName(), "island.ter");
    EXPECT_EQ(second->InputView()->MiniMap()->size(), QSize(100, 70));
    EXPECT_EQ(b.m_change.m_bModified, 0);
}

TEST_F(FileCommandsTest, AFileThatCannotBeUsedIsReportedAndTheMapStays) {
    auto frame = NewMap();
    CMainDoc& doc = *frame->GetDocument();
    doc.SetHeight(5, 5, 77);
    doc.SetModifiedFlag(false); // as if saved: loading asks nothing first
    {
        std::ofstream out(m_dir / "broken.ter", std::ios::binary);
        out << "S\x05";
    }
    QString message;
    {
        const auto file = AnswerFileDialog((m_dir / "broken.ter").c_str());
        const auto box = WhenModal<QMessageBox>([&](QMessageBox* b) { message = b->text(); });
        frame->InputView()->OnCommand(CommandId::LoadMap);
    }
    EXPECT_TRUE(message.contains("broken.ter")) << message.toStdString();
    EXPECT_EQ(doc.m_map.m_height[CellIndex(5, 5)], 77);
    EXPECT_EQ(doc.m_change.m_bModified, 0);

    // Saving into a folder that does not exist says so; nothing is written.
    message.clear();
    doc.SetModifiedFlag();
    {
        const auto file = AnswerFileDialog((m_dir / "missing" / "x.ter").c_str());
        const auto box = WhenModal<QMessageBox>([&](QMessageBox* b) { message = b->text(); });
        frame->InputView()->OnCommand(CommandId::SaveMap);
    }
    EXPECT_TRUE(message.startsWith("The map was not saved.")) << message.toStdString();
    EXPECT_TRUE(message.contains("x.ter")) << message.toStdString();
    EXPECT_EQ(doc.m_change.m_bModified, 1);
    EXPECT_FALSE(std::filesystem::exists(m_dir / "missing" / "x.ter"));
}

} // namespace
