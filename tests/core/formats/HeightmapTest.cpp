#include "AtomicFile.h"
#include "FileError.h"
#include "HeightmapBmp.h"
#include "HeightmapPng.h"
#include "HeightmapRaw.h"
#include "MainDoc.h"
#include "TestPng.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <random>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Fills every cell of the four planes.
void Scramble(CMainDoc& d, unsigned seed) {
    std::mt19937 rng(seed);
    for (int i = 0; i < kPlaneCells; ++i) {
        d.m_map.m_height[i] = static_cast<std::uint8_t>(rng());
        d.m_map.m_tile[i] = static_cast<std::uint16_t>(rng() % 9);
        d.m_map.m_mirror[i] = static_cast<std::uint8_t>(rng() & 1);
        d.m_map.m_flip[i] = static_cast<std::uint8_t>(rng() & 1);
    }
}

// The height nearest to a 16-bit sample, found by search.
int NearestHeight(unsigned v) {
    int best = 0;
    for (int h = 1; h < 256; ++h)
        if (std::abs(h * 257 - static_cast<int>(v)) < std::abs(best * 257 - static_cast<int>(v)))
            best = h;
    return best;
}

class HeightmapTest : public ::testing::Test {
protected:
    void SetUp() override { Scramble(*m_doc, 1); }
    void TearDown() override { AtomicFile::ClearFault(); }

    // Expects cell (x, y) to hold expected(x, y) inside w x h and its old height elsewhere, and
    // the other planes and the size to be as before.
    void ExpectHeights(const CellPlanes& before, int w, int h,
                       const std::function<int(int, int)>& expected, const std::string& what) {
        const CellPlanes& now = m_doc->m_map;
        for (int x = 0; x < kMaxMapSize; ++x)
            for (int y = 0; y < kMaxMapSize; ++y) {
                const int want = x < w && y < h ? expected(x, y) : before.m_height[CellIndex(x, y)];
                ASSERT_EQ(now.m_height[CellIndex(x, y)], want) << what << " cell " << x << "," << y;
            }
        EXPECT_TRUE(now.m_tile == before.m_tile && now.m_mirror == before.m_mirror &&
                    now.m_flip == before.m_flip)
            << what;
        EXPECT_EQ(now.m_nSizeX, before.m_nSizeX);
        EXPECT_EQ(now.m_nSizeY, before.m_nSizeY);
    }

    TempDir m_dir;
    std::unique_ptr<CMainDoc> m_doc = std::make_unique<CMainDoc>();
};

// A 256 x 256 map still exports all 512 x 512 heights: raw bytes column by column, a 16-bit
// grey PNG row by row. (Importing them again: EveryImportIsOneUndoableStep.)
TEST_F(HeightmapTest, ExportsHoldEveryHeightOfThePlane) {
    const CMainDoc& d = *m_doc;
    ExportRawHeights(*m_doc, m_dir / "h.raw");
    ExportPngHeights(*m_doc, m_dir / "h.png");
    EXPECT_EQ(d.m_change.m_bModified, 0); // an export changes nothing
    const Bytes raw = ReadBytes(m_dir / "h.raw");
    const TestPng png = TestPng::Decode(ReadBytes(m_dir / "h.png"));
    ASSERT_EQ(raw.size(), 262144u);
    ASSERT_EQ(png.width, 512);
    ASSERT_EQ(png.height, 512);
    EXPECT_EQ(png.colorType, TestPng::Grey);
    EXPECT_EQ(png.bitDepth, 16);
    for (int x = 0; x < 512; ++x)
        for (int y = 0; y < 512; ++y) {
            const int h = d.m_map.m_height[CellIndex(x, y)];
            ASSERT_EQ(raw[static_cast<std::size_t>(x) * 512 + y], h) << x << "," << y;
            ASSERT_EQ(png.samples[static_cast<std::size_t>(y) * 512 + x], h * 257) << x << "," << y;
        }
}

