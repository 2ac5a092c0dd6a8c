#include "T3dExport.h"

#include "AtomicFile.h"
#include "MainDoc.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

constexpr int kCellUnits = 128;  // world units per cell, along X and Y
constexpr int kHeightUnits = 16; // world units per height step

char* Put(char* p, std::string_view text) {
    std::memcpy(p, text.data(), text.size());
    return p + text.size();
}

char* PutInt(char* p, int value) {
    return std::to_chars(p, p + 11, value).ptr;
}

char* PutVertex(char* p, int x, int y, int z) {
    p = Put(p, "Vertex ");
    p = PutInt(p, x);
    *p++ = ',';
    p = PutInt(p, y);
    *p++ = ',';
    p = PutInt(p, z);
    return Put(p, "\r\n");
}

// The height above X = 0, Y = 0 of the plane through the three points. The normal is the
// integer cross product (P1 - P2) x (P1 - P3); its length is the double root of the exact sum of
// squares, and its unit components are rounded to single precision before they meet the
// coordinates. That rounding decides the last digit: an exact 560 comes out as 559.
int PlaneOrigin(int X1, int X2, int X3, int Y1, int Y2, int Y3, int Z1, int Z2, int Z3) {
    using I = std::int64_t;
    const I nx = I{Y1 - Y2} * (Z1 - Z3) - I{Z1 - Z2} * (Y1 - Y3);
    const I ny = I{Z1 - Z2} * (X1 - X3) - I{X1 - X2} * (Z1 - Z3);
    const I nz = I{X1 - X2} * (Y1 - Y3) - I{Y1 - Y2} * (X1 - X3);
    if (nz == 0)
        return 0; // a vertical or degenerate triangle crosses no single height above the origin
    const double length = std::sqrt(static_cast<double>(nx * nx + ny * ny + nz * nz));
    const auto fx = static_cast<float>(static_cast<double>(nx) / length);
    const auto fy = static_cast<float>(static_cast<double>(ny) / length);
    const auto fz = static_cast<float>(static_cast<double>(nz) / length);
    if (fz == 0.0f)
        return 0;
    const double z0 = ((X1 * static_cast<double>(fx) + Z1 * static_cast<double>(fz)) +
                       Y1 * static_cast<double>(fy)) /
                      static_cast<double>(fz);
    return static_cast<int>(std::clamp(z0, double{INT_MIN}, double{INT_MAX}));
}

// The tile name of a tile index, or empty when the library has no tile of that index.
std::string_view TileNameOf(const TileLibrary& tiles, std::uint16_t tile) {
    if (tile > tiles.m_nLastTile || tile >= kMaxTiles)
        return {};
    return tiles.m_strTileName[tile];
}

int WritePieceFile(std::string& text, const CMainDoc& doc, const T3dCornerGrid& grid, int x0,
                   int y0, int pieceSize, const fs::path& path) {
    text.clear();
    const int missing = WriteT3dPiece(text, doc, grid, x0, y0, pieceSize);
    AtomicFile file(path, AtomicFile::Flush::BySystem);
    file.Write(text.data(), text.size());
    file.Commit();
    return missing;
}

} // namespace

void T3dChoices::Accept(int sizeIndex, int location) {
    m_nT3dSize = std::clamp(sizeIndex, 0, kT3dSizeChoices - 1);
    m_nT3dLocation = std::clamp(location, 0, 1);
    m_nPieceX = m_nPieceY = kT3dPieceSizes[m_nT3dSize];
}

T3dCornerGrid::T3dCornerGrid(const std::uint8_t* heightPlane)
    : m_z(static_cast<std::size_t>(kWorkStride) * kWorkStride, 0) {
    for (int i = 0; i < kMaxMapSize; ++i) {
        std::uint16_t* row = m_z.data() + static_cast<std::size_t>(i) * kWorkStride;
        const std::uint8_t* column = heightPlane + CellIndex(i, 0);
        for (int j = 0; j < kMaxMapSize; ++j)
            row[j] = static_cast<std::uint16_t>(column[j] * kHeightUnits);
    }
}

bool SplitsAlongBC(int a, int b, int c, int d) {
    // The highest corner, in the order A, B, C, D; the first wins a tie.
    int best = 0;
    char highest = 'A';
    for (auto [corner, z] : {std::pair{'A', a}, {'B', b}, {'C', c}, {'D', d}})
        if (z > best) {
            best = z;
            highest = corner;
        }
    const int ad = std::abs(a - d);
    const int bc = std::abs(b - c);
    return (highest == 'B' || highest == 'C') ? ad / 3 + 1 > bc : !(bc / 3 + 1 > ad);
}

void WriteT3dPolygon(std::string& file, std::string_view textureName, int X1, int X2, int X3,
                     int Y1, int Y2, int Y3, int Z1, int Z2, int Z3, int mirror, int flip) {
    file += "Begin Polygon Group=2DLoft Item=2DLoft";
    if (!textureName.empty()) {
        file += " Texture=";
        file += textureName;
    }
    // The rest of the record: at most 2 + 24 + 2 * 18 + 3 * 44 + 13 characters.
    char buffer[256];
    char* p = Put(buffer, "\r\nOrigin 0,0,");
    p = PutInt(p, PlaneOrigin(X1, X2, X3, Y1, Y2, Y3, Z1, Z2, Z3));
    p = Put(p, mirror ? "\r\nTextureU -1,0,0\r\n" : "\r\nTextureU 1,0,0\r\n");
    p = Put(p, flip ? "TextureV 0,-1,0\r\n" : "TextureV 0,1,0\r\n");
    p = PutVertex(p, X1, Y1, Z1);
    p = PutVertex(p, X2, Y2, Z2);
    p = PutVertex(p, X3, Y3, Z3);
    p = Put(p, "End Polygon\r\n");
    file.append(buffer, p);
}

