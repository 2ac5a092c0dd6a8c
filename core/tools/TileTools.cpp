#include "TileTools.h"

#include "MainDoc.h"
#include "Random.h"
#include "ToolCodes.h"

#include <algorithm>

const int SlotOfPiece[14] = {5, 8, 6, 7, 2, 4, 1, 3, 9, 12, 10, 11, 13, 0};

namespace {

constexpr int kSlots = 14;          // tile slots of a group version: kind slots 1..14
constexpr int kSingleKindSlot = 15; // the single-tile list

// The painted corners of each piece code.
constexpr int kPieceCorners[14] = {
    cornerSW,
    cornerSE,
    cornerNW,
    cornerNE,
    cornerNW | cornerSW,
    cornerNE | cornerSE,
    cornerSW | cornerSE,
    cornerNW | cornerNE,
    cornerAll & ~cornerNE,
    cornerAll & ~cornerNW,
    cornerAll & ~cornerSE,
    cornerAll & ~cornerSW,
    cornerAll,
    0,
};

int Toggle(int v) {
    return v == 0 ? 1 : 0;
}

// The selected group, or null when the selection names no group or version of the library.
const TileGroup* SelectedGroup(const CMainDoc& doc) {
    const int g = doc.m_sel.m_nSelGroup;
    if (g < 0 || g > doc.m_tiles.m_nLastGroup || g >= kMaxGroups)
        return nullptr;
    if (doc.m_sel.m_nSelVersion < 0 || doc.m_sel.m_nSelVersion >= kVersions)
        return nullptr;
    return &doc.m_tiles.m_tileGroup[g];
}

// Index of the last entry of list `kindSlot` of the selected version, kept inside the table.
int LastEntry(const CMainDoc& doc, const TileGroup& group, int kindSlot) {
    return std::min<int>(group.lastEntry[doc.m_sel.m_nSelVersion][kindSlot], kMaxEntries - 1);
}

using TileChoice = std::pair<std::uint16_t, std::uint16_t>;

TileChoice EntryOf(const CMainDoc& doc, const TileGroup& group, int kindSlot, int e) {
    const int v = doc.m_sel.m_nSelVersion;
    return {group.entryTile[v][kindSlot][e],
            static_cast<std::uint16_t>(group.entryMirror[v][kindSlot][e] +
                                       256 * group.entryFlip[v][kindSlot][e])};
}

// The alternative to paint out of alternatives 0..last: a random one when auto-randomize is on.
int ChooseAlternative(const CMainDoc& doc, int last) {
    if (!doc.m_tools.m_bAutoRandomize)
        return 0;
    const int r = Random::Next();
    int a = (last + 1) * r / Random::kMax;
    if (a > last && last >= 0)
        a = last;
    return std::max(a, 0);
}

// Tile slot `s` of the selected group version. The multi-tile tools always work on these
// slots, whatever the strip currently shows, so a grab that lands on a single tile does not
// turn transition painting into painting single tiles.
int SlotLastAlternative(const CMainDoc& doc, int s) {
    const TileGroup* group = SelectedGroup(doc);
    if (group == nullptr || s < 0 || s >= kSlots)
        return -1;
    return LastEntry(doc, *group, s + 1);
}

TileChoice PickSlotTile(const CMainDoc& doc, int s) {
    const TileGroup* group = SelectedGroup(doc);
    if (group == nullptr || s < 0 || s >= kSlots)
        return {0, 0};
    // An empty list paints its entry 0 as stored.
    const int a = ChooseAlternative(doc, LastEntry(doc, *group, s + 1));
    return EntryOf(doc, *group, s + 1, a);
}

bool CanPaint(const CMainDoc& doc) {
    return SelectedGroup(doc) != nullptr;
}

void PaintSlot(CMainDoc& doc, int x, int y, int s) {
    const auto [tile, orientation] = PickSlotTile(doc, s);
    doc.SetTile(x, y, tile, orientation);
}

int PieceAt(const CMainDoc& doc, int x, int y) {
    const int i = CellIndex(x, y);
    return ClassifyTile(doc, doc.m_map.m_tile[i], doc.m_map.m_mirror[i], doc.m_map.m_flip[i]);
}

// The piece that slot `s` shows when painted as its list stores it.
int PieceOfSlot(int s) {
    int piece = 0;
    while (piece < kPieceNone && SlotOfPiece[piece] != s)
        ++piece;
    return piece;
}

// The piece with exactly these painted corners; kPieceNone for none painted and for the two
// diagonal pairs, which no piece shows.
int PieceWithCorners(int corners) {
    for (int p = 0; p < kPieceNone; ++p)
        if (kPieceCorners[p] == corners)
            return p;
    return kPieceNone;
}

// Takes the corners of the piece of `slot` out of the cell's piece. A cell left with no
// corners, with a diagonal pair, or holding no piece of the group becomes background.
void ClearCorner(CMainDoc& doc, int x, int y, int slot) {
    if (!doc.InMap(x, y))
        return;
    const int own = PieceAt(doc, x, y);
    const int piece = PieceWithCorners(PieceCorners(own) & ~PieceCorners(PieceOfSlot(slot)));
    if (piece != own || piece == kPieceNone)
        PaintSlot(doc, x, y, SlotOfPiece[piece]);
}

struct SlotEntry {
    int slot; // -1: the tile is in no slot
    int entry;
};

// The first slot and entry of the selected group version that hold `tile`.
SlotEntry FindEntry(const CMainDoc& doc, int tile) {
    const TileGroup* group = SelectedGroup(doc);
    if (group == nullptr)
        return {-1, 0};
    for (int s = 0; s < kSlots; ++s) {
        const int last = SlotLastAlternative(doc, s);
        for (int j = 0; j <= last; ++j)
            if (group->entryTile[doc.m_sel.m_nSelVersion][s + 1][j] == tile)
                return {s, j};
    }
    return {-1, 0};
}

// Piece `piece` seen mirrored and/or upside down.
int TurnPiece(int piece, bool mirror, bool flip) {
    int c = PieceCorners(piece);
    if (mirror)
        c = ((c & (cornerNW | cornerSW)) << 1) | ((c & (cornerNE | cornerSE)) >> 1);
    if (flip)
        c = ((c & (cornerNW | cornerNE)) << 2) | ((c & (cornerSW | cornerSE)) >> 2);
    return PieceWithCorners(c);
}

} // namespace

