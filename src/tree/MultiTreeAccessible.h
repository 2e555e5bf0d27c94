// The multi-selection tree as assistive technology sees it (Active Accessibility): what the tree
// window answers to WM_GETOBJECT for its client area. The tree is an outline whose children are
// its visible items in display order, each a simple element (no object of its own) known by a
// child id that stays the item's for its life; docs/accessibility.md lists what each member says.
//
// The object may outlive the window: once the window goes, every call answers RPC_E_DISCONNECTED
// and touches nothing. It keeps the module loaded while it lives. The tree itself is answered
// partly by the system's own proxy for a window's client area (parent, name, location, ...), as
// the tree's children and selection are ours.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <atomic>

#include "platform/com/ComPtr.h"
#include "platform/com/ModuleUsage.h"

class CMultiTree;

class MultiTreeAccessible final : public IAccessible, public IEnumVARIANT {
public:
    // Null when memory runs out.
    static platform::ComPtr<MultiTreeAccessible> Create(CMultiTree& tree) noexcept;
    void Disconnect() noexcept;

    // IUnknown: one identity; IEnumVARIANT lists the children's ids, as AccessibleChildren reads them.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch, through the type information of IAccessible in oleacc's own type library.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // IAccessible.
    STDMETHODIMP get_accParent(IDispatch** parent) override;
    STDMETHODIMP get_accChildCount(long* count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override;
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* child) override;
    STDMETHODIMP get_accSelection(VARIANT* children) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
    STDMETHODIMP accSelect(long flags, VARIANT child) override;
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }
    STDMETHODIMP put_accValue(VARIANT, BSTR) override { return DISP_E_MEMBERNOTFOUND; }

    // IEnumVARIANT over the children, from a position of this object's own.
    STDMETHODIMP Next(ULONG count, VARIANT* values, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumVARIANT** copy) override;

private:
    explicit MultiTreeAccessible(CMultiTree& tree);
    ~MultiTreeAccessible() = default;
    MultiTreeAccessible(const MultiTreeAccessible&) = delete;
    MultiTreeAccessible& operator=(const MultiTreeAccessible&) = delete;

    // Runs body(tree) for a client's call: nothing once the window is gone, no exception out, and
    // an object of ours released meanwhile goes only after the call.
    template <typename Body>
    HRESULT Call(Body body);
    // Runs body(tree, item) for the visible item that child names, or with a null item for the
    // tree itself; any other child is E_INVALIDARG.
    template <typename Body>
    HRESULT CallOn(const VARIANT& child, Body body);
    // What the system's proxy answers for the tree itself.
    template <typename Body>
    HRESULT Standard(Body body) const;
    // A text property that items do not have: ask(proxy) answers it for the tree.
    template <typename Ask>
    HRESULT NoItemText(const VARIANT& child, BSTR* text, Ask ask);

    std::atomic<ULONG> m_references{1};
    CMultiTree* m_tree; // null once the window is gone
    platform::ComPtr<IAccessible> m_standard;
    ULONG m_position = 0; // of the enumeration of the children
    platform::ModuleObject m_moduleObject;
};