TEST_F(HeightmapTest, RawImportReadsAsFarAsTheFileGoes) {
    CMainDoc& d = *m_doc;
    const fs::path path = m_dir / "a.raw";
    // A file of 65,536 bytes fills the columns x = 0 ... 127; one of other lengths is read as
    // far as it goes, and the result tells its length.
    for (std::size_t length : {std::size_t{65536}, std::size_t{1000}, std::size_t{262144 + 9}}) {
        Bytes raw(length);
        for (std::size_t i = 0; i < length; ++i)
            raw[i] = static_cast<std::uint8_t>(i * 7 + i / 512);
        WriteBytes(path, raw);
        Scramble(d, static_cast<unsigned>(length));
        const CellPlanes old = d.m_map;
        const RawImportResult result = ImportRawHeights(d, path);
        EXPECT_EQ(result.fileBytes, length);
        EXPECT_FALSE(result.FullPlane());
        ExpectHeights(
            old, 512, 512,
            [&](int x, int y) {
                const std::size_t at = static_cast<std::size_t>(x) * 512 + y;
                return at < length ? raw[at] : old.m_height[CellIndex(x, y)];
            },
            std::to_string(length) + " bytes");
    }
}

TEST_F(HeightmapTest, BmpPixelsFromTheTopLeftAreCells) {
    struct Case {
        int width, height;
        bool topDown;
    } cases[] = {
        {256, 256, false}, // the usual picture
        {3, 2, false},     // rows padded to 4 bytes
        {5, 3, true},      // rows stored top row first
        {600, 520, false}, // only the part that fits 512 x 512
    };
    auto index = [](int x, int y) { return (x * 3 + y * 5 + 200) & 0xFF; };
    for (const Case& c : cases) {
        TestBmp bmp;
        bmp.width = c.width;
        bmp.height = c.height;
        bmp.bitCount = 8;
        bmp.topDown = c.topDown;
        for (std::uint32_t i = 0; i < 256; ++i)
            bmp.palette.push_back(0xFFFFFF - i * 0x010101); // the colours are not looked at
        for (int y = 0; y < c.height; ++y)
            for (int x = 0; x < c.width; ++x)
                bmp.pixels.push_back(static_cast<std::uint32_t>(index(x, y)));
        const fs::path path = m_dir / "h.bmp";
        bmp.Write(path);
        Scramble(*m_doc, static_cast<unsigned>(c.width));
        const CellPlanes before = m_doc->m_map;
        ImportBmpHeights(*m_doc, path);
        const std::string what = std::to_string(c.width) + " x " + std::to_string(c.height);
        ExpectHeights(before, std::min(c.width, 512), std::min(c.height, 512), index, what);
    }
}

TEST_F(HeightmapTest, PngImportTurnsEveryKindOfPictureIntoHeights) {
    struct Case {
        std::string what;
        TestPng png;
        std::function<std::uint16_t(int, int, int)> sample; // x, y, channel
        std::function<int(int, int)> expected;
        int tolerance = 0;
    };
    auto grey = [](int x, int y) { return (x * 7 + y * 13) & 0xFF; };
    auto wide = [](int x, int y) {
        return static_cast<unsigned>((x * 4099 + y * 257 + 128) & 0xFFFF);
    };
    auto rgb = [](int x, int y, int c) {
        const int v[3] = {(x * 40) & 0xFF, (y * 60) & 0xFF, (x * y * 9) & 0xFF};
        return v[c];
    };
    std::vector<Case> cases = {
        {"8-bit grey",
         {.width = 7, .height = 5},
         [&](int x, int y, int) { return grey(x, y); },
         grey},
        {"16-bit grey",
         {.width = 40, .height = 30, .bitDepth = 16},
         [&](int x, int y, int) { return wide(x, y); },
         [&](int x, int y) { return NearestHeight(wide(x, y)); }},
        {"2-bit grey",
         {.width = 9, .height = 2, .bitDepth = 2},
         [](int x, int y, int) { return (x + y) & 3; },
         [](int x, int y) { return ((x + y) & 3) * 85; }},
        {"interlaced",
         {.width = 13, .height = 11, .interlaced = true},
         [&](int x, int y, int) { return grey(x, y); },
         grey},
        {"grey and alpha",
         {.width = 6, .height = 4, .colorType = TestPng::GreyAlpha, .bitDepth = 16},
         [&](int x, int y, int c) { return c == 0 ? wide(x, y) : (x * 999) & 0xFFFF; },
         [&](int x, int y) { return NearestHeight(wide(x, y)); }},
        {"colour",
         {.width = 8, .height = 6, .colorType = TestPng::Rgb},
         rgb,
         [&](int x, int y) {
             return static_cast<int>(std::lround(0.2126 * rgb(x, y, 0) + 0.7152 * rgb(x, y, 1) +
                                                 0.0722 * rgb(x, y, 2)));
         },
         1},
        {"palette",
         {.width = 4,
          .height = 3,
          .colorType = TestPng::Palette,
          .palette = {{10, 10, 10}, {240, 240, 240}, {77, 77, 77}}},
         [](int x, int y, int) { return (x + y) % 3; },
         [](int x, int y) {
             return std::array{10, 240, 77}[(x + y) % 3];
         }},
        {"1024 x 1024",
         {.width = 1024, .height = 1024},
         [&](int x, int y, int) { return grey(x, y); },
         grey},
    };
    for (Case& c : cases) {
        TestPng& png = c.png;
        png.samples.resize(static_cast<std::size_t>(png.width) * png.height * png.Channels());
        for (int y = 0; y < png.height; ++y)
            for (int x = 0; x < png.width; ++x)
                for (int ch = 0; ch < png.Channels(); ++ch)
                    png.At(x, y, ch) = c.sample(x, y, ch);
        Scramble(*m_doc, static_cast<unsigned>(png.width));
        const CellPlanes before = m_doc->m_map;
        HeightPlane heights = before.m_height;
        std::string error;
        const Bytes file = png.Encode();
        ASSERT_TRUE(ParsePngHeights(file.data(), file.size(), heights, error)) << c.what << error;
        for (int x = 0; x < 512; ++x)
            for (int y = 0; y < 512; ++y) {
                const int got = heights[CellIndex(x, y)];
                if (x >= png.width || y >= png.height)
                    ASSERT_EQ(got, before.m_height[CellIndex(x, y)]) << c.what;
                else
                    ASSERT_NEAR(got, c.expected(x, y), c.tolerance)
                        << c.what << " " << x << "," << y;
            }
    }
}

