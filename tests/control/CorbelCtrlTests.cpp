// The control's logic under a real tree: selection events per entity, programmatic selection,
// bold marking, files, settings properties and hosts that call back from inside an event.
#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <iterator>

#include "../ruv/ModelTreeTest.h"
#include "control/CorbelCtrl.h"
#include "platform/ComError.h"

using platform::ComPtr;

namespace {

// The control's logic with its shell hooks recorded.
class RecordingControl : public CCorbelCtrl {
public:
    using CCorbelCtrl::CCorbelCtrl;

    struct Event {
        ComPtr<IDispatch> unselected;
        ComPtr<IDispatch> selected;
    };
    std::vector<Event> events;
    int modified = 0;
    std::vector<DISPID> boundChanges;
    std::function<void()> onSelectionChanged;
    struct Pointed {
        bool popup;
        POINT point;
        ComPtr<IDispatch> object;
    };
    std::vector<Pointed> pointed;
    std::vector<std::wstring> drops;

protected:
    void FireSelectionChanged(IDispatch* unselected, IDispatch* selected) override
    {
        events.push_back({ComPtr<IDispatch>(unselected), ComPtr<IDispatch>(selected)});
        if (onSelectionChanged)
            onSelectionChanged();
    }
    void FireDropFile(const std::wstring& fileName) override { drops.push_back(fileName); }
    void FirePopupMenu(long x, long y, IDispatch* object) override
    {
        pointed.push_back({true, {x, y}, ComPtr<IDispatch>(object)});
    }
    void FireLButtonDblClick(long x, long y, IDispatch* object) override
    {
        pointed.push_back({false, {x, y}, ComPtr<IDispatch>(object)});
    }
    void SetModifiedFlag() override { ++modified; }
    void BoundPropertyChanged(DISPID id) override { boundChanges.push_back(id); }
};

// The control window: hands the tree's notifications to the logic.
LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NOTIFY) {
        auto* control = reinterpret_cast<CCorbelCtrl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        LRESULT result = 0;
        if (control && control->OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result))
            return result;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A file's branch: the file, two rows of entity X under it (the first with the file again below
// it), and a row of entity Y.
class TwoRowDisplay : public CFileTreeDisplay {
public:
    TwoRowDisplay(CMultiTree* tree, CTreeContentSettings* settings, IUnknown* file, IUnknown* x, IUnknown* y,
                  int& populated)
        : CFileTreeDisplay(tree, settings), m_file(file), m_x(x), m_y(y), m_populated(populated)
    {
    }
    void Populate(IUnknown*, HTREEITEM hParent) override
    {
        ++m_populated;
        HTREEITEM top = InsertEntityItem(m_file, L"file", hParent, TVI_LAST, 0, 0);
        HTREEITEM x1 = InsertEntityItem(m_x, L"x1", top, TVI_LAST, 0, 1);
        InsertEntityItem(m_file, L"again", x1, TVI_LAST, 0, 0);
        InsertEntityItem(m_x, L"x2", top, TVI_LAST, 0, 2);
        InsertEntityItem(m_y, L"y", top, TVI_LAST, 0, 3);
    }

private:
    IUnknown* m_file;
    IUnknown* m_x;
    IUnknown* m_y;
    int& m_populated;
};

bool Same(IUnknown* a, IUnknown* b)
{
    if (!a || !b)
        return a == b;
    return platform::QueryOrNull<IUnknown>(a).Get() == platform::QueryOrNull<IUnknown>(b).Get();
}