int PieceCorners(int piece) {
    return piece >= 0 && piece <= kPieceNone ? kPieceCorners[piece] : 0;
}

// ---- selection and picking ----

int LastAlternative(const CMainDoc& doc, int s) {
    switch (doc.m_sel.m_nSelKind) {
    case selGroupVersion:
        return SlotLastAlternative(doc, s);
    case selSingleTiles: {
        const TileGroup* group = SelectedGroup(doc);
        if (group != nullptr && s >= 0 && s <= LastEntry(doc, *group, kSingleKindSlot))
            return 1;
        [[fallthrough]]; // past the list's end items are answered as group stamps are
    }
    case selGroupStamp: {
        const int g = doc.m_sel.m_nSelGroup;
        if (g < 0 || g > doc.m_tiles.m_nLastGroup || g >= kMaxGroups || s < 0 ||
            s >= kMultiPictures)
            return -1;
        return doc.m_tiles.m_tileGroup[g].multiUsed[s] != 0 ? 0 : -1;
    }
    case selCustomBrush:
        return s >= 0 && s <= doc.m_nLastBrush ? 0 : -1;
    default:
        return -1;
    }
}

std::pair<std::uint16_t, std::uint16_t> PickTile(const CMainDoc& doc, int s) {
    if (doc.m_sel.m_nSelKind != selSingleTiles)
        return PickSlotTile(doc, s);
    // A single tile has one alternative, but the random draw is made as for every pick.
    ChooseAlternative(doc, LastAlternative(doc, s));
    const TileGroup* group = SelectedGroup(doc);
    if (group == nullptr)
        return {0, 0};
    const int e = s >= 0 && s < kMaxEntries ? s : 0;
    return EntryOf(doc, *group, kSingleKindSlot, e);
}

bool PreviewSelectedTile(const CMainDoc& doc, std::uint16_t& tile, std::uint16_t& orientation) {
    const TileGroup* group = SelectedGroup(doc);
    const int item = doc.m_sel.m_nSelItem;
    TileChoice choice{0, 0};
    if (group == nullptr || item < 0)
        return false;
    if (doc.m_sel.m_nSelKind == selGroupVersion) {
        if (item >= kSlots || LastEntry(doc, *group, item + 1) < 0)
            return false;
        choice = EntryOf(doc, *group, item + 1, 0);
    } else if (doc.m_sel.m_nSelKind == selSingleTiles) {
        if (item >= kMaxEntries || item > LastEntry(doc, *group, kSingleKindSlot))
            return false;
        choice = EntryOf(doc, *group, kSingleKindSlot, item);
    } else {
        return false; // stamps and brushes are not single tiles
    }
    if (choice.first > doc.m_tiles.m_nLastTile)
        return false;
    tile = choice.first;
    orientation = choice.second;
    return true;
}

