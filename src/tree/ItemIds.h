// The child ids under which assistive technology knows a tree's items: a 32-bit number for an item,
// given on first use and kept until the item is deleted, never given again while the tree lives
// (an item handle is a pointer, wider than a child id on x64, and may be reused for a new item).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <unordered_map>

class ItemIds {
public:
    LONG IdOf(HTREEITEM item)
    {
        const auto [found, added] = m_ids.try_emplace(item, m_next);
        if (added)
            m_items.emplace(m_next++, item);
        return found->second;
    }
    // Null for an id never given or whose item is gone.
    HTREEITEM ItemOf(LONG id) const
    {
        const auto found = m_items.find(id);
        return found == m_items.end() ? nullptr : found->second;
    }
    void Forget(HTREEITEM item)
    {
        if (const auto found = m_ids.find(item); found != m_ids.end()) {
            m_items.erase(found->second);
            m_ids.erase(found);
        }
    }
    // Forgets every item; the ids given stay used.
    void Clear()
    {
        m_ids.clear();
        m_items.clear();
    }

private:
    std::unordered_map<HTREEITEM, LONG> m_ids;
    std::unordered_map<LONG, HTREEITEM> m_items;
    LONG m_next = 1; // CHILDID_SELF (0) is the tree; 2^31 items in one tree's life are out of reach
};
