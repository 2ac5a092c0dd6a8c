#include "ExportCommands.h"
#include "AnswerFileDialog.h"
#include "ExportT3dDlg.h"
#include "GltfExport.h"
#include "InputView.h"
#include "MainDoc.h"
#include "ModalWatch.h"
#include "SplitterFrame.h"
#include "T3dExport.h"
#include "TestSupport.h"

#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <memory>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

std::size_t FileCount(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
}

// Answers the export dialog: checks that it opened on its defaults, then picks the size and
// location radios and clicks "Export T3D".
ModalWatch<CExportT3dDlg> AnswerExportDialog(int size, int location) {
    return WhenModal<CExportT3dDlg>([size, location](CExportT3dDlg* dlg) {
        EXPECT_EQ(dlg->windowTitle(), "Export to UnrealEd T3D");
        EXPECT_TRUE(dlg->SizeRadio(2)->isChecked());
        EXPECT_EQ(dlg->SizeRadio(2)->text(), "16x16");
        EXPECT_TRUE(dlg->LocationRadio(0)->isChecked());
        EXPECT_EQ(dlg->LocationRadio(1)->text(), "Entire Map");
        ClickButton(dlg->SizeRadio(size));
        ClickButton(dlg->LocationRadio(location));
        ClickButton(dlg->ExportButton());
    });
}

class ExportCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WritePlainTiles(m_dir.Path(), {0x102030, 0x405060});
        m_frame = ShowMapWindow(m_dir.Path(), {800, 600});
        ASSERT_TRUE(m_frame);
    }
    CInputView* Panel() const { return m_frame->InputView(); }
    CMainDoc& Doc() const { return *m_frame->GetDocument(); }
    TempDir m_dir;
    std::unique_ptr<CSplitterFrame> m_frame;
};

TEST_F(ExportCommandsTest, ExportsOnePieceThenTheWholeMapThroughTheMenuCommand) {
    CMainDoc& doc = Doc();
    ASSERT_TRUE(Panel()->HandlesCommand(CommandId::ExportT3d));
    std::fill(doc.m_map.m_height.begin(), doc.m_map.m_height.end(), 10);
    doc.m_map.m_mirror[CellIndex(0, 0)] = 1;
    doc.m_redraw.m_bRedrawAll = 0;

    // "8x8" at the upper-left corner, to a name typed without an extension.
    QString filter;
    {
        const auto dialog = AnswerExportDialog(3, 0);
        const auto file = AnswerFileDialog((m_dir / "corner").c_str(), &filter);
        Panel()->OnCommand(CommandId::ExportT3d);
    }
    EXPECT_EQ(filter, "T3D Brush Data Files (*.T3D)");
    const std::string text = ReadText(m_dir / "corner.t3d");
    std::string piece;
    WriteT3dPiece(piece, doc, T3dCornerGrid(doc.m_map.m_height.data()), 0, 0, 8);
    EXPECT_EQ(text, piece); // the core's piece, whose text its own tests check
    const T3dChoices& kept = Panel()->T3dExportChoices();
    EXPECT_EQ(kept.m_nT3dSize, 3);
    EXPECT_EQ(kept.m_nT3dLocation, 0);
    EXPECT_EQ(kept.m_nPieceX, 8);
    EXPECT_EQ(kept.m_nPieceY, 8);

    // The dialog opens on its defaults again; "32x32" over the whole 70 x 40 map is two pieces,
    // written into a folder with a "." in its name. A cell without a tile is reported.
    doc.m_map.m_nSizeX = 70;
    doc.m_map.m_nSizeY = 40;
    doc.m_map.m_tile[CellIndex(40, 5)] = kMissingTile;
    fs::create_directory(m_dir / "v1.0");
    QString message;
    {
        const auto dialog = AnswerExportDialog(1, 1);
        const auto file = AnswerFileDialog((m_dir / "v1.0" / "hills.t3d").c_str());
        const auto box = WhenModal<QMessageBox>([&](QMessageBox* b) { message = b->text(); });
        Panel()->OnCommand(CommandId::ExportT3d);
    }
    EXPECT_TRUE(message.startsWith("1 exported cell(s) have no tile")) << message.toStdString();
    EXPECT_EQ(FileCount(m_dir / "v1.0"), 2u);
    EXPECT_EQ(ReadText(m_dir / "v1.0" / "hills XB-YA.t3d")
                  .rfind("Begin PolyList Num=2048 Max=2048\r\n"
                         "Begin Polygon Group=2DLoft Item=2DLoft Texture=A0000000\r\n"
                         "Origin 0,0,160\r\n"
                         "TextureU 1,0,0\r\n"
                         "TextureV 0,1,0\r\n"
                         "Vertex 4096,0,160\r\n",
                         0),
              0u);
    EXPECT_EQ(Panel()->T3dExportChoices().m_nPieceX, 32);
    EXPECT_EQ(doc.m_redraw.m_bRedrawAll, 0);
    EXPECT_EQ(doc.m_change.m_bModified, 0);

    // Cancel in the export dialog writes nothing and keeps the last choices.
    {
        const auto dialog =
            WhenModal<CExportT3dDlg>([](CExportT3dDlg* d) { ClickButton(d->CancelButton()); });
        Panel()->OnCommand(CommandId::ExportT3d);
    }
    EXPECT_EQ(Panel()->T3dExportChoices().m_nT3dLocation, 1);
    EXPECT_EQ(FileCount(m_dir.Path()), 3u); // Textures, corner.t3d, v1.0
}