class Control : public ModelTreeTest {
protected:
    void SetUp() override
    {
        ModelTreeTest::SetUp();
        document = Document(R"({"version": 1, "pipelines": [ {"name": "P-1"} ]})", L"plant.json");
        file = FileOf(document);
        file->GetPipelines(x.Receive());
        y = PipelineOf(file, 0);

        WNDCLASSW wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CorbelLogicHost";
        RegisterClassW(&wc);
        host = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED | WS_CLIPCHILDREN, 0, 0, 300, 400, nullptr,
                               nullptr, wc.hInstance, nullptr);
        MakeControl([this](CMultiTree* tree, CTreeContentSettings* settings, ComPtr<IRUVFile> shown) {
            return std::make_shared<TwoRowDisplay>(tree, settings, shown.Get(), x.Get(), y.Get(), populated);
        });
    }
    void ReleaseAll() override
    {
        control.reset();
        if (host)
            DestroyWindow(host);
        x.Reset();
        y.Reset();
        file.Reset();
        document.Reset();
    }

    void MakeControl(CTreeContents::DisplayFactory factory)
    {
        control = std::make_unique<RecordingControl>(std::move(factory));
        SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
        // Offset within the control window, so that tree and control coordinates differ.
        ASSERT_TRUE(control->CreateTree(host, RECT{kTreeLeft, kTreeTop, 280, 360}));
    }
    void AddFile()
    {
        ASSERT_EQ(control->AddRUVFile(file.Get()), S_OK);
        fileRow = Ctl().GetRootItem();
        x1 = Ctl().GetChildItem(fileRow);
        again = Ctl().GetChildItem(x1);
        x2 = Ctl().GetNextSiblingItem(x1);
        yRow = Ctl().GetNextSiblingItem(x2);
    }

    static constexpr long kTreeLeft = 10;
    static constexpr long kTreeTop = 20;

    CMultiTree& Ctl() { return control->Tree(); }
    // The tree sends code as if the mouse had been at point (tree client coordinates).
    void MouseNotification(POINT point, UINT code)
    {
        ClientToScreen(Ctl().GetSafeHwnd(), &point);
        SetCursorPos(point.x, point.y);
        PostMessageW(host, WM_NULL, 0, 0); // GetMessagePos answers where this one was posted
        MSG message;
        while (PeekMessageW(&message, host, WM_NULL, WM_NULL, PM_REMOVE)) {
        }
        NMHDR header{Ctl().GetSafeHwnd(), CCorbelCtrl::kTreeId, code};
        SendMessageW(host, WM_NOTIFY, CCorbelCtrl::kTreeId, reinterpret_cast<LPARAM>(&header));
    }
    POINT LabelCentre(HTREEITEM item)
    {
        RECT rect{};
        EXPECT_TRUE(Ctl().GetItemRect(item, rect, true));
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }
    static POINT InControl(POINT inTree) { return POINT{inTree.x + kTreeLeft, inTree.y + kTreeTop}; }
    static bool At(const RecordingControl::Pointed& event, POINT point)
    {
        return event.point.x == point.x && event.point.y == point.y;
    }
    bool Selected(HTREEITEM item) { return Ctl().GetNativeState(item, TVIS_SELECTED) != 0; }
    bool Bold(HTREEITEM item) { return Ctl().GetNativeState(item, TVIS_BOLD) != 0; }
    bool Expanded(HTREEITEM item) { return Ctl().GetNativeState(item, TVIS_EXPANDED) != 0; }
    void UserSelects(HTREEITEM item, bool select)
    {
        Ctl().SetItemState(item, select ? TVIS_SELECTED : 0, TVIS_SELECTED, FALSE);
    }
    ComPtr<IDispatch> SelectedItem(long index)
    {
        ComPtr<IDispatch> object;
        EXPECT_EQ(control->GetSelectedItem(index, object.Receive()), S_OK);
        return object;
    }

    ComPtr<IRUVDocument> document;
    ComPtr<IRUVFile> file;
    ComPtr<IRUVPipelines> x;
    ComPtr<IRUVPipeline> y;
    HWND host = nullptr;
    int populated = 0;
    std::unique_ptr<RecordingControl> control;
    HTREEITEM fileRow = nullptr, x1 = nullptr, again = nullptr, x2 = nullptr, yRow = nullptr;
};

