// The control window: created on demand under the parking window, its messages handed to the
// control's hooks with no exception leaving them, its border from the stock properties, the focus
// reported to the control site, and the view interface, which draws the control's look into any
// device context (a printer's, a metafile's, a bitmap's).
#include "platform/activex/OleControl.h"

#include <windowsx.h>

#include <algorithm>

#include "platform/window/Gdi.h"
#include "platform/window/MessageScope.h"
#include "platform/com/Module.h"

namespace platform {

namespace {

// HIMETRIC (hundredths of a millimetre) to pixels at the screen's resolution.
int ToPixels(LONG himetric, int dotsPerInch) { return MulDiv(himetric, dotsPerInch, 2540); }

SIZE ExtentInPixels(const SIZEL& extent)
{
    const ScopedClientDC screen(nullptr);
    return SIZE{ToPixels(extent.cx, GetDeviceCaps(screen.Get(), LOGPIXELSX)),
                ToPixels(extent.cy, GetDeviceCaps(screen.Get(), LOGPIXELSY))};
}

// The aspects drawn as the control's content: printing and thumbnails show what the screen shows.
bool IsDrawnAspect(DWORD aspect)
{
    return aspect == DVASPECT_CONTENT || aspect == DVASPECT_DOCPRINT || aspect == DVASPECT_THUMBNAIL;
}

// An object selected into a device context for a scope; the previous one is selected again after.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~ScopedSelection() { SelectObject(m_dc, m_previous); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

} // namespace

HWND OleControl::EnsureWindow()
{
    if (m_hWnd || m_destroying)
        return m_hWnd;
    if (!m_parking)
        m_parking.emplace();
    const HINSTANCE module = ThisModule();
    WNDCLASSW wc{};
    if (!::GetClassInfoW(module, m_identity.windowClass.c_str(), &wc)) {
        wc = WNDCLASSW{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = WindowObject::Procedure;
        wc.hInstance = module;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = m_identity.windowClass.c_str();
        if (!RegisterClassW(&wc))
            return nullptr;
    }
    const SIZE size = ExtentInPixels(m_extent);
    // WM_CREATE runs OnCreate, which sets m_hWnd's children up; m_hWnd is set at WM_NCCREATE.
    CreateWindowExW(0, m_identity.windowClass.c_str(), L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                    size.cx, size.cy, m_parking->Window(), nullptr, module, static_cast<WindowObject*>(this));
    if (m_hWnd) {
        ApplyWindowStyles();
        EnableWindow(m_hWnd, m_enabled);
    }
    return m_hWnd;
}

void OleControl::DestroyControlWindow()
{
    if (!m_hWnd)
        return;
    m_destroying = true;
    DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
}

void OleControl::ApplyWindowStyles()
{
    if (!m_hWnd)
        return;
    // A fixed single border is a sunken edge in 3D appearance and a line when flat.
    LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_BORDER);
    LONG_PTR exStyle = GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_CLIENTEDGE);
    if (m_borderStyle == 1) {
        if (m_appearance == 1)
            exStyle |= WS_EX_CLIENTEDGE;
        else
            style |= WS_BORDER;
    }
    SetWindowLongPtrW(m_hWnd, GWL_STYLE, style);
    SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, exStyle);
    SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

LRESULT OleControl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return OnCreate(m_hWnd) ? 0 : -1;
    case WM_SIZE:
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETFOCUS:
        ReportFocus();
        OnSetFocus();
        return 0;
    case WM_KILLFOCUS:
        ReportFocus();
        break;
    case WM_MOUSEACTIVATE:
        InPlaceActivate(true);
        break;
    case WM_CONTEXTMENU: {
        // From the keyboard the position is (-1, -1).
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (OnContextMenu(at.x == -1 && at.y == -1 ? std::nullopt : std::optional<POINT>(at)))
            return 0;
        break;
    }
    case WM_NOTIFY: {
        // Children that want their own notifications first install the reflection on this window.
        // The focus moving between the control's own windows is no news for the container.
        LRESULT result = 0;
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header && (header->code == NM_SETFOCUS || header->code == NM_KILLFOCUS))
            ReportFocus();
        if (header && OnNotify(*header, result))
            return result;
        break;
    }
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_DESTROY:
        m_destroying = true; // nothing the children do while they go reaches the host
        OnDestroy();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        BeginPaint(m_hWnd, &paint);
        EndPaint(m_hWnd, &paint);
        return 0;
    }
    default:
        break;
    }
    return DefaultProc(message, wParam, lParam);
}

bool OleControl::HasFocus() const
{
    HWND focus = GetFocus();
    return m_hWnd && focus && (focus == m_hWnd || IsChild(m_hWnd, focus));
}