TEST_F(ExportCommandsTest, CancelInTheProgressDialogKeepsThePiecesWritten) {
    Doc().m_map.m_nSizeX = Doc().m_map.m_nSizeY = 512; // 4,096 pieces of 8 x 8
    fs::create_directory(m_dir / "out");
    QString message;
    {
        const auto dialog = AnswerExportDialog(3, 1);
        const auto file = AnswerFileDialog((m_dir / "out" / "big.t3d").c_str());
        const auto progress = WhenModal<QProgressDialog>([](QProgressDialog* p) {
            EXPECT_EQ(p->maximum(), 4096);
            p->cancel();
        });
        const auto box = WhenModal<QMessageBox>([&](QMessageBox* b) { message = b->text(); });
        Panel()->OnCommand(CommandId::ExportT3d);
    }
    ASSERT_TRUE(message.startsWith("The export was cancelled.")) << message.toStdString();
    const std::size_t written = FileCount(m_dir / "out");
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, 4096u);
    EXPECT_TRUE(message.contains(QStringLiteral("%1 of 4096 pieces were written.").arg(written)))
        << message.toStdString();
}

// The glTF command writes the core's file for the whole map and reports a cell without a tile;
// Cancel in its progress dialog writes nothing.
TEST_F(ExportCommandsTest, GltfExportWritesTheCoresFileAndCancelWritesNothing) {
    CMainDoc& doc = Doc();
    ASSERT_TRUE(Panel()->HandlesCommand(CommandId::ExportGltf));
    doc.m_map.m_nSizeX = 30;
    doc.m_map.m_nSizeY = 20;
    doc.m_map.m_tile[CellIndex(3, 4)] = kMissingTile;
    QString filter, message;
    {
        const auto file = AnswerFileDialog((m_dir / "hills").c_str(), &filter);
        const auto box = WhenModal<QMessageBox>([&](QMessageBox* b) { message = b->text(); });
        Panel()->OnCommand(CommandId::ExportGltf);
    }
    EXPECT_EQ(filter, "glTF Binary (*.glb)");
    EXPECT_TRUE(message.startsWith("1 exported cell(s) have no tile")) << message.toStdString();
    ExportGltf(doc, {}, m_dir / "core.glb");
    EXPECT_EQ(ReadBytes(m_dir / "hills.glb"), ReadBytes(m_dir / "core.glb"));
    EXPECT_EQ(doc.m_change.m_bModified, 0);

    doc.m_map.m_nSizeX = doc.m_map.m_nSizeY = 512;
    {
        const auto file = AnswerFileDialog((m_dir / "big.glb").c_str());
        const auto progress = WhenModal<QProgressDialog>([](QProgressDialog* p) { p->cancel(); });
        const auto box = WhenModal<QMessageBox>([&](QMessageBox* b) { message = b->text(); });
        Panel()->OnCommand(CommandId::ExportGltf);
    }
    EXPECT_EQ(message, "The export was cancelled; no file was written.");
    EXPECT_EQ(FileCount(m_dir.Path()), 3u); // Textures, core.glb, hills.glb: no temporary file
}

} // namespace
