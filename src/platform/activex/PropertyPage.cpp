#include "platform/activex/PropertyPage.h"

#include <optional>

#include "platform/com/ComError.h"
#include "platform/automation/DispatchDriver.h"
#include "platform/com/Module.h"
#include "platform/window/ParkingWindow.h"
#include "platform/com/ScopedVariant.h"

namespace platform {

namespace {

LPOLESTR TaskString(const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    auto* copy = static_cast<LPOLESTR>(CoTaskMemAlloc(bytes));
    if (copy)
        std::copy(text.c_str(), text.c_str() + text.size() + 1, copy);
    return copy;
}

} // namespace

PropertyPage::PropertyPage(const CLSID& clsid, UINT templateId, UINT captionId)
    : m_clsid(clsid), m_templateId(templateId), m_captionId(captionId)
{
}

PropertyPage::~PropertyPage()
{
    if (m_dialog)
        DestroyWindow(m_dialog);
}

STDMETHODIMP PropertyPage::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IPropertyPage || iid == IID_IPropertyPage2)
        *object = static_cast<IPropertyPage2*>(this);
    else if (iid == IID_IPersist)
        *object = static_cast<IPersist*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) PropertyPage::Release()
{
    const ULONG left = --m_references;
    if (left == 0)
        delete this;
    return left;
}

STDMETHODIMP PropertyPage::GetClassID(CLSID* clsid)
{
    if (!clsid)
        return E_POINTER;
    *clsid = m_clsid;
    return S_OK;
}

STDMETHODIMP PropertyPage::SetPageSite(IPropertyPageSite* site)
{
    m_site = ComPtr<IPropertyPageSite>(site);
    return S_OK;
}

HWND PropertyPage::CreateDialogIn(HWND parent)
{
    return CreateDialogParamW(ThisModule(), MAKEINTRESOURCEW(m_templateId), parent, DialogProc,
                              reinterpret_cast<LPARAM>(this));
}