void OleControl::ReportFocus()
{
    const bool focused = HasFocus();
    if (focused == m_focusReported || m_destroying)
        return;
    m_focusReported = focused;
    if (m_controlSite)
        m_controlSite->OnFocus(focused);
}

void OleControl::DrawBorder(HDC dc, RECT& rect) const
{
    // As ApplyWindowStyles shapes the window: a sunken edge in 3D appearance, a line when flat.
    if (m_borderStyle != 1)
        return;
    if (m_appearance == 1) {
        DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        return;
    }
    FrameRect(dc, &rect, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&rect, -1, -1);
}

void OleControl::PaintLook(HDC dc, SIZE size)
{
    RECT rect{0, 0, size.cx, size.cy};
    FillRect(dc, &rect, GetSysColorBrush(COLOR_WINDOW));
    DrawBorder(dc, rect);
    if (!m_hWnd)
        return;
    // Each child prints itself where it stands, inside the border, the bottom of the z-order first.
    // A parked window prints as well as a shown one.
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    for (HWND child = ::GetWindow(::GetWindow(m_hWnd, GW_CHILD), GW_HWNDLAST); child;
         child = ::GetWindow(child, GW_HWNDPREV)) {
        RECT place{};
        if (!(GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) || !GetWindowRect(child, &place))
            continue;
        SetViewportOrgEx(dc, place.left - window.left, place.top - window.top, nullptr);
        SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                     PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN);
    }
    RestoreDC(dc, saved);
}

STDMETHODIMP OleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDC, LPCRECTL bounds,
                              LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    if (!IsDrawnAspect(aspect))
        return DV_E_DVASPECT;
    if (!drawDC || !bounds)
        return E_INVALIDARG;
    const LONGLONG width = LONGLONG{bounds->right} - bounds->left, height = LONGLONG{bounds->bottom} - bounds->top;
    if (width <= 0 || height <= 0 || width > MAXLONG || height > MAXLONG)
        return E_INVALIDARG; // empty, inverted, or wider than a device context reaches
    // The look is composed at the control's own size in a bitmap, then scaled into the bounds: one
    // picture for a screen, a printer or a metafile.
    SIZE size = ExtentInPixels(m_extent);
    if (RECT window{}; m_hWnd && GetWindowRect(m_hWnd, &window))
        size = SIZE{window.right - window.left, window.bottom - window.top};
    size = SIZE{std::max(size.cx, 1L), std::max(size.cy, 1L)};
    const ScopedClientDC screen(nullptr);
    const MemoryDC memory(CreateCompatibleDC(screen.Get()));
    BITMAPINFO format{};
    format.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const GdiObject<HBITMAP> image(CreateDIBSection(screen.Get(), &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !image)
        return E_OUTOFMEMORY;
    const ScopedSelection selected(memory.Get(), image.Get());
    PaintLook(memory.Get(), size);
    // Enlarged (a printer) each pixel is repeated, which keeps the text sharp; shrunk (a thumbnail)
    // the pixels are averaged, which keeps it legible.
    const int mode = SetStretchBltMode(drawDC, width < size.cx || height < size.cy ? HALFTONE : COLORONCOLOR);
    POINT brushOrigin{};
    SetBrushOrgEx(drawDC, 0, 0, &brushOrigin);
    const BOOL drawn = StretchBlt(drawDC, bounds->left, bounds->top, static_cast<int>(width), static_cast<int>(height),
                                  memory.Get(), 0, 0, size.cx, size.cy, SRCCOPY);
    SetBrushOrgEx(drawDC, brushOrigin.x, brushOrigin.y, nullptr);
    SetStretchBltMode(drawDC, mode);
    return drawn ? S_OK : E_INVALIDARG; // a handle that is no device context
}

STDMETHODIMP OleControl::GetColorSet(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors)
{
    if (!colors)
        return E_POINTER;
    *colors = nullptr;
    return IsDrawnAspect(aspect) ? S_FALSE : DV_E_DVASPECT;
}

STDMETHODIMP OleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink)
{
    m_viewSink = ComPtr<IAdviseSink>(sink);
    m_viewAspects = aspects;
    m_viewFlags = flags;
    return S_OK;
}

STDMETHODIMP OleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink)
{
    if (aspects)
        *aspects = m_viewAspects;
    if (flags)
        *flags = m_viewFlags;
    if (sink)
        *sink = ComPtr<IAdviseSink>(m_viewSink).Detach();
    return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size)
{
    return GetExtent(aspect, size);
}

} // namespace platform
