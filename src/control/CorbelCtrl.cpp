#include "control/CorbelCtrl.h"

#include <windowsx.h>

#include "RUVObjectModel.h"
#include "control/SelectedItems.h"
#include "platform/com/ComError.h"

using platform::ComPtr;
using platform::QueryOrNull;

namespace {

ComPtr<IDispatch> DispatchOf(IUnknown* entity) { return QueryOrNull<IDispatch>(entity); }

} // namespace

// Turns SelectionChanged off while a programmatic change runs; the registry still follows.
class CCorbelCtrl::SuppressSelectionEvents {
public:
    explicit SuppressSelectionEvents(CCorbelCtrl& control)
        : m_control(control), m_previous(control.m_bFireSelectionEvents)
    {
        control.m_bFireSelectionEvents = FALSE;
    }
    ~SuppressSelectionEvents() { m_control.m_bFireSelectionEvents = m_previous; }
    SuppressSelectionEvents(const SuppressSelectionEvents&) = delete;
    SuppressSelectionEvents& operator=(const SuppressSelectionEvents&) = delete;

private:
    CCorbelCtrl& m_control;
    BOOL m_previous;
};

CCorbelCtrl::CCorbelCtrl(IUnknown* outer, CTreeContents::DisplayFactory factory)
    : OleControl(outer, ClassIdentity()), m_contents(std::make_unique<CTreeContents>(&m_tree, std::move(factory)))
{
}

// The window goes first, while the tree, the displays and the registry its handlers use exist.
CCorbelCtrl::~CCorbelCtrl() { DestroyControlWindow(); }

bool CCorbelCtrl::CreateTree(HWND control, const RECT& rect)
{
    m_hWndControl = control;
    return m_tree.Create(kTreeStyle, rect, control, kTreeId);
}

HRESULT CCorbelCtrl::AddRUVFile(IDispatch* file)
{
    ComPtr<IRUVFile> typed = QueryOrNull<IRUVFile>(file);
    if (!typed)
        return E_INVALIDARG;
    m_contents->AddFile(typed.Get());
    return S_OK;
}

void CCorbelCtrl::RemoveRUVFile(IDispatch* file)
{
    // The list keys its displays by the file's IRUVFile pointer.
    if (ComPtr<IRUVFile> typed = QueryOrNull<IRUVFile>(file))
        m_contents->RemoveFile(typed.Get());
}

void CCorbelCtrl::Update(IDispatch* object)
{
    ComPtr<IUnknown> entity = QueryOrNull<IUnknown>(object);
    m_contents->Update(entity.Get());
}

std::vector<HTREEITEM> CCorbelCtrl::ItemsOf(IDispatch* object)
{
    ComPtr<IUnknown> entity = QueryOrNull<IUnknown>(object);
    return entity ? m_contents->GetItems(entity.Get()) : std::vector<HTREEITEM>();
}

std::vector<HTREEITEM> CCorbelCtrl::TopItemsOf(IDispatch* object)
{
    std::vector<HTREEITEM> top;
    for (HTREEITEM item : ItemsOf(object)) {
        if (m_contents->IsTopItem(item))
            top.push_back(item);
    }
    return top;
}

HTREEITEM CCorbelCtrl::MarkTopItems(IDispatch* object, UINT state, UINT mask)
{
    // Collected before the first change: selecting may run a host's handler that rebuilds the tree,
    // so every item is checked to be still known before it is touched.
    HTREEITEM last = nullptr;
    for (HTREEITEM item : TopItemsOf(object)) {
        if (!m_contents->GetEntity(item))
            continue;
        m_tree.SetItemState(item, state, mask, FALSE);
        m_tree.ExpandAncestors(item);
        last = item;
    }
    return last;
}

void CCorbelCtrl::ClearSelection()
{
    SuppressSelectionEvents quiet(*this);
    m_tree.SetAllSelected(FALSE);
}

void CCorbelCtrl::SetSelection(IDispatch* object)
{
    SuppressSelectionEvents quiet(*this);
    m_tree.SetAllSelected(FALSE);
    m_tree.SetCaretItem(MarkTopItems(object, TVIS_SELECTED, TVIS_SELECTED));
}

void CCorbelCtrl::AddToSelection(IDispatch* object)
{
    SuppressSelectionEvents quiet(*this);
    MarkTopItems(object, TVIS_SELECTED, TVIS_SELECTED);
}

