#pragma once

#include <initializer_list>
#include <string>
#include <vector>

// The tool panel's tree of tile groups (or brush sources) as a plain model: items with a text,
// a parent and children in insertion order, the top level sortable, and one selected item.
// Item ids are indices that stay valid until the next Clear().
class TileTree {
public:
    static constexpr int kNone = -1;

    struct Item {
        std::string text;
        int parent = kNone;
        std::vector<int> children;
    };

    void Clear();
    // Appends an item under `parent` (kNone: at the top level) and returns its id.
    int AddItem(const std::string& text, int parent = kNone);
    // Sorts the top level alphabetically, ignoring letter case; children keep their order.
    void SortTopLevel();

    int Count() const { return static_cast<int>(m_items.size()); }
    const Item& At(int id) const { return m_items[static_cast<std::size_t>(id)]; }
    const std::vector<int>& TopLevel() const { return m_top; }
    // 0 for a top-level item, 1 for its children, and so on.
    int Depth(int id) const;

    int Selected() const { return m_nSelected; }
    void SetSelected(int id) { m_nSelected = id; }

    // Changes whenever items are added, removed or reordered, so that a widget showing the
    // tree knows when to rebuild its items.
    int Generation() const { return m_nGeneration; }

    // The item reached by following `path` (texts from the top level down), or kNone.
    int Find(std::initializer_list<std::string> path) const;
    // One line per item in display order, indented by two blanks per level.
    std::vector<std::string> Outline() const;

private:
    void AppendOutline(int id, int depth, std::vector<std::string>& lines) const;

    std::vector<Item> m_items;
    std::vector<int> m_top;
    int m_nSelected = kNone;
    int m_nGeneration = 0;
};
