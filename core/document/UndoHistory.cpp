#include "UndoHistory.h"

#include <algorithm>
#include <cstring>

namespace {

// Run-length code: a count byte n, then for n < 128 n + 1 literal bytes, for n >= 128 one byte
// repeated n - 125 times (3..130). Planes are mostly runs (one height, one tile) or short noise.
void Compress(const std::vector<std::uint8_t>& in, std::vector<std::uint8_t>& out) {
    out.clear();
    std::size_t i = 0;
    const std::size_t n = in.size();
    while (i < n) {
        std::size_t run = 1;
        while (i + run < n && run < 130 && in[i + run] == in[i])
            ++run;
        if (run >= 3) {
            out.push_back(static_cast<std::uint8_t>(run + 125));
            out.push_back(in[i]);
            i += run;
            continue;
        }
        // Literals up to the next run of three.
        std::size_t lit = 0;
        while (i + lit < n && lit < 128) {
            if (i + lit + 2 < n && in[i + lit] == in[i + lit + 1] && in[i + lit] == in[i + lit + 2])
                break;
            ++lit;
        }
        out.push_back(static_cast<std::uint8_t>(lit - 1));
        out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(i),
                   in.begin() + static_cast<std::ptrdiff_t>(i + lit));
        i += lit;
    }
    out.shrink_to_fit();
}

void Expand(const std::vector<std::uint8_t>& in, std::vector<std::uint8_t>& out) {
    out.clear();
    std::size_t i = 0;
    while (i < in.size()) {
        const int c = in[i++];
        if (c >= 128) {
            out.insert(out.end(), static_cast<std::size_t>(c - 125), in[i++]);
        } else {
            out.insert(out.end(), in.begin() + static_cast<std::ptrdiff_t>(i),
                       in.begin() + static_cast<std::ptrdiff_t>(i + c + 1));
            i += static_cast<std::size_t>(c) + 1;
        }
    }
}

// The cells of the rectangle, plane after plane, column after column.
void Gather(const CellPlanes& p, int x0, int y0, int w, int h, std::vector<std::uint8_t>& out) {
    out.resize(static_cast<std::size_t>(w) * h * 5);
    std::uint8_t* o = out.data();
    for (int x = x0; x < x0 + w; ++x) {
        const int i = CellIndex(x, y0);
        std::memcpy(o, p.m_height.data() + i, static_cast<std::size_t>(h));
        o += h;
        std::memcpy(o, p.m_mirror.data() + i, static_cast<std::size_t>(h));
        o += h;
        std::memcpy(o, p.m_flip.data() + i, static_cast<std::size_t>(h));
        o += h;
        for (int y = 0; y < h; ++y) // low bytes, then high bytes: each half runs well
            o[y] = static_cast<std::uint8_t>(p.m_tile[i + y]);
        o += h;
        for (int y = 0; y < h; ++y)
            o[y] = static_cast<std::uint8_t>(p.m_tile[i + y] >> 8);
        o += h;
    }
}

void Scatter(CellPlanes& p, int x0, int y0, int w, int h, const std::vector<std::uint8_t>& in) {
    const std::uint8_t* s = in.data();
    for (int x = x0; x < x0 + w; ++x) {
        const int i = CellIndex(x, y0);
        std::memcpy(p.m_height.data() + i, s, static_cast<std::size_t>(h));
        s += h;
        std::memcpy(p.m_mirror.data() + i, s, static_cast<std::size_t>(h));
        s += h;
        std::memcpy(p.m_flip.data() + i, s, static_cast<std::size_t>(h));
        s += h;
        for (int y = 0; y < h; ++y)
            p.m_tile[i + y] = static_cast<std::uint16_t>(s[y] | (s[y + h] << 8));
        s += 2 * h;
    }
}

bool CellDiffers(const CellPlanes& a, const CellPlanes& b, int i) {
    return a.m_height[i] != b.m_height[i] || a.m_tile[i] != b.m_tile[i] ||
           a.m_mirror[i] != b.m_mirror[i] || a.m_flip[i] != b.m_flip[i];
}

const std::string kNoLabel;

} // namespace

const std::string& UndoHistory::UndoLabel() const {
    if (m_bOpen)
        return m_strOpenLabel;
    return m_nPosition > 0 ? m_steps[static_cast<std::size_t>(m_nPosition - 1)].label : kNoLabel;
}

const std::string& UndoHistory::RedoLabel() const {
    return CanRedo() ? m_steps[static_cast<std::size_t>(m_nPosition)].label : kNoLabel;
}

void UndoHistory::Begin(const State& live, std::string label) {
    Commit(live);
    m_snapshot.CopyPlanes(*live.planes);
    m_snapshot.m_nSizeX = live.planes->m_nSizeX;
    m_snapshot.m_nSizeY = live.planes->m_nSizeY;
    m_strSnapshotPath = *live.pathName;
    m_strOpenLabel = std::move(label);
    m_bOpen = true;
}