void DrawSelectedTile(CMainDoc& doc, int x, int y) {
    if (!doc.InMap(x, y) || !CanPaint(doc))
        return;
    // Stamps and custom brushes are not tiles: they are stamped, not drawn cell by cell.
    if (doc.m_sel.m_nSelKind != selGroupVersion && doc.m_sel.m_nSelKind != selSingleTiles)
        return;
    if (doc.m_sel.m_nSelKind == selGroupVersion &&
        (doc.m_sel.m_nSelItem < 0 || doc.m_sel.m_nSelItem >= kSlots))
        return;
    const auto [tile, orientation] = PickTile(doc, doc.m_sel.m_nSelItem);
    doc.SetTile(x, y, tile, orientation);
}

// ---- orientation ----

void RotateTile(CMainDoc& doc, int x, int y) {
    if (!doc.InMap(x, y))
        return;
    const int i = CellIndex(x, y);
    // Steps (mirror, flip) through (0,0) -> (1,0) -> (1,1) -> (0,1): a quarter turn each.
    int mirror = Toggle(doc.m_map.m_mirror[i]);
    int flip = doc.m_map.m_flip[i];
    if (flip == mirror) {
        flip = Toggle(flip);
        mirror = Toggle(mirror);
    }
    doc.SetTileFlags(x, y, doc.m_map.m_tile[i], static_cast<std::uint8_t>(mirror),
                     static_cast<std::uint8_t>(flip));
}

void SpinTile(CMainDoc& doc, int x, int y) {
    if (!doc.InMap(x, y))
        return;
    const int q = 4 * Random::Next() / Random::kMax; // 0..3, and 4 only for the largest value
    const std::uint8_t flip = (q == 1 || q == 3) ? 1 : 0;
    const std::uint8_t mirror = q > 1 ? 1 : 0;
    doc.SetTileFlags(x, y, doc.m_map.m_tile[CellIndex(x, y)], mirror, flip);
}

void ResetTile(CMainDoc& doc, int x, int y) {
    if (!doc.InMap(x, y))
        return;
    doc.SetTileFlags(x, y, doc.m_map.m_tile[CellIndex(x, y)], 0, 0);
}

bool GrabTile(CMainDoc& doc, int tile) {
    if (doc.m_tiles.m_nLastGroup < 0 || tile < 0 || tile > doc.m_tiles.m_nLastTile)
        return false;
    const int lastGroup = std::min(doc.m_tiles.m_nLastGroup, kMaxGroups - 1);
    for (int g = 0; g <= lastGroup; ++g) {
        const TileGroup& group = doc.m_tiles.m_tileGroup[g];
        for (int v = 0; v < kVersions; ++v) {
            if (group.versionUsed[v] == 0)
                continue;
            // Kind slot 0 is no strip item, so the search starts at slot 1.
            for (int l = 1; l < kKindSlots; ++l) {
                const int last = std::min<int>(group.lastEntry[v][l], kMaxEntries - 1);
                for (int m = 0; m <= last; ++m) {
                    if (group.entryTile[v][l][m] != tile)
                        continue;
                    doc.m_sel.m_nSelGroup = g;
                    doc.m_sel.m_nSelVersion = v;
                    if (l == kSingleKindSlot) {
                        doc.m_sel.m_nSelKind = selSingleTiles;
                        doc.m_sel.m_nSelItem = m;
                    } else {
                        doc.m_sel.m_nSelKind = selGroupVersion;
                        doc.m_sel.m_nSelItem = l - 1;
                    }
                    doc.UpdateAllViews(nullptr);
                    return true;
                }
            }
        }
    }
    return false;
}

// ---- multi-tile painting ----

int FindSlot(const CMainDoc& doc, int tile) {
    return FindEntry(doc, tile).slot;
}

int ClassifyTile(const CMainDoc& doc, int tile, int mirror, int flip) {
    const SlotEntry found = FindEntry(doc, tile);
    if (found.slot <= 0)
        return kPieceNone;
    if (found.slot == 13)
        return 12;
    // An entry painted with its stored orientation shows its slot's piece; the cell's picture is
    // that piece turned by whatever the cell's orientation adds to the stored one. This holds
    // for tiles drawn for a slot as well as for orientations derived from another slot's tile.
    const int v = doc.m_sel.m_nSelVersion;
    const TileGroup& group = doc.m_tiles.m_tileGroup[doc.m_sel.m_nSelGroup];
    const bool storedMirror = group.entryMirror[v][found.slot + 1][found.entry] == 1;
    const bool storedFlip = group.entryFlip[v][found.slot + 1][found.entry] == 1;
    return TurnPiece(PieceOfSlot(found.slot), (mirror == 1) != storedMirror,
                     (flip == 1) != storedFlip);
}

