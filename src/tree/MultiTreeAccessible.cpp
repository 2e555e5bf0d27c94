#include "tree/MultiTreeAccessible.h"

#include <oleauto.h>

#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/automation/VariantEnumerator.h"
#include "platform/com/ComError.h"
#include "platform/com/ComObject.h"
#include "platform/com/ScopedBstr.h"
#include "platform/com/ScopedVariant.h"
#include "platform/com/TypeLibrary.h"
#include "platform/window/MessageScope.h"
#include "tree/MultiTree.h"

using platform::ComPtr;
using platform::ScopedVariant;

namespace {

constexpr long kSelectFlags =
    SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION | SELFLAG_EXTENDSELECTION | SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION;

// Flags that ask for one thing: adding and removing at once, taking the selection and changing it
// otherwise, or removing a span (no gesture of the tree does that) are not.
bool ValidSelectFlags(long flags)
{
    const bool add = flags & SELFLAG_ADDSELECTION, remove = flags & SELFLAG_REMOVESELECTION;
    const bool extend = flags & SELFLAG_EXTENDSELECTION;
    return !(flags & ~kSelectFlags) && !(add && remove) && !(extend && remove) &&
           !((flags & SELFLAG_TAKESELECTION) && (add || remove || extend));
}

// The child id that a VARIANT names: a number (VT_I4, or VT_I2 and VT_INT as scripts pass them),
// also by reference; an optional argument left out names the tree itself.
std::optional<LONG> ChildIdIn(const VARIANT& child)
{
    const VARIANT* value = V_VT(&child) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(&child) ? V_VARIANTREF(&child) : &child;
    switch (V_VT(value)) {
    case VT_I4:
        return V_I4(value);
    case VT_I2:
        return V_I2(value);
    case VT_INT:
        return V_INT(value);
    case VT_ERROR:
        return V_ERROR(value) == DISP_E_PARAMNOTFOUND ? std::optional<LONG>(CHILDID_SELF) : std::nullopt;
    default:
        return std::nullopt;
    }
}

// The visible items, top to bottom: the tree's children.
std::vector<HTREEITEM> Rows(const CMultiTree& tree)
{
    std::vector<HTREEITEM> rows;
    for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextVisibleItem(item))
        rows.push_back(item);
    return rows;
}

HRESULT GiveText(const std::wstring& text, BSTR* out)
{
    *out = platform::ScopedBstr(text).Release();
    return *out ? S_OK : E_OUTOFMEMORY;
}

// A child as a VARIANT: its id, or nothing (S_FALSE) for none.
HRESULT GiveChild(CMultiTree& tree, HTREEITEM item, VARIANT* out)
{
    if (!item)
        return S_FALSE;
    *out = ScopedVariant(tree.ChildIdOf(item)).Release();
    return S_OK;
}

long ItemState(const CMultiTree& tree, HTREEITEM item)
{
    const HWND window = tree.GetSafeHwnd();
    long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (tree.GetItemState(item, TVIS_SELECTED))
        state |= STATE_SYSTEM_SELECTED;
    if (item == tree.GetCaretItem() && GetFocus() == window)
        state |= STATE_SYSTEM_FOCUSED;
    if (tree.GetChildItem(item))
        state |= tree.GetNativeState(item, TVIS_EXPANDED) ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
    RECT row{}, client{};
    if (tree.GetItemRect(item, row, false) && GetClientRect(window, &client) && !IntersectRect(&row, &row, &client))
        state |= STATE_SYSTEM_OFFSCREEN;
    return state;
}

// IAccessible's type information, as oleacc's library describes it (Windows' and Wine's both do):
// the interface part of the dual interface, through which DispInvoke calls this object's methods.
ComPtr<ITypeInfo> AccessibleTypeInfo()
{
    static const ComPtr<ITypeInfo> info = platform::LibraryTypeInfo(L"oleacc.dll", __uuidof(IAccessible));
    return info;
}

} // namespace