void UndoHistory::Commit(const State& live) {
    if (!m_bOpen)
        return;
    m_bOpen = false;
    const CellPlanes& now = *live.planes;
    // Columns are contiguous: find the changed columns, then the rows within them.
    int x0 = kMaxMapSize, x1 = -1, y0 = kMaxMapSize, y1 = -1;
    for (int x = 0; x < kMaxMapSize; ++x) {
        const int c = CellIndex(x, 0);
        const bool same =
            std::memcmp(now.m_height.data() + c, m_snapshot.m_height.data() + c, kMaxMapSize) ==
                0 &&
            std::memcmp(now.m_tile.data() + c, m_snapshot.m_tile.data() + c, 2 * kMaxMapSize) ==
                0 &&
            std::memcmp(now.m_mirror.data() + c, m_snapshot.m_mirror.data() + c, kMaxMapSize) ==
                0 &&
            std::memcmp(now.m_flip.data() + c, m_snapshot.m_flip.data() + c, kMaxMapSize) == 0;
        if (same)
            continue;
        x0 = std::min(x0, x);
        x1 = x;
        for (int y = 0; y < kMaxMapSize; ++y)
            if (CellDiffers(now, m_snapshot, c + y)) {
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    }
    const bool cells = x1 >= 0;
    const bool size = now.m_nSizeX != m_snapshot.m_nSizeX || now.m_nSizeY != m_snapshot.m_nSizeY;
    const bool path = *live.pathName != m_strSnapshotPath;
    if (!cells && !size && !path)
        return; // nothing changed: no step

    // A new step drops what could be redone.
    if (m_nSavedAt > m_nPosition)
        m_nSavedAt = -1;
    while (static_cast<int>(m_steps.size()) > m_nPosition) {
        m_nBytes -= m_steps.back().Bytes();
        m_steps.pop_back();
    }
    Step step;
    step.label = m_strOpenLabel;
    if (cells) {
        step.x0 = x0;
        step.y0 = y0;
        step.w = x1 - x0 + 1;
        step.h = y1 - y0 + 1;
        std::vector<std::uint8_t> raw;
        Gather(m_snapshot, step.x0, step.y0, step.w, step.h, raw);
        Compress(raw, step.cells);
    }
    step.sizeX = m_snapshot.m_nSizeX;
    step.sizeY = m_snapshot.m_nSizeY;
    step.pathName = m_strSnapshotPath;
    m_nBytes += step.Bytes();
    m_steps.push_back(std::move(step));
    ++m_nPosition;
    Trim();
}

void UndoHistory::Exchange(Step& step, const State& live) {
    CellPlanes& p = *live.planes;
    if (step.w > 0) {
        std::vector<std::uint8_t> theirs, ours;
        Expand(step.cells, theirs);
        Gather(p, step.x0, step.y0, step.w, step.h, ours);
        Scatter(p, step.x0, step.y0, step.w, step.h, theirs);
        m_nBytes -= step.Bytes();
        Compress(ours, step.cells);
        m_nBytes += step.Bytes();
    }
    std::swap(step.sizeX, p.m_nSizeX);
    std::swap(step.sizeY, p.m_nSizeY);
    std::swap(step.pathName, *live.pathName);
}

bool UndoHistory::Undo(const State& live) {
    Commit(live);
    if (!CanUndo())
        return false;
    --m_nPosition;
    Exchange(m_steps[static_cast<std::size_t>(m_nPosition)], live);
    return true;
}

bool UndoHistory::Redo(const State& live) {
    Commit(live);
    if (!CanRedo())
        return false;
    Exchange(m_steps[static_cast<std::size_t>(m_nPosition)], live);
    ++m_nPosition;
    return true;
}

void UndoHistory::MarkSaved(const State& live) {
    Commit(live);
    m_nSavedAt = m_nPosition;
}

void UndoHistory::SetLimits(std::size_t maxBytes, int maxSteps) {
    m_nMaxBytes = maxBytes;
    m_nMaxSteps = std::max(1, maxSteps);
    Trim();
}

void UndoHistory::Trim() {
    // The oldest steps go first; the newest step always stays.
    while (m_steps.size() > 1 && m_nPosition > 0 &&
           (m_nBytes > m_nMaxBytes || static_cast<int>(m_steps.size()) > m_nMaxSteps)) {
        m_nBytes -= m_steps.front().Bytes();
        m_steps.pop_front();
        --m_nPosition;
        m_nSavedAt = m_nSavedAt > 0 ? m_nSavedAt - 1 : -1;
    }
}