TEST_F(Control, AnEntityIsSelectedWhileAnyOfItsItemsIs)
{
    AddFile();
    UserSelects(x1, true);
    UserSelects(x2, true);
    EXPECT_EQ(control->GetSelectedItemCount(), 1);
    UserSelects(x1, false);
    UserSelects(x2, false);
    EXPECT_EQ(control->GetSelectedItemCount(), 0);
    ASSERT_EQ(control->events.size(), 4u);
    EXPECT_TRUE(!control->events[0].unselected && Same(control->events[0].selected.Get(), x.Get()));
    EXPECT_TRUE(!control->events[1].unselected && !control->events[1].selected) << "second item of a selected entity";
    EXPECT_TRUE(!control->events[2].unselected && !control->events[2].selected) << "one of two items left";
    EXPECT_TRUE(Same(control->events[3].unselected.Get(), x.Get()) && !control->events[3].selected);
}

TEST_F(Control, ProgrammaticSelectionFollowsTopItemsAndFiresNothing)
{
    AddFile();
    EXPECT_FALSE(Expanded(fileRow));
    control->SetSelection(x.Get());
    EXPECT_TRUE(Selected(x1) && Selected(x2) && !Selected(yRow));
    EXPECT_TRUE(Expanded(fileRow)) << "the collapsed branch is opened";
    EXPECT_EQ(control->GetSelectedItemCount(), 1);
    EXPECT_TRUE(Same(SelectedItem(0).Get(), x.Get()));
    EXPECT_TRUE(Ctl().GetCaretItem() == x1 || Ctl().GetCaretItem() == x2);

    control->SetSelection(file.Get());
    EXPECT_TRUE(Selected(fileRow));
    EXPECT_FALSE(Selected(again)) << "an ancestor shows the same file";
    EXPECT_FALSE(Selected(x1) || Selected(x2)) << "the earlier selection is cleared";
    EXPECT_EQ(Ctl().GetCaretItem(), fileRow);

    control->AddToSelection(y.Get());
    EXPECT_EQ(control->GetSelectedItemCount(), 2);
    EXPECT_EQ(Ctl().GetCaretItem(), fileRow) << "adding keeps the caret";
    control->RemoveFromSelection(file.Get());
    EXPECT_EQ(control->GetSelectedItemCount(), 1);
    EXPECT_TRUE(Same(SelectedItem(0).Get(), y.Get()));
    control->ClearSelection();
    EXPECT_EQ(control->GetSelectedItemCount(), 0);

    control->SetSelection(nullptr);
    EXPECT_EQ(Ctl().GetCaretItem(), nullptr) << "nothing to select removes the caret";
    EXPECT_TRUE(control->events.empty());
}

TEST_F(Control, SelectedItemRefusesIndexesOutsideTheSelection)
{
    AddFile();
    control->SetSelection(x.Get());
    ComPtr<IDispatch> object;
    EXPECT_EQ(control->GetSelectedItem(1, object.Receive()), DISP_E_BADINDEX);
    EXPECT_EQ(control->GetSelectedItem(-1, object.Receive()), DISP_E_BADINDEX);
    EXPECT_FALSE(object);
    EXPECT_EQ(control->GetSelectedItem(0, nullptr), E_POINTER);
}

TEST_F(Control, BoldMarksTopItemsWithoutTouchingTheSelection)
{
    AddFile();
    control->SetSelection(y.Get());
    control->MakeBold(file.Get());
    EXPECT_TRUE(Bold(fileRow));
    EXPECT_FALSE(Bold(again));
    EXPECT_EQ(Ctl().GetCaretItem(), fileRow);
    EXPECT_TRUE(Selected(yRow));
    EXPECT_FALSE(Selected(fileRow));
    control->ClearBold(file.Get());
    EXPECT_FALSE(Bold(fileRow));
    EXPECT_EQ(control->GetSelectedItemCount(), 1);
}

TEST_F(Control, FilesWithoutAnRUVFileAreRefused)
{
    EXPECT_EQ(control->AddRUVFile(nullptr), E_INVALIDARG);
    EXPECT_EQ(control->AddRUVFile(x.Get()), E_INVALIDARG);
    EXPECT_EQ(Ctl().GetRootItem(), nullptr);
    control->RemoveRUVFile(file.Get()); // never added
    control->RemoveRUVFile(nullptr);
    AddFile();
    EXPECT_NE(fileRow, nullptr);
    control->Update(nullptr);
    EXPECT_EQ(populated, 2) << "Update(null) refreshes all";
    control->RemoveRUVFile(file.Get());
    EXPECT_EQ(Ctl().GetRootItem(), nullptr);
}

