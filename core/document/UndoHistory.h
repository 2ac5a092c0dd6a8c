#pragma once

#include "CellPlanes.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// The map's undo history: many steps back and forward. A step begins with a snapshot of the
// planes (Begin); when the next step begins, or before an undo, a save or a redo, the snapshot
// is compared with the live planes and only the changed rectangle is kept, run-length
// compressed, with the map's size and file name of the other side. Undo and redo exchange a
// step's cells with the live ones, so a step holds one copy of its rectangle either way.
class UndoHistory {
public:
    static constexpr std::size_t kDefaultMaxBytes = 64u << 20;
    static constexpr int kDefaultMaxSteps = 1000;

    // What travels with the planes: the map's size is in CellPlanes, the file name here.
    struct State {
        CellPlanes* planes;
        std::string* pathName;
    };

    // Closes the open step, then opens one named `label` with a snapshot of the state.
    void Begin(const State& live, std::string label);
    // Closes the open step: keeps what changed since Begin, or drops the step if nothing did.
    void Commit(const State& live);

    // An open step counts: it is closed (and maybe found empty) when undone.
    bool CanUndo() const { return m_nPosition > 0 || m_bOpen; }
    bool CanRedo() const { return m_nPosition < static_cast<int>(m_steps.size()); }
    const std::string& UndoLabel() const;
    const std::string& RedoLabel() const;
    // Both close the open step first. False when there is nothing to undo or redo.
    bool Undo(const State& live);
    bool Redo(const State& live);

    // The state after the current step is the one saved in the map's file.
    void MarkSaved(const State& live);
    // The live state is the saved one (no step away from it, no open change).
    bool AtSaved() const { return m_nSavedAt == m_nPosition; }
    // Something outside the planes changed (the brushes): no step leads back to the saved map.
    void ForgetSaved() { m_nSavedAt = -1; }

    void SetLimits(std::size_t maxBytes, int maxSteps);
    std::size_t Bytes() const { return m_nBytes; }
    int Steps() const { return static_cast<int>(m_steps.size()); }
    bool HasOpenStep() const { return m_bOpen; }

private:
    struct Step {
        std::string label;
        int x0 = 0, y0 = 0, w = 0, h = 0; // the changed cells
        std::vector<std::uint8_t> cells;  // the other side's cells of the rectangle, compressed
        int sizeX = 0, sizeY = 0;         // the other side's map size
        std::string pathName;             // the other side's file name
        std::size_t Bytes() const { return cells.capacity() + label.size() + pathName.size() + 64; }
    };

    void Exchange(Step& step, const State& live);
    void Trim();

    std::deque<Step> m_steps; // m_steps[0, m_nPosition) can be undone, the rest redone
    int m_nPosition = 0;
    int m_nSavedAt = 0; // -1: the saved state is no longer in the history
    bool m_bOpen = false;
    std::string m_strOpenLabel;
    CellPlanes m_snapshot;
    std::string m_strSnapshotPath;
    std::size_t m_nBytes = 0;
    std::size_t m_nMaxBytes = kDefaultMaxBytes;
    int m_nMaxSteps = kDefaultMaxSteps;
};
