#include "TileLibrary.h"

#include "TileDecode.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <system_error>

namespace fs = std::filesystem;

namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool HasBmpExtension(const fs::path& p) {
    return Upper(p.extension().string()) == ".BMP";
}

char CharAt(const std::string& s, std::size_t i) {
    return i < s.size() ? s[i] : '\0';
}
int DigitAt(const std::string& s, std::size_t i) {
    const char c = CharAt(s, i);
    return (c >= '0' && c <= '9') ? c - '0' : -1;
}

} // namespace

std::string TileLoadReport::ProblemText() const {
    std::string text;
    for (const std::string& p : problems)
        text += p + "\n";
    return text;
}

TileLibrary::TileLibrary() : m_tileGroup(new TileGroup[kMaxGroups]) {}

fs::path TileLibrary::TexturesDir(const fs::path& workDir) {
    std::error_code ec;
    const fs::path exact = workDir / "Textures";
    if (fs::is_directory(exact, ec))
        return exact;
    for (fs::directory_iterator it(workDir, ec), end; !ec && it != end; it.increment(ec)) {
        if (Upper(it->path().filename().string()) == "TEXTURES" && it->is_directory(ec))
            return it->path();
    }
    return exact;
}

std::string TileLibrary::TileNameOf(const std::string& fileName) {
    return Upper(fileName.substr(0, 8));
}

std::vector<fs::path> TileLibrary::ListTileFiles(const fs::path& texturesDir) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(texturesDir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (HasBmpExtension(it->path()) && !it->is_directory(typeEc))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end(), [](const fs::path& a, const fs::path& b) {
        const std::string ua = Upper(a.filename().string()), ub = Upper(b.filename().string());
        return ua != ub ? ua < ub : a.filename().string() < b.filename().string();
    });
    return files;
}

TileLoadReport TileLibrary::LoadTileLibrary(const fs::path& workDir) {
    return LoadTilesFrom(TexturesDir(workDir));
}

TileLoadReport TileLibrary::LoadTilesFrom(const fs::path& texturesDir) {
    TileLoadReport report;
    const std::vector<fs::path> files = ListTileFiles(texturesDir);
    if (files.empty()) {
        report.status = TileLoadReport::Status::NoTiles;
        return report;
    }
    ++m_nGeneration; // the pictures below are rewritten in place
    m_nLastTile = -1;
    m_nLastGroup = -1;
    m_tileColor.fill(0);
    for (std::string& s : m_strTileName)
        s.clear();
    if (files.size() > static_cast<std::size_t>(kMaxTiles)) {
        report.problems.push_back(std::to_string(files.size() - kMaxTiles) +
                                  " tile files after the first 500 were left out (from " +
                                  files[kMaxTiles].filename().string() + " on).");
    }

    std::vector<std::uint8_t> buffer;
    for (std::size_t f = 0; f < files.size() && f < static_cast<std::size_t>(kMaxTiles); ++f) {
        // Pictures of an earlier load are reused in place when they have the tile size.
        Picture& tile = m_hTileDib[f];
        if (tile.width != kTileSize || tile.height != kTileSize)
            tile = Picture(kTileSize, kTileSize);
        std::string why;
        const TileReadResult r = ReadTile(files[f], tile, buffer, why);
        if (r == TileReadResult::CannotOpen) {
            report.status = TileLoadReport::Status::OpenFailed;
            report.openFailure = files[f].string() + " " + why;
            break;
        }
        const int i = ++m_nLastTile;
        if (r == TileReadResult::Unusable) {
            report.problems.push_back(files[f].filename().string() + ": " + why +
                                      "; the tile is shown black.");
            std::fill(tile.pixels.begin(), tile.pixels.end(), 0u);
        }
        m_strTileName[i] = TileNameOf(files[f].filename().string());
    }

    // Release the pictures of tiles that are no longer listed.
    for (std::size_t i = static_cast<std::size_t>(m_nLastTile + 1); i < m_hTileDib.size(); ++i)
        m_hTileDib[i] = Picture();
    if (report.status != TileLoadReport::Status::Ok)
        return report;

    BuildGroups(report);
    for (int i = 0; i <= m_nLastTile; ++i)
        m_tileColor[i] = static_cast<int>(m_hTileDib[i].AverageColor());
    return report;
}

void TileLibrary::BuildGroups(TileLoadReport& report) {
    m_nLastGroup = -1;
    CreateGroups(report);
    FillGroups(report);
    CompleteOrientations();
}

void TileLibrary::CreateGroups(TileLoadReport& report) {
    std::set<std::string> leftOut;
    for (int i = 0; i <= m_nLastTile; ++i) {
        const std::string& name = m_strTileName[i];
        const char letter = CharAt(name, 4);
        if (letter == 'M' || letter == 'N' || letter == 'S')
            continue;
        const std::string code = name.substr(0, 4);
        bool found = false;
        for (int g = 0; g <= m_nLastGroup && !found; ++g)
            found = m_tileGroup[g].strCode == code;
        if (found)
            continue;
        if (m_nLastGroup >= kMaxGroups - 1) {
            if (leftOut.insert(code).second)
                report.problems.push_back("Tile group " + code +
                                          " was left out: there is room for 40 groups.");
            continue;
        }
        m_tileGroup[++m_nLastGroup].Init(code);
    }
}

