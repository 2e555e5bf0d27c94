#include "control/TreeContents.h"

#include "RUVObjectModel.h"
#include "platform/com/ComError.h"
#include "ruv/RUV3TreeDisplay.h"

// Marks a display busy for the life of one operation of the list on it.
class CTreeContents::Busy {
public:
    Busy(CTreeContents& list, SharedDisplayPtr display) : m_list(list), m_display(std::move(display))
    {
        ++m_list.m_busy[m_display.get()];
    }
    ~Busy()
    {
        auto busy = m_list.m_busy.find(m_display.get());
        if (--busy->second > 0)
            return;
        m_list.m_busy.erase(busy);
        if (m_list.m_removedWhileBusy.erase(m_display.get())) {
            try {
                m_display->RemoveAllItems();
            } catch (...) {
                // The items stay; nothing may leave a destructor.
            }
        }
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    CTreeContents& m_list;
    SharedDisplayPtr m_display;
};

CTreeContents::CTreeContents(CMultiTree* pTree, DisplayFactory factory) : m_pTree(pTree), m_factory(std::move(factory))
{
    if (!m_factory) {
        m_factory = [](CMultiTree* tree, CTreeContentSettings* settings, platform::ComPtr<IRUVFile> file) {
            return std::make_shared<CRUV3TreeDisplay>(tree, settings, std::move(file));
        };
    }
}

CTreeContents::~CTreeContents()
{
    // The displays go with the list; they leave the tree's items alone.
    m_displays.clear();
}

bool CTreeContents::IsListed(const CFileTreeDisplay* display) const
{
    for (const auto& [key, listed] : m_displays) {
        if (listed.get() == display)
            return true;
    }
    return false;
}

std::vector<CTreeContents::SharedDisplayPtr> CTreeContents::Snapshot() const
{
    std::vector<SharedDisplayPtr> displays;
    displays.reserve(m_displays.size());
    for (const auto& [key, display] : m_displays)
        displays.push_back(display);
    return displays;
}

void CTreeContents::AddFile(IRUVFile* file)
{
    platform::ComPtr<IRUVFile> typed = platform::QueryOrNull<IRUVFile>(file);
    SharedDisplayPtr display = m_factory(m_pTree, &m_settings, typed);
    const Key key = KeyOf(typed.Get() ? typed.Get() : file);
    // A file listed again replaces its display; the old one's branch goes from the tree first,
    // so that no item is left that no display knows.
    if (m_displays.count(key))
        RemoveFile(reinterpret_cast<IRUVFile*>(key));
    m_displays[key] = display;
    Busy busy(*this, display);
    display->Refresh(nullptr);
}

void CTreeContents::RemoveFile(IRUVFile* file)
{
    auto found = m_displays.find(KeyOf(file));
    if (found == m_displays.end())
        return;
    // Out of the list first: a notification sent while the items go cannot reach it again.
    SharedDisplayPtr display = found->second;
    m_displays.erase(found);
    if (m_busy.count(display.get())) {
        // Its own operation is running: the items go when that is over.
        m_removedWhileBusy[display.get()] = display;
        return;
    }
    Busy busy(*this, display);
    display->RemoveAllItems();
}

void CTreeContents::ForEachDisplay(const std::function<void(CFileTreeDisplay&)>& visit)
{
    std::exception_ptr first;
    for (const SharedDisplayPtr& display : Snapshot()) {
        if (!IsListed(display.get()))
            continue; // removed by an earlier display's notifications
        Busy busy(*this, display);
        std::exception_ptr failure = FailureOf([&] { visit(*display); });
        if (!first)
            first = std::move(failure);
    }
    if (first)
        std::rethrow_exception(first);
}

void CTreeContents::Update(IUnknown* entity)
{
    const CMultiTree::BulkChange bulk(*m_pTree); // one repaint for all files
    ForEachDisplay([entity](CFileTreeDisplay& display) {
        if (!entity)
            display.Refresh(nullptr);
        else if (display.OwnsEntity(entity))
            display.Refresh(entity);
    });
}

IUnknown* CTreeContents::GetEntity(HTREEITEM item) const
{
    for (const auto& [key, display] : m_displays) {
        if (IUnknown* entity = display->GetEntity(item))
            return entity;
    }
    return nullptr;
}

std::vector<HTREEITEM> CTreeContents::GetItems(IUnknown* entity) const
{
    std::vector<HTREEITEM> items;
    for (const auto& [key, display] : m_displays) {
        std::vector<HTREEITEM> more = display->GetItems(entity);
        items.insert(items.end(), more.begin(), more.end());
    }
    return items;
}

bool CTreeContents::IsTopItem(HTREEITEM item) const
{
    IUnknown* entity = GetEntity(item);
    for (HTREEITEM parent = m_pTree->GetParentItem(item); parent; parent = m_pTree->GetParentItem(parent)) {
        if (GetEntity(parent) == entity)
            return false;
    }
    return true;
}

void CTreeContents::GetBrokenItems(CCorbEntities& target)
{
    ForEachDisplay([&target](CFileTreeDisplay& display) { display.GetBrokenItems(target); });
}