MultiTreeAccessible::MultiTreeAccessible(CMultiTree& tree) : m_tree(&tree)
{
    // Without the proxy the tree still answers for its items; the tree's own parent, name and
    // location are then missing.
    CreateStdAccessibleObject(tree.GetSafeHwnd(), OBJID_CLIENT, __uuidof(IAccessible),
                              reinterpret_cast<void**>(m_standard.Receive()));
}

ComPtr<MultiTreeAccessible> MultiTreeAccessible::Create(CMultiTree& tree) noexcept
{
    return ComPtr<MultiTreeAccessible>::Attach(new (std::nothrow) MultiTreeAccessible(tree));
}

void MultiTreeAccessible::Disconnect() noexcept
{
    m_tree = nullptr;
    m_standard.Reset();
}

STDMETHODIMP MultiTreeAccessible::QueryInterface(REFIID iid, void** object)
{
    if (iid == __uuidof(IEnumVARIANT)) {
        if (!object)
            return E_POINTER;
        *object = static_cast<IEnumVARIANT*>(this);
        AddRef();
        return S_OK;
    }
    IAccessible* self = this;
    return platform::AnswerOwnInterface(iid == IID_IDispatch ? __uuidof(IAccessible) : iid, __uuidof(IAccessible), self,
                                        object);
}

STDMETHODIMP_(ULONG) MultiTreeAccessible::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

template <typename Body>
HRESULT MultiTreeAccessible::Call(Body body)
{
    if (!m_tree)
        return RPC_E_DISCONNECTED;
    const platform::MessageScope scope;
    const HRESULT hr = platform::ResultOf([&] { return body(*m_tree); });
    // A parent may destroy the window while it hears of a change made here.
    return m_tree ? hr : RPC_E_DISCONNECTED;
}

template <typename Body>
HRESULT MultiTreeAccessible::CallOn(const VARIANT& child, Body body)
{
    return Call([&](CMultiTree& tree) -> HRESULT {
        const std::optional<LONG> id = ChildIdIn(child);
        if (!id)
            return E_INVALIDARG;
        if (*id == CHILDID_SELF)
            return body(tree, static_cast<HTREEITEM>(nullptr));
        HTREEITEM item = tree.ChildItem(*id);
        return item ? body(tree, item) : E_INVALIDARG;
    });
}

template <typename Body>
HRESULT MultiTreeAccessible::Standard(Body body) const
{
    return m_standard ? body(*m_standard.Get()) : DISP_E_MEMBERNOTFOUND;
}

template <typename Ask>
HRESULT MultiTreeAccessible::NoItemText(const VARIANT& child, BSTR* text, Ask ask)
{
    if (!text)
        return E_POINTER;
    *text = nullptr;
    return CallOn(child, [&](CMultiTree&, HTREEITEM item) {
        return item ? S_FALSE : Standard([&](IAccessible& proxy) { return ask(proxy, text); });
    });
}

// IDispatch.

STDMETHODIMP MultiTreeAccessible::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = AccessibleTypeInfo() ? 1 : 0;
    return S_OK;
}

STDMETHODIMP MultiTreeAccessible::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (!info)
        return E_POINTER;
    *info = index == 0 ? AccessibleTypeInfo().Detach() : nullptr;
    return *info ? S_OK : DISP_E_BADINDEX;
}

STDMETHODIMP MultiTreeAccessible::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (iid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    const ComPtr<ITypeInfo> info = AccessibleTypeInfo();
    return info ? DispGetIDsOfNames(info.Get(), names, count, ids) : TYPE_E_CANTLOADLIBRARY;
}

STDMETHODIMP MultiTreeAccessible::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                         EXCEPINFO* exception, UINT* argError)
{
    if (iid != IID_NULL)
        return DISP_E_UNKNOWNINTERFACE;
    const ComPtr<ITypeInfo> info = AccessibleTypeInfo();
    return info ? DispInvoke(static_cast<IAccessible*>(this), info.Get(), id, flags, params, result, exception, argError)
                : TYPE_E_CANTLOADLIBRARY;
}

