// A registry of which tree item shows which entity (an object of the object model), answering
// both ways: the entity of an item, the items of an entity, and the item of an entity at a place
// (parent item and item data). It holds a reference on every entity it records. Entities are
// compared by pointer value: one object must always be handed in as one pointer.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <list>
#include <map>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/com/ComPtr.h"

class CCorbEntities {
public:
    using EntityPtr = platform::ComPtr<IUnknown>;

    CCorbEntities();
    virtual ~CCorbEntities() = default;
    CCorbEntities(const CCorbEntities&) = delete;
    CCorbEntities& operator=(const CCorbEntities&) = delete;

    // Records the item; an item recorded before is moved (its old record goes first).
    void Add(IUnknown* entity, HTREEITEM item, HTREEITEM parent, DWORD_PTR itemData);
    void Remove(HTREEITEM item);
    void Clear();

    EntityPtr GetEntity(HTREEITEM item) const;
    HTREEITEM FindItem(IUnknown* entity, HTREEITEM parent, DWORD_PTR itemData) const;
    bool ContainsItem(HTREEITEM item) const { return m_byItem.count(KeyOf(item)) != 0; }
    bool ContainsEntity(IUnknown* entity) const;
    // The entity's items in ascending (parent, item data) order.
    std::vector<HTREEITEM> GetEntityItems(IUnknown* entity) const;
    // Every item, in the order the records were made.
    std::vector<HTREEITEM> GetAllItems() const;
    int GetEntityCount() const { return static_cast<int>(m_byEntity.size()); }
    // The entity at that position in ascending pointer order; null outside 0 .. count - 1.
    // Walking the positions in order costs one step each.
    EntityPtr GetEntityAt(int index);

    void TransferItem(CCorbEntities& target, HTREEITEM item);
    void CopyEntityEntries(CCorbEntities& target, IUnknown* entity) const;
    void Assign(const CCorbEntities& other);

private:
    struct EntityEntry {
        EntityPtr entity;
        HTREEITEM item;
        HTREEITEM parent;
        DWORD_PTR itemData;
    };
    using Entries = std::list<EntityEntry>;
    // Handles and pointers compare as pointer-sized unsigned numbers.
    using Key = std::uintptr_t;
    using Place = std::pair<Key, DWORD_PTR>; // (parent, item data)
    using Places = std::map<Place, Entries::iterator>;

    static Key KeyOf(const void* p) { return reinterpret_cast<Key>(p); }
    void ResetCursor();

    Entries m_entries;
    std::unordered_map<Key, Entries::iterator> m_byItem;
    std::map<Key, Places> m_byEntity;
    std::map<Key, Places>::iterator m_cursor;
    int m_cursorIndex = 0;
};