void CCorbelCtrl::RemoveFromSelection(IDispatch* object)
{
    SuppressSelectionEvents quiet(*this);
    for (HTREEITEM item : ItemsOf(object)) {
        if (m_contents->GetEntity(item))
            m_tree.SetItemState(item, 0, TVIS_SELECTED, FALSE);
    }
}

HRESULT CCorbelCtrl::GetSelectedItem(long index, IDispatch** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (index < 0 || index >= m_selection.GetEntityCount())
        return DISP_E_BADINDEX;
    ComPtr<IDispatch> dispatch = DispatchOf(m_selection.GetEntityAt(static_cast<int>(index)).Get());
    if (!dispatch)
        return E_POINTER;
    *object = dispatch.Detach();
    return S_OK;
}

HRESULT CCorbelCtrl::GetSelectedItems(IDispatch** items)
{
    if (!items)
        return E_POINTER;
    *items = nullptr;
    std::vector<platform::ScopedVariant> objects;
    for (long i = 0; i < GetSelectedItemCount(); ++i) {
        ComPtr<IDispatch> object;
        if (const HRESULT hr = GetSelectedItem(i, object.Receive()); FAILED(hr))
            return hr;
        objects.emplace_back(object.Get());
    }
    *items = MakeSelectedItems(std::move(objects), ClassIdentity().errorSource).Detach();
    return S_OK;
}

void CCorbelCtrl::MarkBold(IDispatch* object, bool bold)
{
    m_tree.SetCaretItem(MarkTopItems(object, bold ? TVIS_BOLD : 0, TVIS_BOLD));
}

void CCorbelCtrl::ShowBrokenItems()
{
    // The broken items of the files that answered are shown even when one file failed; its
    // failure is reported after.
    CCorbEntities broken;
    const std::exception_ptr failure = FailureOf([&] { m_contents->GetBrokenItems(broken); });
    for (HTREEITEM item : broken.GetAllItems())
        m_tree.EnsureVisible(item);
    if (failure)
        std::rethrow_exception(failure);
}

void CCorbelCtrl::RefreshedSettingChanged(DISPID id)
{
    // The setting has changed whatever a file's rebuild says: the notices go out before a failure.
    const std::exception_ptr failure = FailureOf([this] { UpdateAll(); });
    SetModifiedFlag();
    BoundPropertyChanged(id);
    if (failure)
        std::rethrow_exception(failure);
}

short CCorbelCtrl::GetComponentText() { return Settings().GetComponentText() == eCTFlyText ? eCTFlyText : eCTComponentType; }

void CCorbelCtrl::SetComponentText(short value)
{
    // Values other than the two choices leave the setting; the refresh and notices still happen.
    Settings().SetComponentText(value);
    RefreshedSettingChanged(dispidComponentText);
}

void CCorbelCtrl::SetShowSpools(BOOL value)
{
    Settings().SetShowSpools(value);
    BoundPropertyChanged(dispidShowSpools);
    SetModifiedFlag();
}

void CCorbelCtrl::SetWorkingUnits(const std::wstring& key, long units)
{
    Settings().SetWorkingUnits(key, static_cast<int>(units));
    SetModifiedFlag();
}

void CCorbelCtrl::SetAttributeWorkingUnits(const std::wstring& name, const std::wstring& key)
{
    Settings().SetAttributeWorkingUnits(name, key);
    SetModifiedFlag();
}

void CCorbelCtrl::SetDisplayNames(const std::wstring& key, const std::wstring& caption)
{
    Settings().SetDisplayName(key, caption);
    SetModifiedFlag();
}

bool CCorbelCtrl::OnNotify(const NMHDR& header, LRESULT& result)
{
    if (header.idFrom != kTreeId || header.hwndFrom != m_tree.GetSafeHwnd())
        return false;
    switch (header.code) {
    case TVN_SELCHANGEDW:
        OnTreeSelectionChanged(reinterpret_cast<const NMTREEVIEWW&>(header));
        result = 0;
        return true;
    case NM_DBLCLK:
    case NM_RCLICK:
        OnTreeMouseEvent(header.code);
        result = 0;
        return true;
    case TVN_KEYDOWN:
        result = 0;
        return OnTreeKeyDown(reinterpret_cast<const NMTVKEYDOWN&>(header));
    default:
        return false;
    }
}