// IAccessible.

STDMETHODIMP MultiTreeAccessible::get_accParent(IDispatch** parent)
{
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    return Call([&](CMultiTree&) { return Standard([&](IAccessible& proxy) { return proxy.get_accParent(parent); }); });
}

STDMETHODIMP MultiTreeAccessible::get_accChildCount(long* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return Call([&](CMultiTree& tree) {
        *count = static_cast<long>(Rows(tree).size());
        return S_OK;
    });
}

STDMETHODIMP MultiTreeAccessible::get_accChild(VARIANT child, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    // An item is a simple element, reached through the tree with its id.
    return CallOn(child, [](CMultiTree&, HTREEITEM item) { return item ? S_FALSE : E_INVALIDARG; });
}

STDMETHODIMP MultiTreeAccessible::get_accName(VARIANT child, BSTR* name)
{
    if (!name)
        return E_POINTER;
    *name = nullptr;
    return CallOn(child, [&](CMultiTree& tree, HTREEITEM item) {
        return item ? GiveText(tree.GetItemText(item), name)
                    : Standard([&](IAccessible& proxy) { return proxy.get_accName(child, name); });
    });
}

STDMETHODIMP MultiTreeAccessible::get_accValue(VARIANT child, BSTR* value)
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    // An item's value is its depth: 0 for a top item.
    return CallOn(child, [&](CMultiTree& tree, HTREEITEM item) {
        if (!item)
            return S_FALSE;
        int depth = 0;
        for (HTREEITEM parent = tree.GetParentItem(item); parent; parent = tree.GetParentItem(parent))
            ++depth;
        return GiveText(std::to_wstring(depth), value);
    });
}

STDMETHODIMP MultiTreeAccessible::get_accDescription(VARIANT child, BSTR* description)
{
    return NoItemText(child, description, [&](IAccessible& proxy, BSTR* out) { return proxy.get_accDescription(child, out); });
}

STDMETHODIMP MultiTreeAccessible::get_accHelp(VARIANT child, BSTR* help)
{
    return NoItemText(child, help, [&](IAccessible& proxy, BSTR* out) { return proxy.get_accHelp(child, out); });
}

STDMETHODIMP MultiTreeAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut)
{
    return NoItemText(child, shortcut,
                      [&](IAccessible& proxy, BSTR* out) { return proxy.get_accKeyboardShortcut(child, out); });
}

STDMETHODIMP MultiTreeAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic)
{
    if (!topic)
        return E_POINTER;
    *topic = 0;
    return NoItemText(child, file, [&](IAccessible& proxy, BSTR* out) { return proxy.get_accHelpTopic(out, child, topic); });
}

STDMETHODIMP MultiTreeAccessible::get_accRole(VARIANT child, VARIANT* role)
{
    if (!role)
        return E_POINTER;
    VariantInit(role);
    return CallOn(child, [&](CMultiTree&, HTREEITEM item) {
        *role = ScopedVariant(item ? ROLE_SYSTEM_OUTLINEITEM : ROLE_SYSTEM_OUTLINE).Release();
        return S_OK;
    });
}

STDMETHODIMP MultiTreeAccessible::get_accState(VARIANT child, VARIANT* state)
{
    if (!state)
        return E_POINTER;
    VariantInit(state);
    return CallOn(child, [&](CMultiTree& tree, HTREEITEM item) {
        if (item) {
            *state = ScopedVariant(ItemState(tree, item)).Release();
            return S_OK;
        }
        // The window's own states (focusable, focused, unavailable, ...) as the proxy gives them.
        ScopedVariant window;
        if (FAILED(Standard([&](IAccessible& proxy) { return proxy.get_accState(child, window.Receive()); })))
            window = ScopedVariant(STATE_SYSTEM_FOCUSABLE);
        const long own = tree.GetMultiSelect() ? STATE_SYSTEM_MULTISELECTABLE | STATE_SYSTEM_EXTSELECTABLE : 0;
        *state = ScopedVariant(window.ToLong().value_or(0) | own).Release();
        return S_OK;
    });
}