TEST_F(Control, SettingsPropertiesRefreshAndNotifyAsEachRequires)
{
    AddFile();
    control->SetComponentText(eCTFlyText);
    control->SetComponentText(2);
    EXPECT_EQ(control->GetComponentText(), eCTFlyText) << "2 is not a choice";
    EXPECT_EQ(populated, 3);
    EXPECT_EQ(control->modified, 2);
    EXPECT_EQ(control->boundChanges, (std::vector<DISPID>{4, 4}));

    control->SetShowComponentKeypoints(5);
    control->SetComponentSequenceNos(TRUE);
    EXPECT_EQ(control->GetShowComponentKeypoints(), TRUE);
    EXPECT_EQ(control->GetComponentSequenceNos(), TRUE);
    EXPECT_EQ(populated, 5);

    control->SetShowSpools(FALSE);
    EXPECT_EQ(control->GetShowSpools(), FALSE);
    EXPECT_EQ(populated, 5) << "ShowSpools only stores";
    EXPECT_EQ(control->boundChanges.back(), 22);

    const size_t notices = control->boundChanges.size();
    EXPECT_EQ(control->GetWorkingUnits(L"Length"), 0);
    control->SetWorkingUnits(L"Length", 2);
    EXPECT_EQ(control->GetWorkingUnits(L"Length"), 2);
    EXPECT_EQ(control->GetAttributeWorkingUnits(L"WALL"), L"");
    control->SetAttributeWorkingUnits(L"WALL", L"Length");
    EXPECT_EQ(control->GetAttributeWorkingUnits(L"WALL"), L"Length");
    control->SetDisplayNames(L"Pipelines", L"Lines");
    EXPECT_EQ(control->GetDisplayNames(L"Pipelines"), L"Lines");
    EXPECT_EQ(control->GetDisplayNames(L"Nothing"), L"");
    EXPECT_EQ(populated, 5);
    EXPECT_EQ(control->boundChanges.size(), notices);
    EXPECT_EQ(control->modified, 8);
}

TEST_F(Control, HostsMayChangeEverythingFromInsideSelectionChanged)
{
    AddFile();
    Ctl().Expand(fileRow, TVE_EXPAND); // ClearSelection walks the visible items
    control->onSelectionChanged = [this] {
        control->onSelectionChanged = nullptr;
        control->ClearSelection();
    };
    UserSelects(x1, true);
    EXPECT_EQ(control->GetSelectedItemCount(), 0);
    EXPECT_FALSE(Selected(x1));

    control->onSelectionChanged = [this] {
        control->onSelectionChanged = nullptr;
        control->UpdateAll();
    };
    UserSelects(yRow, true);
    yRow = Ctl().GetNextSiblingItem(Ctl().GetNextSiblingItem(Ctl().GetChildItem(Ctl().GetRootItem())));
    EXPECT_EQ(control->GetSelectedItemCount(), Selected(yRow) ? 1 : 0);

    control->onSelectionChanged = [this] {
        control->onSelectionChanged = nullptr;
        control->RemoveRUVFile(file.Get());
    };
    UserSelects(Ctl().GetRootItem(), true);
    EXPECT_EQ(Ctl().GetRootItem(), nullptr);
    EXPECT_EQ(control->GetSelectedItemCount(), 0) << "the file's items left the registry with the tree";
}

