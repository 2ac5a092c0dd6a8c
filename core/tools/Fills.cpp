#include "Fills.h"

#include "MainDoc.h"
#include "ToolCodes.h"

#include <cstring>
#include <vector>

namespace {

class FloodFill {
public:
    FloodFill(CMainDoc& doc, bool byHeight, int x, int y,
              const std::function<void(int, int)>& apply)
        : m_doc(doc), m_byHeight(byHeight), m_apply(apply),
          m_value(byHeight ? doc.m_map.m_height[CellIndex(x, y)]
                           : doc.m_map.m_tile[CellIndex(x, y)]) {}

    void Run(int x, int y) {
        std::memset(m_doc.m_work, 0, sizeof m_doc.m_work);
        Start(x, y);
        while (!m_stack.empty()) {
            Span& run = m_stack.back();
            if (run.k > run.r) {
                m_stack.pop_back();
                continue;
            }
            const int k = run.k, ry = run.y;
            if (!run.belowNext) {
                run.belowNext = true;
                if (ry > 0 && Matches(k, ry - 1))
                    Start(k, ry - 1); // may reallocate: `run` is not used after this
            } else {
                run.belowNext = false;
                ++run.k;
                if (ry < m_doc.m_map.m_nSizeY - 1 && Matches(k, ry + 1))
                    Start(k, ry + 1);
            }
        }
    }

private:
    // A run of filled cells whose neighbours above and below are still to be visited.
    struct Span {
        int r;          // last column of the run
        int y;          // its row
        int k;          // next column whose neighbours are visited
        bool belowNext; // the cell above column k was visited; below comes next
    };

    bool Matches(int x, int y) const {
        if (m_doc.m_work[x * kWorkStride + y] != 0)
            return false;
        const int i = CellIndex(x, y);
        return (m_byHeight ? m_doc.m_map.m_height[i] : m_doc.m_map.m_tile[i]) == m_value;
    }

    void Visit(int x, int y) {
        m_doc.m_work[x * kWorkStride + y] = 1;
        m_apply(x, y);
    }

    // Fills the run through (x, y) and queues the visits above and below its cells.
    void Start(int x, int y) {
        Visit(x, y);
        int i = x;
        while (i > 0 && Matches(i - 1, y))
            Visit(--i, y);
        int r = x;
        while (r < m_doc.m_map.m_nSizeX - 1 && Matches(r + 1, y))
            Visit(++r, y);
        m_stack.push_back(Span{r, y, i, false});
    }

    CMainDoc& m_doc;
    bool m_byHeight;
    const std::function<void(int, int)>& m_apply;
    int m_value;
    std::vector<Span> m_stack;
};

} // namespace

void PerformFill(CMainDoc& doc, int fill, int x, int y,
                 const std::function<void(int, int)>& apply) {
    if (!doc.InMap(x, y))
        return;
    doc.RedrawAll();
    switch (fill) {
    case fillFloodTile:
    case fillFloodHeight: {
        FloodFill flood(doc, fill == fillFloodHeight, x, y, apply);
        flood.Run(x, y);
        break;
    }
    case fillWipeTile: {
        const int t = doc.m_map.m_tile[CellIndex(x, y)];
        for (int cx = 0; cx < doc.m_map.m_nSizeX; ++cx)
            for (int cy = 0; cy < doc.m_map.m_nSizeY; ++cy)
                if (doc.m_map.m_tile[CellIndex(cx, cy)] == t)
                    apply(cx, cy);
        break;
    }
    case fillEntireMap:
        for (int cx = 0; cx < doc.m_map.m_nSizeX; ++cx)
            for (int cy = 0; cy < doc.m_map.m_nSizeY; ++cy)
                apply(cx, cy);
        break;
    default:
        break;
    }
}
