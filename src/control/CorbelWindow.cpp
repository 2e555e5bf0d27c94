// The control window's side of the control: its children (image list, tree, font) at the DPI of
// the window, its layout and focus, the About box, and the events it fires to the host.
#include "control/CorbelCtrl.h"
#include "control/CorbelDispatch.h"
#include "control/CorbelIdentity.h"
#include "platform/com/Module.h"
#include "platform/window/Dpi.h"

namespace {

constexpr COLORREF kImageMask = RGB(255, 0, 255);

// The item image strips, smallest first: the pictures' size in pixels and the bitmap.
struct ImageStrip {
    int size;
    int bitmap;
};
constexpr ImageStrip kImageStrips[] = {
    {16, IDB_ITEM_IMAGES}, {20, IDB_ITEM_IMAGES_20}, {24, IDB_ITEM_IMAGES_24}, {32, IDB_ITEM_IMAGES_32}};

// The strip of the largest pictures that are no larger than what 16 pixels at 96 DPI become at
// dpi: pictures drawn for their size, a little small at times, rather than stretched and blurred.
ImageStrip StripFor(UINT dpi)
{
    ImageStrip picked = kImageStrips[0];
    for (const ImageStrip& strip : kImageStrips) {
        if (static_cast<UINT>(strip.size) * platform::kDefaultDpi <= 16 * dpi)
            picked = strip;
    }
    return picked;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

} // namespace

std::vector<platform::DispatchMember> CCorbelCtrl::ControlMembers() { return CorbelMembers(*this); }

bool CCorbelCtrl::CreateImageList()
{
    const ImageStrip strip = StripFor(m_dpi);
    platform::ImageList images(ImageList_Create(strip.size, strip.size, ILC_COLOR32 | ILC_MASK, 0, 0));
    platform::GdiObject<HBITMAP> pictures(static_cast<HBITMAP>(
        LoadImageW(platform::ThisModule(), MAKEINTRESOURCEW(strip.bitmap), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!images || !pictures || ImageList_AddMasked(images.Get(), pictures.Get(), kImageMask) < 0)
        return false;
    // The tree lets go of the old list before it is destroyed; its rows take the pictures' height.
    m_tree.SetImageList(images.Get());
    m_imageList = std::move(images);
    return true;
}

bool CCorbelCtrl::OnCreate(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    if (!CreateTree(window, client))
        return false;
    m_dpi = platform::WindowDpi(window);
    CreateImageList(); // a module without the strip still shows the tree, without pictures
    OnFontChanged();
    platform::FollowDpi(window, this, [this](UINT dpi) { OnDpiChanged(dpi); });
    DragAcceptFiles(window, TRUE);
    return true;
}

void CCorbelCtrl::OnDpiChanged(UINT dpi)
{
    if (dpi == m_dpi)
        return;
    m_dpi = dpi;
    CreateImageList();
    OnFontChanged();
}

void CCorbelCtrl::OnSize(int width, int height)
{
    if (m_tree.GetSafeHwnd())
        MoveWindow(m_tree.GetSafeHwnd(), 0, 0, width, height, TRUE);
}

void CCorbelCtrl::OnSetFocus()
{
    if (m_tree.GetSafeHwnd())
        SetFocus(m_tree.GetSafeHwnd());
}

void CCorbelCtrl::OnDestroy()
{
    platform::StopFollowingDpi(GetSafeHwnd(), this);
    m_font.Reset();
}

void CCorbelCtrl::OnFontChanged()
{
    LOGFONTW description{};
    HFONT stock = FontHandle();
    if (!stock || !GetObjectW(stock, sizeof(description), &description))
        return;
    // The font object realised its point size in pixels at the screen's DPI; the copy is the same
    // size at the window's.
    const platform::ScopedClientDC screen(nullptr);
    if (const int screenDpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 0; screenDpi > 0) {
        description.lfHeight = MulDiv(description.lfHeight, static_cast<int>(m_dpi), screenDpi);
        description.lfWidth = MulDiv(description.lfWidth, static_cast<int>(m_dpi), screenDpi);
    }
    // The tree lets go of the old font before it is deleted.
    HFONT font = CreateFontIndirectW(&description);
    if (m_tree.GetSafeHwnd())
        m_tree.Send(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    m_font.Reset(font);
}

void CCorbelCtrl::OnAboutBox()
{
    DialogBoxParamW(platform::ThisModule(), MAKEINTRESOURCEW(IDD_ABOUT), GetSafeHwnd(), AboutProc, 0);
}

void CCorbelCtrl::FireSelectionChanged(IDispatch* unselected, IDispatch* selected)
{
    FireEvent(dispidEventSelectionChanged, {unselected, selected});
}

void CCorbelCtrl::FireDropFile(const std::wstring& fileName)
{
    FireEvent(dispidEventDropFile, {fileName});
}

void CCorbelCtrl::FirePopupMenu(long x, long y, IDispatch* object)
{
    FireEvent(dispidEventPopupMenu, {x, y, object});
}

void CCorbelCtrl::FireLButtonDblClick(long x, long y, IDispatch* object)
{
    FireEvent(dispidEventLButtonDblClick, {x, y, object});
}
