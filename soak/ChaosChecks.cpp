// The control's promises, checked after every step: the selection that the control reports (by
// count, by index and as a collection) is the one the host followed through the events and its own
// calls, and the tree agrees with it; the tree shows exactly the listed files, in order; no
// collapsed branch holds a selected item.
#include "ChaosHost.h"

#include <algorithm>

#include "platform/window/TreeView.h"

namespace chaos {

using platform::ComPtr;
using platform::DispatchDriver;

namespace {

ComPtr<IUnknown> IdentityOf(const platform::ScopedVariant& value)
{
    return value.Object() ? ComPtr<IDispatch>(value.Object()).Query<IUnknown>() : ComPtr<IUnknown>();
}

std::vector<IUnknown*> Sorted(const std::vector<ComPtr<IUnknown>>& objects)
{
    std::vector<IUnknown*> sorted;
    for (const auto& object : objects)
        sorted.push_back(object.Get());
    std::ranges::sort(sorted);
    return sorted;
}

} // namespace

void ChaosHost::Selected(IDispatch* object, bool selected)
{
    if (!object)
        return;
    const ComPtr<IUnknown> identity = ComPtr<IDispatch>(object).Query<IUnknown>();
    auto found = std::ranges::find_if(m_selection, [&](const auto& held) { return held.Get() == identity.Get(); });
    if (selected == (found != m_selection.end()))
        return Fail("events", selected ? "SelectionChanged selected an object that was selected already"
                                       : "SelectionChanged unselected an object that was not selected");
    if (selected)
        m_selection.push_back(identity);
    else
        m_selection.erase(found);
}

// The selection as SelectedItemCount and SelectedItem give it; with check, also as SelectedItems
// gives it, and past its end.
std::vector<ComPtr<IUnknown>> ChaosHost::ControlSelection(bool check)
{
    DispatchDriver control(Control());
    std::vector<ComPtr<IUnknown>> objects;
    const auto count = control.Get(L"SelectedItemCount");
    const long n = count.value.ToLong().value_or(-1);
    if (count.hr != S_OK || n < 0)
        return Fail("selection", "SelectedItemCount failed"), objects;
    for (long i = 0; i < n; ++i) {
        const auto item = control.Get(L"SelectedItem", {i});
        if (item.hr != S_OK || !item.value.Object())
            return Fail("selection", "SelectedItem(" + std::to_string(i) + ") gave no object"), objects;
        objects.push_back(IdentityOf(item.value));
    }
    if (!check)
        return objects;
    if (control.Get(L"SelectedItem", {n}).scode != DISP_E_BADINDEX)
        Fail("selection", "SelectedItem(SelectedItemCount) is no DISP_E_BADINDEX");
    const auto collection = control.Get(L"SelectedItems");
    DispatchDriver items(collection.value.Object());
    if (collection.hr != S_OK || !collection.value.Object() || items.Get(L"Count").value.ToLong() != n)
        return Fail("selection", "SelectedItems does not count SelectedItemCount objects"), objects;
    for (long i = 0; i < n; ++i)
        if (IdentityOf(items.Get(L"Item", {i}).value).Get() != objects[static_cast<size_t>(i)].Get())
            return Fail("selection", "SelectedItems differs from SelectedItem at " + std::to_string(i)), objects;
    return objects;
}

void ChaosHost::Check()
{
    if (!Control())
        return;
    const auto objects = ControlSelection(true);
    const auto reported = Sorted(objects);
    if (std::adjacent_find(reported.begin(), reported.end()) != reported.end())
        Fail("selection", "SelectedItem gives one object twice");
    if (reported != Sorted(m_selection))
        Fail("selection", "the control selects " + std::to_string(reported.size()) + " objects, the events and calls " +
                              std::to_string(m_selection.size()));
    CheckTree();
}

void ChaosHost::CheckTree()
{
    const platform::TreeView tree(m_site.TreeWindow());
    if (!tree.GetSafeHwnd())
        return Fail("tree", "the active control has no tree window");
    std::vector<std::wstring> roots;
    size_t selectedItems = 0;
    // Depth first over every item, collapsed branches included: (item, inside a collapsed branch).
    std::vector<std::pair<HTREEITEM, bool>> pending;
    for (HTREEITEM root = tree.GetRootItem(); root; root = tree.GetNextSiblingItem(root)) {
        roots.push_back(tree.GetItemText(root));
        pending.emplace_back(root, false);
    }
    while (!pending.empty()) {
        const auto [item, hidden] = pending.back();
        pending.pop_back();
        const UINT state = tree.GetNativeState(item, TVIS_SELECTED | TVIS_EXPANDED);
        if (state & TVIS_SELECTED) {
            ++selectedItems;
            if (hidden)
                return Fail("tree", "a selected item inside a collapsed branch");
        }
        for (HTREEITEM child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child))
            pending.emplace_back(child, hidden || !(state & TVIS_EXPANDED));
    }
    if (selectedItems < m_selection.size() || (selectedItems == 0) != m_selection.empty())
        Fail("tree", std::to_string(selectedItems) + " selected items show " + std::to_string(m_selection.size()) +
                         " selected objects");
    std::vector<std::wstring> listed;
    for (IUnknown* file : m_listed)
        listed.push_back(DocumentOf(file) ? DocumentOf(file)->label : L"?");
    if (roots != listed)
        Fail("files", "the tree shows " + std::to_string(roots.size()) + " files, the host listed " +
                          std::to_string(listed.size()) + " (or in another order)");
}

void ChaosHost::Finish()
{
    m_pending.reset();
    ReleaseControl();
    Pump();
    m_selection.clear();
    m_listed.clear();
    m_documents.clear();
    Pump();
    if (m_site.References() != 0 || m_events.References() != 0)
        Fail("references", "the control kept " + std::to_string(m_site.References()) + " on the site and " +
                               std::to_string(m_events.References()) + " on the event sink");
    // Each module, when it was loaded at all, agrees to unload: no object of it is alive.
    for (const wchar_t* name : {L"RUVModel.dll", L"RUVFileTree.ocx"}) {
        HMODULE module = GetModuleHandleW(name);
        auto canUnload = module ? reinterpret_cast<HRESULT(__stdcall*)()>(
                                      reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")))
                                : nullptr;
        if (canUnload && canUnload() != S_OK)
            Fail("references", std::string(name, name + wcslen(name)) + " still has live objects or locks");
    }
}

} // namespace chaos