STDMETHODIMP MultiTreeAccessible::get_accFocus(VARIANT* child)
{
    if (!child)
        return E_POINTER;
    VariantInit(child);
    // The caret while the tree has the keyboard focus; the tree itself when it has no caret.
    return Call([&](CMultiTree& tree) {
        if (GetFocus() != tree.GetSafeHwnd())
            return S_FALSE;
        HTREEITEM caret = tree.GetCaretItem();
        *child = ScopedVariant(caret ? tree.ChildIdOf(caret) : CHILDID_SELF).Release();
        return S_OK;
    });
}

STDMETHODIMP MultiTreeAccessible::get_accSelection(VARIANT* children)
{
    if (!children)
        return E_POINTER;
    VariantInit(children);
    // The selected visible items: none, one id, or an enumeration of ids in the tree's order.
    return Call([&](CMultiTree& tree) -> HRESULT {
        std::vector<HTREEITEM> selected;
        tree.CollectSelected(selected);
        if (selected.size() < 2)
            return GiveChild(tree, selected.empty() ? nullptr : selected.front(), children);
        auto ids = std::make_shared<std::vector<ScopedVariant>>();
        for (HTREEITEM item : selected)
            ids->emplace_back(tree.ChildIdOf(item));
        const ComPtr<IEnumVARIANT> enumerator = platform::VariantEnumerator::Create(std::move(ids));
        if (!enumerator)
            return E_OUTOFMEMORY;
        *children = ScopedVariant(static_cast<IUnknown*>(enumerator.Get())).Release();
        return S_OK;
    });
}

STDMETHODIMP MultiTreeAccessible::get_accDefaultAction(VARIANT child, BSTR* action)
{
    if (!action)
        return E_POINTER;
    *action = nullptr;
    return CallOn(child, [&](CMultiTree& tree, HTREEITEM item) {
        if (!item)
            return Standard([&](IAccessible& proxy) { return proxy.get_accDefaultAction(child, action); });
        if (!tree.GetChildItem(item))
            return S_FALSE;
        return GiveText(tree.GetNativeState(item, TVIS_EXPANDED) ? L"Collapse" : L"Expand", action);
    });
}

STDMETHODIMP MultiTreeAccessible::accSelect(long flags, VARIANT child)
{
    if (!ValidSelectFlags(flags))
        return E_INVALIDARG;
    return CallOn(child, [&](CMultiTree& tree, HTREEITEM item) {
        if (item) {
            tree.SelectByFlags(item, flags);
            return S_OK;
        }
        // The tree itself can only take the focus.
        if (flags & ~SELFLAG_TAKEFOCUS)
            return E_INVALIDARG;
        if (flags)
            SetFocus(tree.GetSafeHwnd());
        return S_OK;
    });
}

STDMETHODIMP MultiTreeAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child)
{
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    // An item's label, in screen coordinates.
    return CallOn(child, [&](CMultiTree& tree, HTREEITEM item) {
        if (!item)
            return Standard([&](IAccessible& proxy) { return proxy.accLocation(left, top, width, height, child); });
        RECT label{};
        if (!tree.GetItemRect(item, label, true))
            return E_FAIL;
        MapWindowPoints(tree.GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&label), 2);
        *left = label.left, *top = label.top, *width = label.right - label.left, *height = label.bottom - label.top;
        return S_OK;
    });
}

