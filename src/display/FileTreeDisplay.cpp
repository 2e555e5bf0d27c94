#include "display/FileTreeDisplay.h"

#include <algorithm>

namespace {

constexpr size_t kMaxItemText = 259;

} // namespace

CFileTreeDisplay::CFileTreeDisplay(CMultiTree* pTree, CTreeContentSettings* pSettings)
    : m_pTree(pTree), m_pSettings(pSettings)
{
}

bool CFileTreeDisplay::OwnsEntity(IUnknown* entity) { return m_current.ContainsEntity(entity); }

IUnknown* CFileTreeDisplay::GetEntity(HTREEITEM item) const
{
    // The registry holds a reference for as long as the item is recorded: the pointer can be lent.
    return m_current.GetEntity(item).Get();
}

std::vector<HTREEITEM> CFileTreeDisplay::GetItems(IUnknown* entity) const
{
    std::vector<HTREEITEM> items = m_current.GetEntityItems(entity);
    std::vector<HTREEITEM> stale = m_stale.GetEntityItems(entity);
    items.insert(items.end(), stale.begin(), stale.end());
    return items;
}

IUnknown* CFileTreeDisplay::GetRefreshEntity(IUnknown* entity) { return entity; }

void CFileTreeDisplay::GetBrokenEntities(std::vector<IUnknown*>&) {}

void CFileTreeDisplay::GetBrokenItems(CCorbEntities& out)
{
    std::vector<IUnknown*> broken;
    GetBrokenEntities(broken);
    for (IUnknown* entity : broken)
        m_current.CopyEntityEntries(out, entity);
}

std::wstring CFileTreeDisplay::BoundedItemText(std::wstring_view text)
{
    if (text.size() <= kMaxItemText)
        return std::wstring(text);
    size_t length = kMaxItemText;
    if (IS_HIGH_SURROGATE(text[length - 1]))
        --length;
    return std::wstring(text.substr(0, length));
}

HTREEITEM CFileTreeDisplay::InsertEntityItem(IUnknown* entity, std::wstring text, HTREEITEM hParent,
                                             HTREEITEM hInsertAfter, int image, DWORD_PTR itemData)
{
    if (text.size() > kMaxItemText)
        text = BoundedItemText(text);
    if (m_building) {
        // A first build only appends: nothing is kept, and each parent's items come in order.
        HTREEITEM item = m_pTree->InsertItem(text.c_str(), hParent, hInsertAfter, itemData, image);
        if (item) {
            m_current.Add(entity, item, hParent, itemData);
            m_looks.emplace(item, Look{std::move(text), image});
        }
        return item;
    }
    if (hInsertAfter == TVI_LAST) {
        auto last = m_lastInserted.find(hParent);
        if (last != m_lastInserted.end())
            hInsertAfter = last->second;
        else
            hInsertAfter = hParent == TVI_ROOT ? TVI_LAST : TVI_FIRST;
    }

    HTREEITEM item = m_stale.FindItem(entity, hParent, itemData);
    if (item) {
        // A kept item: its place, state and children stay; only what it shows may change.
        m_stale.TransferItem(m_current, item);
        Look& look = m_looks[item];
        const bool textChanged = look.text != text;
        const bool imageChanged = look.image != image;
        if (textChanged || imageChanged)
            m_pTree->SetItemLook(item, textChanged ? text.c_str() : nullptr, imageChanged ? image : -1);
        look = Look{std::move(text), image};
    } else {
        item = m_pTree->InsertItem(text.c_str(), hParent, hInsertAfter, itemData, image);
        if (!item)
            return nullptr;
        m_current.Add(entity, item, hParent, itemData);
        m_looks[item] = Look{std::move(text), image};
    }

    auto last = m_lastInserted.find(hParent);
    if (last == m_lastInserted.end())
        m_lastInserted.emplace(hParent, item);
    else if (last->second == hInsertAfter)
        last->second = item;
    return item;
}

HTREEITEM CFileTreeDisplay::InsertNameValueItem(std::wstring name, const std::wstring& value, IUnknown* entity,
                                                HTREEITEM hParent, HTREEITEM hInsertAfter, int image, DWORD_PTR itemData)
{
    return InsertEntityItem(entity, name + L" = " + value, hParent, hInsertAfter, image, itemData);
}