void TileLibrary::FillGroups(TileLoadReport& report) {
    std::set<std::string> fullLists;
    auto append = [&](int g, int v, int slot, int tile) {
        if (m_tileGroup[g].Append(v, slot, static_cast<std::uint16_t>(tile), 0, 0))
            return;
        const std::string key =
            m_tileGroup[g].strCode + "/" + std::to_string(v) + "/" + std::to_string(slot);
        if (fullLists.insert(key).second)
            report.problems.push_back("A tile list of group " + m_tileGroup[g].strCode +
                                      " is full (30 entries); " + m_strTileName[tile] +
                                      " and later tiles were left out of it.");
    };

    int searched = -1; // the group of the most recent search, where multi-tile pieces go
    for (int i = 0; i <= m_nLastTile; ++i) {
        const std::string& name = m_strTileName[i];
        const char letter = CharAt(name, 4);
        if (letter >= 'A' && letter <= 'L') {
            const std::string code = name.substr(0, 4);
            int g = 0;
            while (g <= m_nLastGroup && m_tileGroup[g].strCode != code)
                ++g;
            searched = (g <= m_nLastGroup) ? g : m_nLastGroup;
            const int v = DigitAt(name, 6);
            if (g > m_nLastGroup)
                continue;
            if (v < 0 || v >= kVersions) {
                report.problems.push_back(name + ": the 7th character is not a version digit 0 "
                                                 "to 4; the tile joins no tile list.");
                continue;
            }
            m_tileGroup[g].versionUsed[v] = 1;
            append(g, v, letter - 'A' + 2, i);
        } else if (letter == 'M' || letter == 'N') {
            const std::string head = name.substr(0, 2);
            for (int g = 0; g <= m_nLastGroup; ++g) {
                if (m_tileGroup[g].strCode.substr(0, 2) != head)
                    continue;
                for (int v = 0; v < kVersions; ++v)
                    append(g, v, letter == 'M' ? 14 : 15, i);
                searched = g;
            }
            // A full tile of one terrain is the background of the groups painted over it.
            if (letter == 'M') {
                for (int g = 0; g <= m_nLastGroup; ++g) {
                    const std::string& code = m_tileGroup[g].strCode;
                    if (code.size() < 4 || code.substr(2, 2) != head)
                        continue;
                    for (int v = 0; v < kVersions; ++v)
                        append(g, v, 1, i);
                    searched = g;
                }
            }
        } else if (letter == 'S') {
            const int n = DigitAt(name, 3), c = DigitAt(name, 6), r = DigitAt(name, 7);
            if (searched < 0 || n < 0 || c < 0 || r < 0)
                continue;
            TileGroup& group = m_tileGroup[searched];
            group.multiUsed[n] = 1;
            group.multiTile[n][c][r] = static_cast<std::uint8_t>(i & 0xFF);
            group.multiMaxCol[n] = std::max<std::int8_t>(group.multiMaxCol[n], c);
            group.multiMaxRow[n] = std::max<std::int8_t>(group.multiMaxRow[n], r);
        }
    }
}

void TileLibrary::CompleteOrientations() {
    // Copies every entry of list `from` into the empty list `to`, toggling mirror and/or flip.
    auto derive = [](TileGroup& g, int v, int from, int to, bool mirror, bool flip) {
        for (int e = 0; e <= g.lastEntry[v][from]; ++e)
            g.Append(v, to, g.entryTile[v][from][e],
                     static_cast<std::uint8_t>(g.entryMirror[v][from][e] ^ (mirror ? 1 : 0)),
                     static_cast<std::uint8_t>(g.entryFlip[v][from][e] ^ (flip ? 1 : 0)));
    };
    auto empty = [](const TileGroup& g, int v, int slot) { return g.lastEntry[v][slot] < 0; };

    for (int gi = 0; gi <= m_nLastGroup; ++gi) {
        TileGroup& g = m_tileGroup[gi];
        for (int v = 0; v < kVersions; ++v) {
            if (g.versionUsed[v] == -1)
                continue;
            if (empty(g, v, 4))
                derive(g, v, 2, 4, false, true); // C = A upside down
            if (empty(g, v, 5))
                derive(g, v, 3, 5, true, false); // D = B mirrored
            if (!empty(g, v, 6)) {
                if (empty(g, v, 7))
                    derive(g, v, 6, 7, false, true); // F = E upside down
                if (empty(g, v, 9))
                    derive(g, v, 6, 9, true, false); // H = E mirrored
                if (empty(g, v, 8))
                    derive(g, v, 9, 8, false, true); // G = H upside down
            }
            if (!empty(g, v, 10)) {
                if (empty(g, v, 11))
                    derive(g, v, 10, 11, false, true); // J = I upside down
                if (empty(g, v, 13))
                    derive(g, v, 10, 13, true, false); // L = I mirrored
                if (empty(g, v, 12))
                    derive(g, v, 13, 12, false, true); // K = L upside down
            }
        }
    }
}