void MultiTilePaint(CMainDoc& doc, int x, int y, int value) {
    if (!CanPaint(doc))
        return;
    if (value == 1) {
        // Each cell of the block loses the corner that is the shared point.
        ClearCorner(doc, x, y, 8);
        ClearCorner(doc, x + 1, y, 5);
        ClearCorner(doc, x, y + 1, 7);
        ClearCorner(doc, x + 1, y + 1, 6);
    } else {
        // Each cell of the block gets the one-corner piece whose corner is the shared point.
        PlaceCorner(doc, x, y, 8);
        PlaceCorner(doc, x + 1, y, 5);
        PlaceCorner(doc, x, y + 1, 7);
        PlaceCorner(doc, x + 1, y + 1, 6);
    }
    // Two passes over the block, so each cell sees its neighbours' resolved pieces.
    for (int pass = 0; pass < 2; ++pass)
        for (int dx = 0; dx <= 1; ++dx)
            for (int dy = 0; dy <= 1; ++dy)
                ResolveCell(doc, x + dx, y + dy);
    // The cells beside the block share corners with it; the diagonal ones do not.
    ResolveCell(doc, x - 1, y);
    ResolveCell(doc, x - 1, y + 1);
    ResolveCell(doc, x, y + 2);
    ResolveCell(doc, x + 1, y + 2);
    ResolveCell(doc, x + 2, y);
    ResolveCell(doc, x + 2, y + 1);
    ResolveCell(doc, x, y - 1);
    ResolveCell(doc, x + 1, y - 1);
}

void PlaceCorner(CMainDoc& doc, int x, int y, int slot) {
    if (!doc.InMap(x, y) || !CanPaint(doc))
        return;
    // The cell keeps the corners it has and gains those of the piece of `slot`. A diagonal pair
    // has no piece: the cell then stays as it is and the resolve passes settle it.
    const int own = PieceAt(doc, x, y);
    const int piece = PieceWithCorners(PieceCorners(own) | PieceCorners(PieceOfSlot(slot)));
    if (piece != kPieceNone && piece != own)
        PaintSlot(doc, x, y, SlotOfPiece[piece]);
}

void ResolveCell(CMainDoc& doc, int x, int y) {
    if (!doc.InMap(x, y) || !CanPaint(doc))
        return;
    // Votes per own corner: how many side neighbours have the touching corner painted.
    int votesNW = 0, votesNE = 0, votesSW = 0, votesSE = 0;
    auto has = [](int piece, int corner) { return (PieceCorners(piece) & corner) != 0 ? 1 : 0; };
    if (doc.InMap(x, y - 1)) {
        const int p = PieceAt(doc, x, y - 1);
        votesNW += has(p, cornerSW);
        votesNE += has(p, cornerSE);
    }
    if (doc.InMap(x + 1, y)) {
        const int p = PieceAt(doc, x + 1, y);
        votesNE += has(p, cornerNW);
        votesSE += has(p, cornerSW);
    }
    if (doc.InMap(x, y + 1)) {
        const int p = PieceAt(doc, x, y + 1);
        votesSE += has(p, cornerNE);
        votesSW += has(p, cornerNW);
    }
    if (doc.InMap(x - 1, y)) {
        const int p = PieceAt(doc, x - 1, y);
        votesSW += has(p, cornerSE);
        votesNW += has(p, cornerNE);
    }
    // A corner at the map's own corner touches no side neighbour inside the map: it keeps the
    // cell's own value, so a point painted there stays.
    const int own = PieceCorners(PieceAt(doc, x, y));
    const bool north = doc.InMap(x, y - 1), south = doc.InMap(x, y + 1);
    const bool west = doc.InMap(x - 1, y), east = doc.InMap(x + 1, y);
    if (!north && !west)
        votesNW += (own & cornerNW) ? 1 : 0;
    if (!north && !east)
        votesNE += (own & cornerNE) ? 1 : 0;
    if (!south && !west)
        votesSW += (own & cornerSW) ? 1 : 0;
    if (!south && !east)
        votesSE += (own & cornerSE) ? 1 : 0;

    // The piece that covers most votes; the lowest code wins a tie.
    int best = kPieceNone;
    int bestScore = 0;
    for (int i = 0; i < kPieceNone; ++i) {
        const int c = PieceCorners(i);
        const int score = ((c & cornerNW) ? votesNW : 0) + ((c & cornerNE) ? votesNE : 0) +
                          ((c & cornerSW) ? votesSW : 0) + ((c & cornerSE) ? votesSE : 0);
        if (score > bestScore) {
            bestScore = score;
            best = i;
        }
    }
    if (best == kPieceNone && PieceAt(doc, x, y) == kPieceNone)
        return; // no painted corner around: background or another group's tile stays
    PaintSlot(doc, x, y, SlotOfPiece[best]);
}