void CFileTreeDisplay::CollectSubtree(HTREEITEM item, ItemSet& set) const
{
    set.insert(item);
    for (HTREEITEM child = m_pTree->GetChildItem(item); child; child = m_pTree->GetNextSiblingItem(child))
        CollectSubtree(child, set);
}

ItemSet CFileTreeDisplay::GetSubtreeItems(IUnknown* entity) const
{
    ItemSet items;
    for (HTREEITEM item : m_current.GetEntityItems(entity))
        CollectSubtree(item, items);
    return items;
}

ItemSet CFileTreeDisplay::GetTopItems(IUnknown* entity) const
{
    const std::vector<HTREEITEM> items = m_current.GetEntityItems(entity);
    ItemSet top(items.begin(), items.end());
    for (HTREEITEM item : items) {
        ItemSet below;
        for (HTREEITEM child = m_pTree->GetChildItem(item); child; child = m_pTree->GetNextSiblingItem(child))
            CollectSubtree(child, below);
        for (HTREEITEM inner : below)
            top.erase(inner);
    }
    return top;
}

void CFileTreeDisplay::Refresh(IUnknown* entity)
{
    if (m_refreshing) {
        // Rebuilding now would change the branch under the leftovers the running refresh is
        // deleting; the request waits for it, once however often it is made.
        const bool waiting = std::any_of(m_deferred.begin(), m_deferred.end(),
                                         [&](const CCorbEntities::EntityPtr& request) { return request.Get() == entity; });
        if (!waiting)
            m_deferred.emplace_back(entity);
        return;
    }
    struct Running {
        CFileTreeDisplay& display;
        ~Running()
        {
            display.m_refreshing = false;
            display.m_deferred.clear(); // a failure drops the requests that waited for it
        }
    } running{*this};
    m_refreshing = true;
    const CMultiTree::BulkChange bulk(*m_pTree);
    RefreshOnce(entity);
    while (!m_deferred.empty()) {
        const CCorbEntities::EntityPtr next = m_deferred.front();
        m_deferred.erase(m_deferred.begin());
        RefreshOnce(next.Get());
    }
}

void CFileTreeDisplay::RefreshOnce(IUnknown* entity)
{
    try {
        Rebuild(entity);
    } catch (...) {
        // What was built stays; the leftovers not reached stay too, and all of it stays registered,
        // so that the next refresh starts from a registry that describes the tree.
        for (HTREEITEM item : m_stale.GetAllItems())
            m_stale.TransferItem(m_current, item);
        m_lastInserted.clear();
        throw;
    }
}

void CFileTreeDisplay::Rebuild(IUnknown* entity)
{
    IUnknown* target = GetRefreshEntity(entity);
    if (!target) {
        m_stale.Assign(m_current);
        m_current.Clear();
        struct Building {
            bool& flag;
            ~Building() { flag = false; }
        } building{m_building};
        m_building = m_looks.empty();
        Populate(nullptr, TVI_ROOT);
    } else {
        const ItemSet subtree = GetSubtreeItems(target);
        const ItemSet top = GetTopItems(target);
        m_stale.Clear();
        for (HTREEITEM item : subtree)
            m_current.TransferItem(m_stale, item);
        for (HTREEITEM item : top) {
            HTREEITEM parent = m_pTree->GetParentItem(item);
            // A root-level item reads back no parent; it was recorded under TVI_ROOT.
            if (!parent)
                parent = TVI_ROOT;
            CCorbEntities::EntityPtr shown = m_stale.GetEntity(item);
            if (shown)
                Populate(shown.Get(), parent);
        }
    }
    DeleteItems(m_stale, false);
    m_stale.Clear();
    m_lastInserted.clear();
}

void CFileTreeDisplay::DeleteItems(CCorbEntities& registry, bool deselectFirst)
{
    for (HTREEITEM item : registry.GetAllItems()) {
        if (!registry.ContainsItem(item))
            continue; // gone with a deleted ancestor
        ItemSet subtree;
        CollectSubtree(item, subtree);
        if (deselectFirst)
            m_pTree->SetItemState(item, 0, TVIS_SELECTED, FALSE);
        m_pTree->DeleteItem(item);
        for (HTREEITEM gone : subtree) {
            m_current.Remove(gone);
            m_stale.Remove(gone);
            m_looks.erase(gone);
        }
    }
}

void CFileTreeDisplay::RemoveAllItems() { DeleteItems(m_current, true); }