STDMETHODIMP PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL)
{
    if (!rect)
        return E_POINTER;
    if (m_dialog)
        Deactivate();
    m_dialog = CreateDialogIn(parent);
    if (!m_dialog)
        return HRESULT_FROM_WIN32(GetLastError());
    MoveWindow(m_dialog, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

STDMETHODIMP PropertyPage::Deactivate()
{
    if (m_dialog)
        DestroyWindow(m_dialog);
    m_dialog = nullptr;
    return S_OK;
}

STDMETHODIMP PropertyPage::GetPageInfo(PROPPAGEINFO* info)
{
    if (!info)
        return E_POINTER;
    // The dialog's size in pixels: measured on a hidden copy, as its font decides it.
    ParkingLease parking;
    HWND measured = CreateDialogIn(parking.Window());
    if (!measured)
        return E_FAIL;
    RECT rect{};
    GetWindowRect(measured, &rect);
    DestroyWindow(measured);
    const wchar_t* caption = nullptr;
    const int length = LoadStringW(ThisModule(), m_captionId, reinterpret_cast<wchar_t*>(&caption), 0);
    info->cb = sizeof(PROPPAGEINFO);
    info->pszTitle = TaskString(length > 0 ? std::wstring(caption, static_cast<size_t>(length)) : std::wstring());
    info->size = SIZE{rect.right - rect.left, rect.bottom - rect.top};
    info->pszDocString = nullptr;
    info->pszHelpFile = nullptr;
    info->dwHelpContext = 0;
    return info->pszTitle ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP PropertyPage::SetObjects(ULONG count, IUnknown** objects)
{
    if (count && !objects)
        return E_POINTER;
    std::vector<ComPtr<IDispatch>> dispatches;
    for (ULONG i = 0; i < count; ++i) {
        ComPtr<IDispatch> dispatch;
        if (!objects[i] ||
            FAILED(objects[i]->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.Receive()))))
            return E_NOINTERFACE;
        dispatches.push_back(std::move(dispatch));
    }
    m_objects = std::move(dispatches);
    m_changed.assign(m_bindings.size(), false);
    m_dirty = false;
    ReadProperties();
    if (m_dialog)
        ShowValues(m_dialog);
    return S_OK;
}

STDMETHODIMP PropertyPage::Show(UINT command)
{
    if (!m_dialog)
        return E_UNEXPECTED;
    ShowWindow(m_dialog, command);
    return S_OK;
}

STDMETHODIMP PropertyPage::Move(LPCRECT rect)
{
    if (!rect)
        return E_POINTER;
    if (!m_dialog)
        return E_UNEXPECTED;
    MoveWindow(m_dialog, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
    return S_OK;
}

STDMETHODIMP PropertyPage::Apply()
{
    if (!m_dirty)
        return S_OK;
    for (size_t i = 0; i < m_bindings.size(); ++i) {
        const Binding& binding = m_bindings[i];
        if (!m_changed[i] || *binding.value < 0)
            continue;
        const ScopedVariant value = binding.kind == Binding::Kind::Check ? ScopedVariant(*binding.value != 0)
                                                                          : ScopedVariant(*binding.value);
        for (const ComPtr<IDispatch>& object : m_objects) {
            const DispatchResult written = DispatchDriver(object.Get()).Put(binding.property.c_str(), {value});
            if (FAILED(written.hr))
                return written.hr == DISP_E_EXCEPTION && FAILED(written.scode) ? written.scode : written.hr;
        }
        m_changed[i] = false;
    }
    SetDirty(false);
    return S_OK;
}

STDMETHODIMP PropertyPage::TranslateAccelerator(MSG* message)
{
    if (!message)
        return E_POINTER;
    return m_dialog && IsDialogMessageW(m_dialog, message) ? S_OK : S_FALSE;
}

STDMETHODIMP PropertyPage::EditProperty(DISPID id)
{
    if (!m_dialog || m_objects.empty())
        return E_NOTIMPL;
    for (const Binding& binding : m_bindings) {
        if (DispatchDriver(m_objects.front().Get()).IdOf(binding.property.c_str()) == id) {
            SetFocus(GetDlgItem(m_dialog, static_cast<int>(binding.control)));
            return S_OK;
        }
    }
    return E_NOTIMPL;
}

void PropertyPage::FillLists(HWND dialog)
{
    for (const Binding& binding : m_bindings) {
        for (const std::wstring& item : binding.items)
            SendDlgItemMessageW(dialog, static_cast<int>(binding.control), CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(item.c_str()));
    }
}

void PropertyPage::ReadProperties()
{
    if (m_objects.empty())
        return;
    for (const Binding& binding : m_bindings) {
        const DispatchResult read = DispatchDriver(m_objects.front().Get()).Get(binding.property.c_str());
        const std::optional<long> number = read.value.ToLong();
        if (SUCCEEDED(read.hr) && number)
            *binding.value = binding.kind == Binding::Kind::Check ? (*number != 0 ? 1 : 0) : static_cast<int>(*number);
    }
}

void PropertyPage::ShowValues(HWND dialog)
{
    m_showing = true;
    for (const Binding& binding : m_bindings) {
        const int control = static_cast<int>(binding.control);
        if (binding.kind == Binding::Kind::Check)
            CheckDlgButton(dialog, control, *binding.value ? BST_CHECKED : BST_UNCHECKED);
        else
            SendDlgItemMessageW(dialog, control, CB_SETCURSEL, static_cast<WPARAM>(*binding.value), 0);
    }
    m_showing = false;
}

void PropertyPage::OnControlChanged(UINT control)
{
    for (size_t i = 0; i < m_bindings.size(); ++i) {
        const Binding& binding = m_bindings[i];
        if (binding.control != control)
            continue;
        if (binding.kind == Binding::Kind::Check) {
            *binding.value = IsDlgButtonChecked(m_dialog, static_cast<int>(control)) == BST_CHECKED ? 1 : 0;
        } else {
            const LRESULT selected = SendDlgItemMessageW(m_dialog, static_cast<int>(control), CB_GETCURSEL, 0, 0);
            *binding.value = selected == CB_ERR ? -1 : static_cast<int>(selected);
        }
        if (i < m_changed.size())
            m_changed[i] = true;
        SetDirty(true);
    }
}

void PropertyPage::SetDirty(bool dirty)
{
    m_dirty = dirty;
    if (dirty && m_site)
        m_site->OnStatusChange(PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE);
}

INT_PTR CALLBACK PropertyPage::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        if (message == WM_INITDIALOG) {
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            auto* page = reinterpret_cast<PropertyPage*>(lParam);
            page->FillLists(dialog);
            page->ShowValues(dialog);
            return TRUE;
        }
        auto* page = reinterpret_cast<PropertyPage*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (message == WM_COMMAND && page && dialog == page->m_dialog && !page->m_showing &&
            (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == CBN_SELCHANGE))
            page->OnControlChanged(LOWORD(wParam));
    } catch (...) {
        // No exception may leave a dialog procedure.
    }
    return FALSE;
}

} // namespace platform