// Files that cannot be used are refused with the file's name and the reason; nothing changes.
TEST_F(HeightmapTest, UnusableFilesChangeNothing) {
    TestBmp bmp8 = TestBmp::Filled(4, 4, 9);
    bmp8.bitCount = 8;
    bmp8.palette.assign(256, 0);
    const Bytes goodBmp = bmp8.Encode();
    TestPng png{.width = 4, .height = 4};
    png.samples.assign(16, 50);
    const Bytes goodPng = png.Encode();
    auto changed = [](Bytes b, std::size_t at, std::uint8_t v) {
        b[at] = v;
        return b;
    };
    auto cut = [](const Bytes& b, std::size_t n) { return Bytes(b.begin(), b.end() - n); };
    TestPng huge{.width = 20000, .height = 1};
    huge.samples.assign(20000, 1);

    using Import = void (*)(CMainDoc&, const fs::path&, CDocObserver*);
    const Import raw = [](CMainDoc& d, const fs::path& p, CDocObserver* s) {
        ImportRawHeights(d, p, s);
    };
    struct Case {
        Import import;
        Bytes file;
        std::string reason;
    } cases[] = {
        {raw, {}, "the file is empty"},
        {ImportBmpHeights, {}, "the file is empty"},
        {ImportBmpHeights, TestBmp::Filled(4, 4, 0x123456).Encode(), "24 bits per pixel"},
        {ImportBmpHeights, changed(goodBmp, 30, 1), "compressed"},
        {ImportBmpHeights, changed(goodBmp, 1, 'N'), "signature \"BM\""},
        {ImportBmpHeights, cut(goodBmp, 1), "shorter than its picture"},
        {ImportPngHeights, {}, "the file is empty"},
        {ImportPngHeights, goodBmp, "lacks the PNG signature"},
        {ImportPngHeights, cut(goodPng, 20), "cut short"},
        {ImportPngHeights, changed(goodPng, goodPng.size() - 20, 0xAA),
         "PNG picture cannot be read"},
        {ImportPngHeights, huge.Encode(), "width exceeds user limit"},
    };
    const CellPlanes before = m_doc->m_map;
    const fs::path path = m_dir / "bad";
    for (const Case& c : cases) {
        WriteBytes(path, c.file);
        try {
            c.import(*m_doc, path, nullptr);
            ADD_FAILURE() << "accepted: " << c.reason;
        } catch (const FileError& e) {
            EXPECT_EQ(e.Path(), path.string());
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
        EXPECT_TRUE(m_doc->m_map == before) << c.reason;
    }
    EXPECT_THROW(ImportPngHeights(*m_doc, m_dir / "missing.png"), FileError);
    EXPECT_THROW(ImportRawHeights(*m_doc, m_dir.Path()), FileError);
    EXPECT_TRUE(m_doc->m_map == before);
    EXPECT_EQ(m_doc->m_change.m_bModified, 0);
    EXPECT_EQ(m_doc->m_change.m_nSnapshots, 0);
}

// Each import of an exported file gives back its heights and leaves the other planes and the
// size alone, in one undoable change: one snapshot, the map modified, every view but the sender
// told to redraw everything.
TEST_F(HeightmapTest, EveryImportIsOneUndoableStep) {
    const fs::path raw = m_dir / "h.raw", bmp = m_dir / "h.bmp", png = m_dir / "h.png";
    CMainDoc source;
    Scramble(source, 9);
    ExportRawHeights(source, raw);
    ExportPngHeights(source, png);
    TestBmp picture = TestBmp::Filled(512, 512, 0);
    picture.bitCount = 8;
    picture.palette.assign(256, 0);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x)
            picture.pixels[static_cast<std::size_t>(y) * 512 + x] =
                source.m_map.m_height[CellIndex(x, y)];
    picture.Write(bmp);

    const std::function<void(CMainDoc&, CDocObserver*)> imports[] = {
        [&](CMainDoc& d, CDocObserver* s) { EXPECT_TRUE(ImportRawHeights(d, raw, s).FullPlane()); },
        [&](CMainDoc& d, CDocObserver* s) { ImportBmpHeights(d, bmp, s); },
        [&](CMainDoc& d, CDocObserver* s) { ImportPngHeights(d, png, s); },
    };
    for (const auto& import : imports) {
        auto doc = std::make_unique<CMainDoc>();
        Scramble(*doc, 4);
        CountingView panel, view;
        doc->AddObserver(&panel);
        doc->AddObserver(&view);
        doc->m_redraw.m_bRedrawAll = 0;
        const CellPlanes before = doc->m_map;
        import(*doc, &panel);
        CellPlanes want = before;
        want.m_height = source.m_map.m_height;
        EXPECT_TRUE(doc->m_map == want);
        EXPECT_EQ(doc->m_change.m_nSnapshots, 1);
        EXPECT_EQ(doc->m_change.m_bModified, 1);
        EXPECT_EQ(doc->m_redraw.m_bRedrawAll, 1);
        EXPECT_EQ(panel.updates, 0);
        EXPECT_EQ(view.updates, 1);
        EXPECT_EQ(doc->m_history.UndoLabel(), "Import Heightmap");
        doc->Undo(); // Ctrl+Z
        EXPECT_TRUE(doc->m_map == before);
        doc->RemoveObserver(&panel);
        doc->RemoveObserver(&view);
    }
}