int WriteT3dPiece(std::string& file, const CMainDoc& doc, const T3dCornerGrid& grid, int x0, int y0,
                  int pieceSize) {
    if (pieceSize < 1 || x0 < 0 || y0 < 0 || x0 + pieceSize > kMaxMapSize ||
        y0 + pieceSize > kMaxMapSize)
        throw std::out_of_range("T3D piece outside the planes");
    const int polygons = 2 * pieceSize * pieceSize;
    char head[64];
    char* p = Put(head, "Begin PolyList Num=");
    p = PutInt(p, polygons);
    p = Put(p, " Max=");
    p = PutInt(p, polygons);
    p = Put(p, "\r\n");
    file.reserve(file.size() + static_cast<std::size_t>(polygons) * 240 + 64);
    file.append(head, p);

    const CellPlanes& map = doc.m_map;
    int missing = 0;
    for (int y = y0; y < y0 + pieceSize; ++y) {
        for (int x = x0; x < x0 + pieceSize; ++x) {
            const int cell = CellIndex(x, y);
            const std::string_view name = TileNameOf(doc.m_tiles, map.m_tile[cell]);
            if (name.empty())
                ++missing;
            const int mirror = map.m_mirror[cell];
            const int flip = map.m_flip[cell];

            const int xa = kCellUnits * x, xd = xa + kCellUnits;
            const int ya = kCellUnits * y, yd = ya + kCellUnits;
            const int a = grid.Z(x, y), b = grid.Z(x, y + 1);
            const int c = grid.Z(x + 1, y), d = grid.Z(x + 1, y + 1);

            if (SplitsAlongBC(a, b, c, d)) { // (C, B, A) and (C, D, B)
                WriteT3dPolygon(file, name, xd, xa, xa, ya, yd, ya, c, b, a, mirror, flip);
                WriteT3dPolygon(file, name, xd, xd, xa, ya, yd, yd, c, d, b, mirror, flip);
            } else { // (A, D, B) and (A, C, D)
                WriteT3dPolygon(file, name, xa, xd, xa, ya, yd, yd, a, d, b, mirror, flip);
                WriteT3dPolygon(file, name, xa, xd, xd, ya, ya, yd, a, c, d, mirror, flip);
            }
        }
    }
    file += "End PolyList\r\n";
    return missing;
}

int ExportT3dPiece(const CMainDoc& doc, const T3dCornerGrid& grid, int x0, int y0, int pieceSize,
                   const fs::path& path) {
    std::string text;
    return WritePieceFile(text, doc, grid, x0, y0, pieceSize, path);
}

std::string T3dPieceLetters(int index) {
    // Bijective base 26: A ... Z, AA ... ZZ, AAA ...
    std::string letters;
    for (unsigned n = static_cast<unsigned>(std::max(index, 0)) + 1; n > 0; n = (n - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    return letters;
}

fs::path T3dPiecePath(const fs::path& path, int i, int j) {
    // Split the file name, never a folder, at its first ".".
    const std::string name = path.filename().string();
    const std::size_t dot = std::min(name.find('.'), name.size());
    return path.parent_path() / (name.substr(0, dot) + " X" + T3dPieceLetters(i) + "-Y" +
                                 T3dPieceLetters(j) + name.substr(dot));
}

int T3dPiecesToWrite(const CMainDoc& doc, const T3dChoices& choices) {
    if (choices.m_nT3dLocation != 1)
        return 1;
    const int piece = choices.m_nPieceX; // pieces are square
    if (piece < 1)
        return 0;
    return (doc.m_map.m_nSizeX / piece) * (doc.m_map.m_nSizeY / piece);
}

T3dExportResult ExportT3d(const CMainDoc& doc, const T3dChoices& choices, const fs::path& path,
                          const T3dProgress& progress) {
    T3dExportResult result;
    const int pieceSize = choices.m_nPieceX;
    if (pieceSize < 1 || pieceSize > kMaxMapSize)
        throw std::invalid_argument("T3D piece size out of range");
    const T3dCornerGrid grid(doc.m_map.m_height.data());
    std::string text;
    const bool entireMap = choices.m_nT3dLocation == 1;
    const int columns = entireMap ? doc.m_map.m_nSizeX / pieceSize : 1;
    const int rows = entireMap ? doc.m_map.m_nSizeY / pieceSize : 1;
    result.piecesTotal = T3dPiecesToWrite(doc, choices);

    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            const fs::path piecePath = entireMap ? T3dPiecePath(path, i, j) : path;
            try {
                result.cellsWithoutTile += WritePieceFile(text, doc, grid, pieceSize * i,
                                                          pieceSize * j, pieceSize, piecePath);
            } catch (const FileError& e) {
                result.failure = e;
                return result;
            }
            ++result.piecesWritten;
            if (progress && !progress(result.piecesWritten, result.piecesTotal)) {
                result.stopped = result.piecesWritten < result.piecesTotal;
                return result;
            }
        }
    }
    return result;
}
