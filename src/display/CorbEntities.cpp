#include "display/CorbEntities.h"

CCorbEntities::CCorbEntities() : m_cursor(m_byEntity.begin()) {}

void CCorbEntities::ResetCursor()
{
    m_cursor = m_byEntity.begin();
    m_cursorIndex = 0;
}

void CCorbEntities::Add(IUnknown* entity, HTREEITEM item, HTREEITEM parent, DWORD_PTR itemData)
{
    auto [found, added] = m_byItem.try_emplace(KeyOf(item));
    if (!added) {
        Remove(item);
        found = m_byItem.try_emplace(KeyOf(item)).first;
    }
    auto position = m_entries.insert(m_entries.end(), EntityEntry{EntityPtr(entity), item, parent, itemData});
    found->second = position;
    m_byEntity[KeyOf(entity)][Place{KeyOf(parent), itemData}] = position;
    ResetCursor();
}

void CCorbEntities::Remove(HTREEITEM item)
{
    auto found = m_byItem.find(KeyOf(item));
    if (found == m_byItem.end())
        return;
    Entries::iterator position = found->second;
    m_byItem.erase(found);
    auto places = m_byEntity.find(KeyOf(position->entity.Get()));
    if (places != m_byEntity.end()) {
        places->second.erase(Place{KeyOf(position->parent), position->itemData});
        if (places->second.empty())
            m_byEntity.erase(places);
    }
    m_entries.erase(position); // releases the entity
    ResetCursor();
}

void CCorbEntities::Clear()
{
    m_byItem.clear();
    m_byEntity.clear();
    m_entries.clear();
    ResetCursor();
}

CCorbEntities::EntityPtr CCorbEntities::GetEntity(HTREEITEM item) const
{
    auto found = m_byItem.find(KeyOf(item));
    return found == m_byItem.end() ? EntityPtr() : found->second->entity;
}

HTREEITEM CCorbEntities::FindItem(IUnknown* entity, HTREEITEM parent, DWORD_PTR itemData) const
{
    auto places = m_byEntity.find(KeyOf(entity));
    if (places == m_byEntity.end())
        return nullptr;
    auto found = places->second.find(Place{KeyOf(parent), itemData});
    return found == places->second.end() ? nullptr : found->second->item;
}

bool CCorbEntities::ContainsEntity(IUnknown* entity) const { return m_byEntity.count(KeyOf(entity)) != 0; }

std::vector<HTREEITEM> CCorbEntities::GetEntityItems(IUnknown* entity) const
{
    std::vector<HTREEITEM> items;
    auto places = m_byEntity.find(KeyOf(entity));
    if (places != m_byEntity.end()) {
        items.reserve(places->second.size());
        for (const auto& [place, position] : places->second)
            items.push_back(position->item);
    }
    return items;
}

std::vector<HTREEITEM> CCorbEntities::GetAllItems() const
{
    std::vector<HTREEITEM> items;
    items.reserve(m_entries.size());
    for (const EntityEntry& entry : m_entries)
        items.push_back(entry.item);
    return items;
}

CCorbEntities::EntityPtr CCorbEntities::GetEntityAt(int index)
{
    // A host's index can be anything: outside the entities the cursor stays where it is.
    if (index < 0 || index >= GetEntityCount())
        return EntityPtr();
    if (index == 0)
        ResetCursor();
    for (; m_cursorIndex < index; ++m_cursorIndex)
        ++m_cursor;
    for (; m_cursorIndex > index; --m_cursorIndex)
        --m_cursor;
    // The first entry of the entity's places holds the entity.
    return m_cursor->second.begin()->second->entity;
}

void CCorbEntities::TransferItem(CCorbEntities& target, HTREEITEM item)
{
    auto found = m_byItem.find(KeyOf(item));
    if (found == m_byItem.end())
        return;
    const EntityEntry& entry = *found->second;
    target.Add(entry.entity.Get(), entry.item, entry.parent, entry.itemData);
    Remove(item);
}

void CCorbEntities::CopyEntityEntries(CCorbEntities& target, IUnknown* entity) const
{
    auto places = m_byEntity.find(KeyOf(entity));
    if (places == m_byEntity.end())
        return;
    for (const auto& [place, position] : places->second)
        target.Add(position->entity.Get(), position->item, position->parent, position->itemData);
}

void CCorbEntities::Assign(const CCorbEntities& other)
{
    if (&other == this)
        return;
    Clear();
    for (const EntityEntry& entry : other.m_entries)
        Add(entry.entity.Get(), entry.item, entry.parent, entry.itemData);
}
