#include "TileTree.h"

#include <algorithm>
#include <cctype>

void TileTree::Clear() {
    m_items.clear();
    m_top.clear();
    m_nSelected = kNone;
    ++m_nGeneration;
}

int TileTree::AddItem(const std::string& text, int parent) {
    const int id = Count();
    m_items.push_back(Item{text, parent, {}});
    if (parent == kNone)
        m_top.push_back(id);
    else
        m_items[static_cast<std::size_t>(parent)].children.push_back(id);
    ++m_nGeneration;
    return id;
}

void TileTree::SortTopLevel() {
    auto lower = [](const std::string& s) {
        std::string out = s;
        for (char& c : out)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return out;
    };
    std::stable_sort(m_top.begin(), m_top.end(),
                     [&](int a, int b) { return lower(At(a).text) < lower(At(b).text); });
    ++m_nGeneration;
}

int TileTree::Depth(int id) const {
    int depth = 0;
    for (int p = At(id).parent; p != kNone; p = At(p).parent)
        ++depth;
    return depth;
}

int TileTree::Find(std::initializer_list<std::string> path) const {
    const std::vector<int>* level = &m_top;
    int found = kNone;
    for (const std::string& text : path) {
        const auto it =
            std::find_if(level->begin(), level->end(), [&](int id) { return At(id).text == text; });
        if (it == level->end())
            return kNone;
        found = *it;
        level = &At(found).children;
    }
    return found;
}

std::vector<std::string> TileTree::Outline() const {
    std::vector<std::string> lines;
    for (int id : m_top)
        AppendOutline(id, 0, lines);
    return lines;
}

void TileTree::AppendOutline(int id, int depth, std::vector<std::string>& lines) const {
    lines.push_back(std::string(static_cast<std::size_t>(2 * depth), ' ') + At(id).text);
    for (int child : At(id).children)
        AppendOutline(child, depth + 1, lines);
}
