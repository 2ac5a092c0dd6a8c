#include "AnswerFileDialog.h"
#include "HeightmapRaw.h"
#include "InputView.h"
#include "MainDoc.h"
#include "ModalWatch.h"
#include "SplitterFrame.h"
#include "TestPng.h"
#include "TestSupport.h"

#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

namespace fs = std::filesystem;

class HeightmapCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WritePlainTiles(m_dir.Path(), {0x102030, 0x405060, 0x708090});
        m_frame = ShowMapWindow(m_dir.Path(), {800, 600});
        ASSERT_TRUE(m_frame);
        m_doc = m_frame->GetDocument();
        for (int i = 0; i < kPlaneCells; ++i) {
            m_doc->m_map.m_height[i] = static_cast<std::uint8_t>(i % 251);
            m_doc->m_map.m_tile[i] = static_cast<std::uint16_t>(i % 3);
        }
    }
    // Runs `id` answering its file dialog with `name` in the test folder; returns the text of the
    // message box it shows ("" if none).
    QString Run(CommandId id, const std::string& name, QString* filter = nullptr) {
        QString message;
        const auto file = AnswerFileDialog((m_dir / name).c_str(), filter);
        const auto box = WhenModal<QMessageBox>([&](QMessageBox* b) { message = b->text(); });
        m_frame->InputView()->OnCommand(id);
        return message;
    }
    TempDir m_dir;
    std::unique_ptr<CSplitterFrame> m_frame;
    CMainDoc* m_doc = nullptr;
};

TEST_F(HeightmapCommandsTest, ExportsAndImportsThroughTheCommands) {
    struct Case {
        CommandId exportId, importId;
        std::string typed, written, filter;
    } cases[] = {
        {CommandId::ExportHeightPng, CommandId::ImportHeightPng, "hills", "hills.png",
         "PNG Image Files (*.PNG)"},
        {CommandId::ExportHeightRaw, CommandId::ImportHeightRaw, "flat", "flat.raw",
         "RAW Image Files (*.RAW)"},
    };
    const CellPlanes original = m_doc->m_map;
    for (const Case& c : cases) {
        QString exportFilter, importFilter;
        EXPECT_EQ(Run(c.exportId, c.typed, &exportFilter), "");
        EXPECT_EQ(exportFilter.toStdString(), c.filter);
        ASSERT_TRUE(fs::exists(m_dir / c.written)) << c.written;
        EXPECT_EQ(m_doc->m_change.m_bModified, 0); // exports change nothing

        for (int i = 0; i < kPlaneCells; ++i)
            m_doc->m_map.m_height[i] = 9;
        const CellPlanes flat = m_doc->m_map;
        EXPECT_EQ(Run(c.importId, c.written, &importFilter), "");
        EXPECT_EQ(importFilter.toStdString(), c.filter);
        EXPECT_TRUE(m_doc->m_map == original) << c.written;
        EXPECT_EQ(m_doc->m_change.m_bModified, 1);
        m_frame->InputView()->OnCommand(CommandId::Undo);
        EXPECT_TRUE(m_doc->m_map == flat) << c.written;
        m_doc->m_map.CopyPlanes(original);
        m_doc->SetModifiedFlag(false);
    }
}

TEST_F(HeightmapCommandsTest, ImportsSayWhatWasWrongOrMissing) {
    // A short RAW file is read as far as it goes, and the user is told both lengths.
    WriteBytes(m_dir / "short.raw", std::vector<std::uint8_t>(65536, 200));
    QString message = Run(CommandId::ImportHeightRaw, "short.raw");
    EXPECT_TRUE(message.contains("short.raw is shorter than a full height plane: it has 65536 "
                                 "bytes, a plane 262144."))
        << message.toStdString();
    EXPECT_EQ(m_doc->m_map.m_height[CellIndex(127, 511)], 200);
    EXPECT_NE(m_doc->m_map.m_height[CellIndex(128, 0)], 200);

    // A 24-bit BMP is refused and changes nothing.
    const CellPlanes before = m_doc->m_map;
    TestBmp::Filled(8, 8, 0x808080).Write(m_dir / "colour.bmp");
    QString filter;
    message = Run(CommandId::ImportHeightBmp, "colour.bmp", &filter);
    EXPECT_EQ(filter, "BMP Image Files (*.BMP)");
    EXPECT_TRUE(message.startsWith("The heights were not imported.")) << message.toStdString();
    EXPECT_TRUE(message.contains("colour.bmp")) << message.toStdString();
    EXPECT_TRUE(message.contains("24 bits per pixel")) << message.toStdString();
    EXPECT_TRUE(m_doc->m_map == before);
}

TEST_F(HeightmapCommandsTest, HeightGroupIsWrittenBesideTheChosenFile) {
    QString filter;
    EXPECT_EQ(Run(CommandId::ExportHeightGroup, "hills.raw", &filter), "");
    EXPECT_EQ(filter, "RAW Image Files (*.RAW)");
    for (const char* name : {"hills1.RAW", "hills2.RAW", "hills3.RAW", "hills4.TXT"})
        EXPECT_TRUE(fs::exists(m_dir / name)) << name;
    EXPECT_FALSE(fs::exists(m_dir / "hills.raw"));

    // More than 255 textures in use: written, and the user is told the numbers wrapped.
    m_doc->m_tiles.m_nLastTile = 299;
    for (int i = 0; i < kPlaneCells; ++i)
        m_doc->m_map.m_tile[i] = static_cast<std::uint16_t>(i % 300);
    QString message = Run(CommandId::ExportHeightGroup, "big.raw");
    EXPECT_TRUE(message.startsWith("300 textures are in use")) << message.toStdString();
    EXPECT_TRUE(message.contains("big2.RAW")) << message.toStdString();

    // A folder that does not exist: nothing is written, and the message says so.
    message = Run(CommandId::ExportHeightGroup, "missing/hills.raw");
    EXPECT_TRUE(message.contains("hills1.RAW")) << message.toStdString();
    EXPECT_TRUE(message.contains("No file of the group was written.")) << message.toStdString();
}

} // namespace
