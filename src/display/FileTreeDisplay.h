// One loaded file's branch of the tree: the bookkeeping that ties tree items to entities, the
// insertion of items, and the rebuild of the whole branch or of the parts that show one entity,
// which keeps every item that still stands for the same entity under the same parent with the
// same item data (and with it the item's selection and expansion). A concrete display decides
// which nodes exist, in Populate.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "display/CorbEntities.h"
#include "settings/TreeContentSettings.h"
#include "tree/MultiTree.h"

// Tree items ordered by their handles' numeric value.
struct ItemHandleLess {
    bool operator()(HTREEITEM a, HTREEITEM b) const
    {
        return reinterpret_cast<std::uintptr_t>(a) < reinterpret_cast<std::uintptr_t>(b);
    }
};
using ItemSet = std::set<HTREEITEM, ItemHandleLess>;

class CFileTreeDisplay {
public:
    CFileTreeDisplay(CMultiTree* pTree, CTreeContentSettings* pSettings);
    virtual ~CFileTreeDisplay() = default;
    CFileTreeDisplay(const CFileTreeDisplay&) = delete;
    CFileTreeDisplay& operator=(const CFileTreeDisplay&) = delete;

    virtual bool OwnsEntity(IUnknown* entity);
    // The entity shown by the item (borrowed), or null.
    virtual IUnknown* GetEntity(HTREEITEM item) const;
    // Every item showing the entity: current ones first, then leftovers of a running refresh.
    virtual std::vector<HTREEITEM> GetItems(IUnknown* entity) const;
    // Rebuilds the parts that show the entity; null (or an entity that maps to null) rebuilds all.
    // Asked for again while a refresh of this display runs (by a host that hears of a deselection
    // as the leftovers go), it runs when the running one is over.
    virtual void Refresh(IUnknown* entity);
    virtual void RemoveAllItems();
    virtual void GetBrokenItems(CCorbEntities& out);
    virtual IUnknown* GetRefreshEntity(IUnknown* entity);
    virtual ItemSet GetSubtreeItems(IUnknown* entity) const;
    virtual ItemSet GetTopItems(IUnknown* entity) const;
    // Inserts the nodes of the entity under hParent; a null entity with TVI_ROOT builds the branch.
    virtual void Populate(IUnknown* entity, HTREEITEM hParent) = 0;
    virtual void GetBrokenEntities(std::vector<IUnknown*>& out);

protected:
    // Makes sure an item for (entity, hParent, itemData) shows text and image, reusing a leftover
    // of the running refresh or inserting a new one; returns the item.
    HTREEITEM InsertEntityItem(IUnknown* entity, std::wstring text, HTREEITEM hParent, HTREEITEM hInsertAfter,
                               int image, DWORD_PTR itemData);
    // "name = value", then InsertEntityItem.
    HTREEITEM InsertNameValueItem(std::wstring name, const std::wstring& value, IUnknown* entity, HTREEITEM hParent,
                                  HTREEITEM hInsertAfter, int image, DWORD_PTR itemData);
    CTreeContentSettings* GetSettings() const { return m_pSettings; }
    // The part of text that an item keeps: a tree-view shows at most 259 characters of a label, so
    // a longer text (a host's caption of any length, a name in a broken file) is cut there, never
    // between the halves of a surrogate pair. What an item costs stays bounded whatever the input.
    static std::wstring BoundedItemText(std::wstring_view text);

    CMultiTree* m_pTree;
    CCorbEntities m_current;
    CCorbEntities m_stale;
    std::map<HTREEITEM, HTREEITEM> m_lastInserted; // per parent, the item placed last
    CTreeContentSettings* m_pSettings;

private:
    struct Look {
        std::wstring text;
        int image;
    };

    // One refresh: a rebuild whose failure leaves every item registered.
    void RefreshOnce(IUnknown* entity);
    void Rebuild(IUnknown* entity);
    void CollectSubtree(HTREEITEM item, ItemSet& set) const;
    // Deletes the items of a registry from the tree, each subtree once; every deleted item leaves the
    // registries as it goes, so that they never name an item the tree no longer has.
    void DeleteItems(CCorbEntities& registry, bool deselectFirst);

    // What each of the display's items shows, so that an unchanged item costs no message.
    std::unordered_map<HTREEITEM, Look> m_looks;
    bool m_building = false; // a full refresh of a branch that had no items yet
    // Whether a refresh runs, and the refreshes asked for meanwhile (a null entity: all).
    bool m_refreshing = false;
    std::vector<CCorbEntities::EntityPtr> m_deferred;
};
