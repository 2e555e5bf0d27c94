// The control window's side of the control: its children (image list, tree, font), its layout and
// focus, the About box, and the events it fires to the host.
#include "control/CorbelCtrl.h"
#include "control/CorbelDispatch.h"
#include "control/CorbelIdentity.h"
#include "platform/com/Module.h"


namespace {

constexpr COLORREF kImageMask = RGB(255, 0, 255);

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
    m_imageList.Reset(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 0));
    platform::GdiObject<HBITMAP> strip(static_cast<HBITMAP>(
        LoadImageW(platform::ThisModule(), MAKEINTRESOURCEW(IDB_ITEM_IMAGES), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!m_imageList.Get() || !strip.Get() || ImageList_AddMasked(m_imageList.Get(), strip.Get(), kImageMask) < 0)
        return false;
    m_tree.SetImageList(m_imageList.Get());
    return true;
}

bool CCorbelCtrl::OnCreate(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    if (!CreateTree(window, client))
        return false;
    CreateImageList(); // a module without the strip still shows the tree, without pictures
    OnFontChanged();
    DragAcceptFiles(window, TRUE);
    return true;
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

void CCorbelCtrl::OnDestroy() { m_font.Reset(); }

void CCorbelCtrl::OnFontChanged()
{
    LOGFONTW description{};
    HFONT stock = FontHandle();
    if (!stock || !GetObjectW(stock, sizeof(description), &description))
        return;
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