STDMETHODIMP MultiTreeAccessible::accNavigate(long direction, VARIANT start, VARIANT* end)
{
    if (!end)
        return E_POINTER;
    VariantInit(end);
    if (direction < NAVDIR_UP || direction > NAVDIR_LASTCHILD)
        return E_INVALIDARG;
    const bool toChild = direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD;
    // From the tree to its first or last row, else among the windows as the proxy knows them; from
    // a row up or down the rows. A row has no children, nor anything left or right of it.
    return CallOn(start, [&](CMultiTree& tree, HTREEITEM item) -> HRESULT {
        if (!item && !toChild)
            return Standard([&](IAccessible& proxy) { return proxy.accNavigate(direction, start, end); });
        if (item && toChild)
            return E_INVALIDARG;
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
            return GiveChild(tree, tree.GetRootItem(), end);
        case NAVDIR_LASTCHILD:
            return GiveChild(tree, tree.GetNextItem(nullptr, TVGN_LASTVISIBLE), end);
        case NAVDIR_NEXT:
        case NAVDIR_DOWN:
            return GiveChild(tree, tree.GetNextVisibleItem(item), end);
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP:
            return GiveChild(tree, tree.GetPrevVisibleItem(item), end);
        default:
            return S_FALSE;
        }
    });
}

STDMETHODIMP MultiTreeAccessible::accHitTest(long x, long y, VARIANT* child)
{
    if (!child)
        return E_POINTER;
    VariantInit(child);
    // A row's item anywhere on its row, the tree elsewhere in its client area, nothing outside it.
    return Call([&](CMultiTree& tree) {
        const HWND window = tree.GetSafeHwnd();
        POINT point{x, y};
        RECT client{};
        if (!ScreenToClient(window, &point) || !GetClientRect(window, &client) || !PtInRect(&client, point))
            return S_FALSE;
        UINT flags = 0;
        HTREEITEM item = tree.HitTest(point, flags);
        if (item && (flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON | TVHT_ONITEMRIGHT)))
            return GiveChild(tree, item, child);
        *child = ScopedVariant(CHILDID_SELF).Release();
        return S_OK;
    });
}

STDMETHODIMP MultiTreeAccessible::accDoDefaultAction(VARIANT child)
{
    // An item with children expands or collapses.
    return CallOn(child, [&](CMultiTree& tree, HTREEITEM item) {
        if (!item)
            return Standard([&](IAccessible& proxy) { return proxy.accDoDefaultAction(child); });
        if (!tree.GetChildItem(item))
            return DISP_E_MEMBERNOTFOUND;
        tree.Expand(item, TVE_TOGGLE);
        return S_OK;
    });
}

// IEnumVARIANT.

STDMETHODIMP MultiTreeAccessible::Next(ULONG count, VARIANT* values, ULONG* fetched)
{
    if (!values || (!fetched && count != 1))
        return E_POINTER;
    if (fetched)
        *fetched = 0;
    return Call([&](CMultiTree& tree) {
        const std::vector<HTREEITEM> rows = Rows(tree);
        ULONG given = 0;
        for (; given < count && m_position < rows.size(); ++given)
            values[given] = ScopedVariant(tree.ChildIdOf(rows[m_position++])).Release();
        if (fetched)
            *fetched = given;
        return given == count ? S_OK : S_FALSE;
    });
}

STDMETHODIMP MultiTreeAccessible::Skip(ULONG count)
{
    return Call([&](CMultiTree& tree) {
        const ULONG rows = static_cast<ULONG>(Rows(tree).size());
        const bool all = m_position <= rows && count <= rows - m_position;
        m_position = all ? m_position + count : rows;
        return all ? S_OK : S_FALSE;
    });
}

STDMETHODIMP MultiTreeAccessible::Reset()
{
    return Call([&](CMultiTree&) {
        m_position = 0;
        return S_OK;
    });
}

STDMETHODIMP MultiTreeAccessible::Clone(IEnumVARIANT** copy)
{
    if (!copy)
        return E_POINTER;
    *copy = nullptr;
    // The children left to enumerate, as they are now.
    return Call([&](CMultiTree& tree) {
        const std::vector<HTREEITEM> rows = Rows(tree);
        auto ids = std::make_shared<std::vector<ScopedVariant>>();
        for (size_t i = m_position; i < rows.size(); ++i)
            ids->emplace_back(tree.ChildIdOf(rows[i]));
        *copy = platform::VariantEnumerator::Create(std::move(ids)).Detach();
        return *copy ? S_OK : E_OUTOFMEMORY;
    });
}
