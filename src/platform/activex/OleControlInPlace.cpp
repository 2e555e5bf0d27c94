// In-place activation: the control window moves into the container's window, becomes the
// container's active object when its user interface is active, takes keys before the container,
// and goes back to the parking window when deactivated.
#include "platform/activex/OleControl.h"

namespace platform {

HRESULT OleControl::InPlaceActivate(bool ui)
{
    if (!m_clientSite)
        return E_UNEXPECTED;
    EnsureInitialized();
    if (!m_inPlaceActive) {
        ComPtr<IOleInPlaceSite> site = QueryOrNull<IOleInPlaceSite>(m_clientSite.Get());
        if (!site)
            return E_NOINTERFACE;
        if (site->CanInPlaceActivate() != S_OK)
            return E_FAIL;
        HRESULT hr = site->OnInPlaceActivate();
        if (FAILED(hr))
            return hr;
        HWND parent = nullptr;
        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof(frameInfo);
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> uiWindow;
        hr = site->GetWindow(&parent);
        if (SUCCEEDED(hr))
            hr = site->GetWindowContext(frame.Receive(), uiWindow.Receive(), &position, &clip, &frameInfo);
        // A window made for the container that shows it starts as a new control does, active with
        // its user interface, so that a container that only activates in place routes its keys; a
        // window made before (under the parking window) keeps the activation asked for.
        ui = ui || !m_hWnd;
        if (SUCCEEDED(hr) && !EnsureWindow())
            hr = E_OUTOFMEMORY;
        if (FAILED(hr)) {
            site->OnInPlaceDeactivate();
            return hr;
        }
        m_inPlaceSite = std::move(site);
        m_frame = std::move(frame);
        m_uiWindow = std::move(uiWindow);
        m_inPlaceActive = true;
        SetParent(m_hWnd, parent);
        SetWindowPos(m_hWnd, nullptr, position.left, position.top, position.right - position.left,
                     position.bottom - position.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
    if (ui && !m_uiActive) {
        // Set first: the focus change below reaches WM_SETFOCUS, which activates too.
        m_uiActive = true;
        m_inPlaceSite->OnUIActivate();
        if (GetFocus() != m_hWnd && !IsChild(m_hWnd, GetFocus()))
            SetFocus(m_hWnd);
        if (m_frame) {
            m_frame->SetActiveObject(this, nullptr);
            m_frame->SetBorderSpace(nullptr);
        }
        if (m_uiWindow) {
            m_uiWindow->SetActiveObject(this, nullptr);
            m_uiWindow->SetBorderSpace(nullptr);
        }
    }
    return S_OK;
}

STDMETHODIMP OleControl::UIDeactivate()
{
    if (!m_uiActive)
        return S_OK;
    m_uiActive = false;
    if (m_uiWindow)
        m_uiWindow->SetActiveObject(nullptr, nullptr);
    if (m_frame)
        m_frame->SetActiveObject(nullptr, nullptr);
    if (m_inPlaceSite)
        m_inPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP OleControl::InPlaceDeactivate()
{
    if (!m_inPlaceActive)
        return S_OK;
    UIDeactivate();
    m_inPlaceActive = false;
    if (m_hWnd) {
        // The focus leaves with the window, to the container (a hidden window may keep it).
        if (HasFocus())
            SetFocus(GetParent(m_hWnd));
        ShowWindow(m_hWnd, SW_HIDE);
        SetParent(m_hWnd, m_parking ? m_parking->Window() : nullptr);
    }
    ComPtr<IOleInPlaceSite> site = std::move(m_inPlaceSite);
    m_frame.Reset();
    m_uiWindow.Reset();
    site->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP OleControl::GetWindow(HWND* window)
{
    if (!window)
        return E_POINTER;
    *window = m_inPlaceActive ? m_hWnd : nullptr;
    return *window ? S_OK : E_FAIL;
}

STDMETHODIMP OleControl::SetObjectRects(LPCRECT position, LPCRECT)
{
    if (!position)
        return E_POINTER;
    if (m_hWnd)
        SetWindowPos(m_hWnd, nullptr, position->left, position->top, position->right - position->left,
                     position->bottom - position->top, SWP_NOZORDER | SWP_NOACTIVATE);
    return S_OK;
}

STDMETHODIMP OleControl::TranslateAccelerator(LPMSG message)
{
    if (!message)
        return E_INVALIDARG;
    // The control's own keys only for its own windows: a container may offer every message.
    const bool ours = m_hWnd && (message->hwnd == m_hWnd || IsChild(m_hWnd, message->hwnd));
    try {
        if (ours && PreTranslateMessage(*message))
            return S_OK;
    } catch (...) {
        return S_FALSE;
    }
    if (m_controlSite) {
        DWORD modifiers = 0;
        if (GetKeyState(VK_SHIFT) < 0)
            modifiers |= 1; // KEYMOD_SHIFT
        if (GetKeyState(VK_CONTROL) < 0)
            modifiers |= 2; // KEYMOD_CONTROL
        if (GetKeyState(VK_MENU) < 0)
            modifiers |= 4; // KEYMOD_ALT
        if (m_controlSite->TranslateAccelerator(message, modifiers) == S_OK)
            return S_OK;
    }
    return S_FALSE;
}

} // namespace platform