void CCorbelCtrl::OnTreeSelectionChanged(const NMTREEVIEWW& nm)
{
    // The native control's own notifications describe its caret, not our selection.
    if (!m_tree.IsSendingNotify())
        return;
    ComPtr<IDispatch> selected;
    ComPtr<IDispatch> unselected;
    if (HTREEITEM item = nm.itemNew.hItem) {
        IUnknown* entity = m_contents->GetEntity(item);
        if (!m_selection.ContainsEntity(entity))
            selected = DispatchOf(entity);
        m_selection.Add(entity, item, m_tree.GetParentItem(item), static_cast<DWORD_PTR>(nm.itemNew.lParam));
    }
    if (HTREEITEM item = nm.itemOld.hItem) {
        CCorbEntities::EntityPtr entity = m_selection.GetEntity(item);
        m_selection.Remove(item);
        if (!m_selection.ContainsEntity(entity.Get()))
            unselected = DispatchOf(entity.Get());
    }
    if (m_bFireSelectionEvents)
        FireSelectionChanged(unselected.Get(), selected.Get());
}

ComPtr<IDispatch> CCorbelCtrl::EntityDispatch(HTREEITEM item)
{
    return item ? DispatchOf(m_contents->GetEntity(item)) : ComPtr<IDispatch>();
}

void CCorbelCtrl::OnTreeMouseEvent(UINT code)
{
    const DWORD position = GetMessagePos();
    const POINT screen{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    POINT inControl = screen;
    ScreenToClient(m_hWndControl, &inControl);
    POINT inTree = screen;
    ScreenToClient(m_tree.GetSafeHwnd(), &inTree);
    UINT flags = 0;
    HTREEITEM item = m_tree.HitTest(inTree, flags);
    constexpr UINT kOnItem = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMINDENT | TVHT_ONITEMSTATEICON;
    ComPtr<IDispatch> object = EntityDispatch((flags & kOnItem) ? item : nullptr);
    if (code == NM_DBLCLK)
        FireLButtonDblClick(inControl.x, inControl.y, object.Get());
    else
        FirePopupMenu(inControl.x, inControl.y, object.Get());
}

bool CCorbelCtrl::OnTreeKeyDown(const NMTVKEYDOWN& key)
{
    const bool shiftF10 = key.wVKey == VK_F10 && GetKeyState(VK_SHIFT) < 0;
    m_menuKeyPressed = shiftF10 || key.wVKey == VK_APPS ? key.wVKey : 0;
    if (!m_menuKeyPressed)
        return false;
    FireKeyboardPopup();
    return true;
}

bool CCorbelCtrl::OnContextMenu(std::optional<POINT> at)
{
    const bool repeatsKey = m_menuKeyPressed == VK_APPS || (m_menuKeyPressed == VK_F10 && GetKeyState(VK_F10) < 0);
    m_menuKeyPressed = 0;
    if (!at && !repeatsKey)
        FireKeyboardPopup();
    return true;
}

void CCorbelCtrl::FireKeyboardPopup()
{
    HTREEITEM caret = m_tree.GetCaretItem();
    RECT rect{};
    if (!caret || !m_tree.GetItemRect(caret, rect, true))
        GetClientRect(m_tree.GetSafeHwnd(), &rect);
    POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(m_tree.GetSafeHwnd(), &point);
    ScreenToClient(m_hWndControl, &point);
    ComPtr<IDispatch> object = EntityDispatch(caret);
    FirePopupMenu(point.x, point.y, object.Get());
}

void CCorbelCtrl::OnDropFiles(HDROP drop)
{
    // Released however the host's handlers end.
    struct Release {
        HDROP drop;
        ~Release() { DragFinish(drop); }
    } release{drop};
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
        const UINT length = DragQueryFileW(drop, index, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        path.resize(DragQueryFileW(drop, index, path.data(), length + 1));
        FireDropFile(path);
    }
}

bool CCorbelCtrl::ForwardNavigationKey(const MSG& message)
{
    if ((message.message != WM_KEYDOWN && message.message != WM_KEYUP) || message.wParam < VK_END ||
        message.wParam > VK_DOWN)
        return false;
    m_tree.Send(message.message, message.wParam, message.lParam);
    return true;
}
