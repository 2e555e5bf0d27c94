// The base of a property page: a child dialog from the module's resources, shown in a property
// frame's window through IPropertyPage2, whose controls are bound to properties of the objects by
// name. Activation reads the properties of the first object into the controls; a change marks the
// page dirty; Apply writes each changed property to every object through its automation
// interface, so that the objects' own setters (with their refreshes and notices) run.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/com/ModuleUsage.h"

namespace platform {

class PropertyPage : public IPropertyPage2, public IPersist {
public:
    // A control of the page bound to a property: a check box (0 or 1) or a drop-down list whose
    // item index is the value.
    struct Binding {
        enum class Kind { Check, ListIndex };
        UINT control;
        Kind kind;
        std::wstring property;
        int* value;                     // the page's member that holds the control's value
        std::vector<std::wstring> items; // a list's contents, in order
    };

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override;
    // IPersist: the page's class.
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    // IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT command) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override { return m_dirty ? S_OK : S_FALSE; }
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG* message) override;
    // IPropertyPage2: puts the focus on the control of a property.
    STDMETHODIMP EditProperty(DISPID id) override;

    HWND Window() const { return m_dialog; }

protected:
    PropertyPage(const CLSID& clsid, UINT templateId, UINT captionId);
    virtual ~PropertyPage();
    PropertyPage(const PropertyPage&) = delete;
    PropertyPage& operator=(const PropertyPage&) = delete;

    // Called once by the derived page's constructor, with bindings to its own members.
    void Bind(std::vector<Binding> bindings) { m_bindings = std::move(bindings); }

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateDialogIn(HWND parent);
    void FillLists(HWND dialog);
    // Properties of the first object into the members.
    void ReadProperties();
    void ShowValues(HWND dialog);
    void OnControlChanged(UINT control);
    void SetDirty(bool dirty);

    ModuleObject m_moduleObject;
    std::atomic<ULONG> m_references{1};
    CLSID m_clsid;
    UINT m_templateId;
    UINT m_captionId;
    std::vector<Binding> m_bindings;
    std::vector<bool> m_changed;
    std::vector<ComPtr<IDispatch>> m_objects;
    ComPtr<IPropertyPageSite> m_site;
    HWND m_dialog = nullptr;
    bool m_dirty = false;
    bool m_showing = false; // controls are being set from the properties, not by the user
};

} // namespace platform