// A failed export says why and leaves the old file whole, with no temporary file beside it.
TEST_F(HeightmapTest, InterruptedExportKeepsTheOldFile) {
    const fs::path path = m_dir / "h.out";
    const std::function<void()> exports[] = {[&] { ExportRawHeights(*m_doc, path); },
                                             [&] { ExportPngHeights(*m_doc, path); }};
    const std::pair<AtomicFile::Step, int> faults[] = {{AtomicFile::Step::Create, 1},
                                                       {AtomicFile::Step::Write, 2},
                                                       {AtomicFile::Step::Sync, 1},
                                                       {AtomicFile::Step::Rename, 1}};
    const Bytes old = {'o', 'l', 'd'};
    for (const auto& run : exports)
        for (auto [step, nth] : faults) {
            WriteBytes(path, old);
            AtomicFile::InjectFault(step, nth, ENOSPC);
            try {
                run();
                ADD_FAILURE() << "the export reported success";
            } catch (const FileError& e) {
                EXPECT_EQ(e.Path(), path.string());
                EXPECT_EQ(e.Reason(), std::strerror(ENOSPC));
            }
            EXPECT_EQ(ReadBytes(path), old);
            EXPECT_EQ(std::distance(fs::directory_iterator(m_dir.Path()), {}), 1);
        }
}

} // namespace