TEST_F(Control, ClicksReportTheItemUnderThePointerInControlCoordinates)
{
    AddFile();
    Ctl().Expand(fileRow, TVE_EXPAND);
    const POINT onX1 = LabelCentre(x1);
    MouseNotification(onX1, NM_RCLICK);
    MouseNotification(onX1, NM_DBLCLK);
    const POINT below{onX1.x, LabelCentre(yRow).y + 100};
    MouseNotification(below, NM_RCLICK);
    ASSERT_EQ(control->pointed.size(), 3u);
    EXPECT_TRUE(control->pointed[0].popup && At(control->pointed[0], InControl(onX1)));
    EXPECT_TRUE(Same(control->pointed[0].object.Get(), x.Get()));
    EXPECT_FALSE(control->pointed[1].popup);
    EXPECT_TRUE(Same(control->pointed[1].object.Get(), x.Get()));
    EXPECT_TRUE(control->pointed[2].popup && At(control->pointed[2], InControl(below)));
    EXPECT_FALSE(control->pointed[2].object) << "below the last item";
}

TEST_F(Control, TheMenuKeyPopsUpAtTheCaretOrTheTreesCentre)
{
    AddFile();
    SendMessageW(Ctl().GetSafeHwnd(), WM_KEYDOWN, VK_APPS, 0);
    RECT client{};
    GetClientRect(Ctl().GetSafeHwnd(), &client);
    ASSERT_EQ(control->pointed.size(), 1u) << "the tree passes the key on as TVN_KEYDOWN";
    EXPECT_TRUE(control->pointed[0].popup);
    EXPECT_TRUE(At(control->pointed[0], InControl(POINT{client.right / 2, client.bottom / 2})));
    EXPECT_FALSE(control->pointed[0].object) << "no caret item";

    control->SetSelection(y.Get());
    SendMessageW(Ctl().GetSafeHwnd(), WM_KEYDOWN, VK_F10, 0);
    EXPECT_EQ(control->pointed.size(), 1u) << "F10 alone is not the menu key";
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(Ctl().GetSafeHwnd(), WM_KEYDOWN, VK_F10, 0);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    ASSERT_EQ(control->pointed.size(), 2u);
    EXPECT_TRUE(At(control->pointed[1], InControl(LabelCentre(yRow))));
    EXPECT_TRUE(Same(control->pointed[1].object.Get(), y.Get()));
}

TEST_F(Control, DroppedFilesAreReportedInDropOrder)
{
    const std::wstring names[] = {L"C:\\plant\\b.ruv", L"C:\\plant\\a.ruv", L"D:\\c.ruv"};
    std::wstring list;
    for (const std::wstring& name : names)
        list += name + L'\0';
    list += L'\0';
    const size_t bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    ASSERT_NE(memory, nullptr);
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    memcpy(header + 1, list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    control->OnDropFiles(static_cast<HDROP>(memory)); // and releases it
    EXPECT_EQ(control->drops, (std::vector<std::wstring>(std::begin(names), std::end(names))));
}

TEST_F(Control, OnlyEndHomeAndArrowsAreForwardedToTheTree)
{
    AddFile();
    control->SetSelection(y.Get());
    MSG home{host, WM_KEYDOWN, VK_HOME, 0, 0, {}};
    EXPECT_TRUE(control->ForwardNavigationKey(home));
    EXPECT_EQ(Ctl().GetCaretItem(), fileRow) << "the key reached the tree";
    MSG pageDown{host, WM_KEYDOWN, VK_NEXT, 0, 0, {}};
    EXPECT_FALSE(control->ForwardNavigationKey(pageDown));
    MSG character{host, WM_CHAR, 'a', 0, 0, {}};
    EXPECT_FALSE(control->ForwardNavigationKey(character));
}

TEST_F(Control, NativeNotificationsOfTheTreeAreIgnored)
{
    AddFile();
    NMTREEVIEWW nm{};
    nm.hdr.hwndFrom = Ctl().GetSafeHwnd();
    nm.hdr.idFrom = CCorbelCtrl::kTreeId;
    nm.hdr.code = TVN_SELCHANGEDW;
    nm.itemNew.hItem = x1;
    SendMessageW(host, WM_NOTIFY, CCorbelCtrl::kTreeId, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(control->GetSelectedItemCount(), 0);
    EXPECT_TRUE(control->events.empty());
}

} // namespace
