#include "TestSupport.h"

#include "MainDoc.h"
#include "SampleTiles.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    m_path = fs::temp_directory_path() /
             ("terrain-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(m_path);
    fs::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

TestBmp TestBmp::Filled(int w, int h, std::uint32_t color) {
    TestBmp b;
    b.width = w;
    b.height = h;
    b.pixels.assign(static_cast<std::size_t>(w) * h, color);
    return b;
}

namespace {
void Put16(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    v[at] = x & 0xFF;
    v[at + 1] = (x >> 8) & 0xFF;
}
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v[at + i] = (x >> (8 * i)) & 0xFF;
}
} // namespace

std::vector<std::uint8_t> TestBmp::Encode() const {
    const int bytesPerPixel = bitCount / 8;
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytesPerPixel;
    const std::size_t stride = padRows ? (rowBytes + 3) / 4 * 4 : rowBytes;
    const std::size_t paletteBytes = bitCount == 8 ? 4 * palette.size() : 0;
    const std::size_t offset = 14 + 40 + paletteBytes;
    std::vector<std::uint8_t> v(offset + stride * height, 0);
    v[0] = 'B';
    v[1] = 'M';
    Put32(v, 2, static_cast<std::uint32_t>(v.size()));
    Put32(v, 10, static_cast<std::uint32_t>(offset));
    Put32(v, 14, 40);
    Put32(v, 18, static_cast<std::uint32_t>(width));
    Put32(v, 22, static_cast<std::uint32_t>(topDown ? -height : height));
    Put16(v, 26, 1);
    Put16(v, 28, static_cast<std::uint32_t>(bitCount));
    Put32(v, 46, bitCount == 8 ? static_cast<std::uint32_t>(palette.size()) : 0);
    for (std::size_t i = 0; i < palette.size() && bitCount == 8; ++i)
        Put32(v, 54 + 4 * i, palette[i]);
    for (int y = 0; y < height; ++y) {
        const int stored = topDown ? y : height - 1 - y;
        std::uint8_t* row = v.data() + offset + stride * stored;
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
            if (bitCount == 8) {
                row[x] = static_cast<std::uint8_t>(p);
            } else if (bitCount == 24) {
                row[3 * x] = p & 0xFF;
                row[3 * x + 1] = (p >> 8) & 0xFF;
                row[3 * x + 2] = (p >> 16) & 0xFF;
            }
        }
    }
    return v;
}

void WriteBytes(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void TestBmp::Write(const fs::path& path) const {
    WriteBytes(path, Encode());
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WritePlainTiles(const fs::path& workDir, const std::vector<std::uint32_t>& colours) {
    fs::create_directories(workDir / "Textures");
    char name[] = "A0000000.BMP";
    for (std::uint32_t colour : colours) {
        TestBmp::Filled(128, 128, colour).Write(workDir / "Textures" / name);
        ++name[0];
    }
}

const fs::path& SampleWorkDir() {
    static const TempDir dir;
    static const std::vector<std::string> files = samplegen::WriteSampleTiles(dir / "Textures");
    return dir.Path();
}

#ifdef QT_WIDGETS_LIB
#include "MainDoc.h"
#include "ModalWatch.h"
#include "SplitterFrame.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

std::unique_ptr<CSplitterFrame> ShowMapWindow(const fs::path& workDir, QSize size) {
    auto doc = std::make_unique<CMainDoc>();
    if (!doc->OnNewDocument(workDir))
        return nullptr;
    auto frame = std::make_unique<CSplitterFrame>(std::move(doc));
    frame->resize(size);
    frame->show();
    return QTest::qWaitForWindowExposed(frame.get()) ? std::move(frame) : nullptr;
}

void TypeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void ClickButton(QAbstractButton* button) {
    QPoint at = button->rect().center();
    const bool check = qobject_cast<QCheckBox*>(button) != nullptr;
    if (check || qobject_cast<QRadioButton*>(button)) {
        QStyleOptionButton opt;
        opt.initFrom(button);
        at = button->style()
                 ->subElementRect(check ? QStyle::SE_CheckBoxIndicator
                                        : QStyle::SE_RadioButtonIndicator,
                                  &opt, button)
                 .center();
    }
    QTest::mouseClick(button, Qt::LeftButton, {}, at);
}

QString MessageOnClick(QAbstractButton* button) {
    QString text;
    const auto watch = WhenModal<QMessageBox>([&text](QMessageBox* box) { text = box->text(); });
    ClickButton(button);
    return text;
}
#endif

void UseNamedTiles(CMainDoc& doc) {
    const char* const names[] = {"DI_1M000", "GRDIA000", "GRDIB000", "GRDIC000",
                                 "GRDID000", "GRDIE000", "GRDIF000", "GRDIG000",
                                 "GRDIH000", "GRDII000", "GRDIJ000", "GRDIK000",
                                 "GRDIL000", "GRFLN000", "GRSTN000", "GR_1M000"};
    doc.m_tiles.m_nLastTile = -1;
    for (const char* n : names)
        doc.m_tiles.m_strTileName[++doc.m_tiles.m_nLastTile] = n;
    TileLoadReport report;
    doc.m_tiles.BuildGroups(report);
}

void SetLibrary(CMainDoc& doc, const std::vector<std::string>& names) {
    doc.m_tiles.m_nLastTile = static_cast<int>(names.size()) - 1;
    std::copy(names.begin(), names.end(), doc.m_tiles.m_strTileName.begin());
}
