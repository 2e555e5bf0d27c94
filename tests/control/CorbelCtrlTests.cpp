// The control's logic under a real tree, in a plain window that hands it the tree's notifications,
// with its events, modified flag and property notices recorded: selection events per entity,
// programmatic selection, bold marking, files, the settings properties, mouse and menu-key
// events, dropped files, the keys it forwards, and hosts that call back from inside an event.
#include <windows.h>

#include <functional>
#include <tuple>

#include "support/DropFiles.h"
#include "support/TreeInput.h"
#include "support/ModelTreeTest.h"
#include "control/CorbelCtrl.h"
#include "platform/com/ComError.h"

using platform::ComPtr;

namespace {

class RecordingControl : public CCorbelCtrl {
public:
    using CCorbelCtrl::CCorbelCtrl;

    struct Event {
        ComPtr<IDispatch> unselected, selected;
    };
    struct Pointed {
        bool popup;
        POINT point;
        ComPtr<IDispatch> object;
    };
    std::vector<Event> events;
    std::vector<Pointed> pointed;
    std::vector<std::wstring> drops;
    std::vector<DISPID> boundChanges;
    int modified = 0;
    std::function<void()> onSelectionChanged;

protected:
    void FireSelectionChanged(IDispatch* unselected, IDispatch* selected) override
    {
        events.push_back({unselected, selected});
        if (onSelectionChanged)
            onSelectionChanged();
    }
    void FireDropFile(const std::wstring& fileName) override { drops.push_back(fileName); }
    void FirePopupMenu(long x, long y, IDispatch* object) override { pointed.push_back({true, {x, y}, object}); }
    void FireLButtonDblClick(long x, long y, IDispatch* object) override { pointed.push_back({false, {x, y}, object}); }
    void SetModifiedFlag(bool) override { ++modified; }
    void BoundPropertyChanged(DISPID id) override { boundChanges.push_back(id); }
};

// The control window: hands the tree's notifications to the logic.
LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* control = reinterpret_cast<CCorbelCtrl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (message == WM_NOTIFY && control && control->OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result))
        return result;
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
    IUnknown *m_file, *m_x, *m_y;
    int& m_populated;
};

bool Same(IUnknown* a, IUnknown* b) { return modelkit::Identity(a) == modelkit::Identity(b); }

class Control : public ModelTreeTest {
protected:
    static constexpr long kTreeLeft = 10, kTreeTop = 20; // so that tree and control coordinates differ

    void SetUp() override
    {
        ModelTreeTest::SetUp();
        document = modelkit::Document(R"({"version": 1, "pipelines": [ {"name": "P-1"} ]})", L"plant.json");
        file = modelkit::FileOf(document.Get());
        file->GetPipelines(x.Receive());
        y = modelkit::PipelineOf(file.Get(), 0);
        WNDCLASSW wc{};
        wc.lpfnWndProc = HostProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"CorbelLogicHost";
        RegisterClassW(&wc);
        host = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED | WS_CLIPCHILDREN, 0, 0, 300, 400, nullptr,
                               nullptr, wc.hInstance, nullptr);
        control = std::make_unique<RecordingControl>(
            nullptr, [this](CMultiTree* tree, CTreeContentSettings* settings, ComPtr<IRUVFile> shown) {
                return std::make_shared<TwoRowDisplay>(tree, settings, shown.Get(), x.Get(), y.Get(), populated);
            });
        SetWindowLongPtrW(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control.get()));
        ASSERT_TRUE(control->CreateTree(host, RECT{kTreeLeft, kTreeTop, 280, 360}));
    }
    void ReleaseAll() override
    {
        control.reset();
        DestroyWindow(host);
        x.Reset();
        y.Reset();
        file.Reset();
        document.Reset();
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
    // The pointed event at index: a pop-up or not, at the control coordinates of point in the tree.
    void ExpectPointed(size_t index, bool popup, POINT inTree, IUnknown* object)
    {
        ASSERT_LT(index, control->pointed.size());
        const auto& event = control->pointed[index];
        EXPECT_EQ(event.popup, popup) << index;
        EXPECT_EQ(event.point.x, inTree.x + kTreeLeft) << index;
        EXPECT_EQ(event.point.y, inTree.y + kTreeTop) << index;
        EXPECT_TRUE(Same(event.object.Get(), object)) << index;
    }
    bool Selected(HTREEITEM item) { return Ctl().GetNativeState(item, TVIS_SELECTED) != 0; }
    bool Bold(HTREEITEM item) { return Ctl().GetNativeState(item, TVIS_BOLD) != 0; }
    void UserSelects(HTREEITEM item, bool select) { Ctl().SetItemState(item, select ? TVIS_SELECTED : 0, TVIS_SELECTED, FALSE); }
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
    EXPECT_FALSE(Ctl().GetNativeState(fileRow, TVIS_EXPANDED));
    control->SetSelection(x.Get());
    EXPECT_TRUE(Selected(x1) && Selected(x2) && !Selected(yRow));
    EXPECT_TRUE(Ctl().GetNativeState(fileRow, TVIS_EXPANDED)) << "the collapsed branch is opened";
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
    ComPtr<IDispatch> object;
    EXPECT_EQ(control->GetSelectedItem(1, object.Receive()), DISP_E_BADINDEX);
    EXPECT_EQ(control->GetSelectedItem(-1, object.Receive()), DISP_E_BADINDEX);
    EXPECT_FALSE(object);
    EXPECT_EQ(control->GetSelectedItem(0, nullptr), E_POINTER);
    control->ClearSelection();
    EXPECT_EQ(control->GetSelectedItemCount(), 0);

    control->SetSelection(nullptr);
    EXPECT_EQ(Ctl().GetCaretItem(), nullptr) << "nothing to select removes the caret";
    EXPECT_TRUE(control->events.empty());
}

TEST_F(Control, BoldMarksTopItemsWithoutTouchingTheSelection)
{
    AddFile();
    control->SetSelection(y.Get());
    control->MakeBold(file.Get());
    EXPECT_TRUE(Bold(fileRow) && !Bold(again));
    EXPECT_EQ(Ctl().GetCaretItem(), fileRow);
    EXPECT_TRUE(Selected(yRow) && !Selected(fileRow));
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
    CCorbelCtrl& c = *control;
    EXPECT_EQ(c.GetWorkingUnits(L"Length"), 0) << "keyed settings start empty";
    EXPECT_EQ(c.GetAttributeWorkingUnits(L"WALL") + c.GetDisplayNames(L"Nothing"), L"");
    auto text = [](long value) { return std::to_wstring(value); };
    auto componentText = [&] { return text(c.GetComponentText()); };
    // Each put: what reads back after it, whether it rebuilds the files, and its property notice.
    struct Put {
        const char* what;
        std::function<void()> put;
        std::function<std::wstring()> get;
        std::wstring expected;
        int refreshes;
        std::vector<DISPID> notices;
    };
    const Put puts[] = {
        {"fly text", [&] { c.SetComponentText(eCTFlyText); }, componentText, L"1", 1, {dispidComponentText}},
        {"2 is no choice: fly text stays", [&] { c.SetComponentText(2); }, componentText, L"1", 1, {dispidComponentText}},
        {"keypoints", [&] { c.SetShowComponentKeypoints(5); }, [&] { return text(c.GetShowComponentKeypoints()); },
         L"1", 1, {dispidShowComponentKeypoints}},
        {"sequence numbers", [&] { c.SetComponentSequenceNos(TRUE); }, [&] { return text(c.GetComponentSequenceNos()); },
         L"1", 1, {dispidComponentSequenceNos}},
        {"spools: stored for the next refresh", [&] { c.SetShowSpools(TRUE); }, [&] { return text(c.GetShowSpools()); },
         L"1", 0, {dispidShowSpools}},
        {"working units", [&] { c.SetWorkingUnits(L"Length", 2); }, [&] { return text(c.GetWorkingUnits(L"Length")); },
         L"2", 0, {}},
        {"attribute units", [&] { c.SetAttributeWorkingUnits(L"WALL", L"Length"); },
         [&] { return c.GetAttributeWorkingUnits(L"WALL"); }, L"Length", 0, {}},
        {"display names", [&] { c.SetDisplayNames(L"Pipelines", L"Lines"); },
         [&] { return c.GetDisplayNames(L"Pipelines"); }, L"Lines", 0, {}},
    };
    for (const Put& p : puts) {
        const int populatedBefore = populated, modifiedBefore = control->modified;
        control->boundChanges.clear();
        p.put();
        EXPECT_EQ(p.get(), p.expected) << p.what;
        EXPECT_EQ(populated - populatedBefore, p.refreshes) << p.what;
        EXPECT_EQ(control->modified - modifiedBefore, 1) << p.what;
        EXPECT_EQ(control->boundChanges, p.notices) << p.what;
    }
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

TEST_F(Control, ClicksAndTheMenuKeyReportTheObjectInControlCoordinates)
{
    AddFile();
    Ctl().Expand(fileRow, TVE_EXPAND);
    const POINT onX1 = LabelCentre(x1), below{onX1.x, LabelCentre(yRow).y + 100};
    MouseNotification(onX1, NM_RCLICK);
    MouseNotification(onX1, NM_DBLCLK);
    MouseNotification(below, NM_RCLICK);
    ExpectPointed(0, true, onX1, x.Get());
    ExpectPointed(1, false, onX1, x.Get());
    ExpectPointed(2, true, below, nullptr); // below the last item

    // The tree passes the menu key on as TVN_KEYDOWN: a pop-up at the caret, or the tree's centre.
    control->pointed.clear();
    SendMessageW(Ctl().GetSafeHwnd(), WM_KEYDOWN, VK_APPS, 0);
    RECT client{};
    GetClientRect(Ctl().GetSafeHwnd(), &client);
    ExpectPointed(0, true, POINT{client.right / 2, client.bottom / 2}, nullptr);
    control->SetSelection(y.Get());
    SendMessageW(Ctl().GetSafeHwnd(), WM_KEYDOWN, VK_F10, 0);
    EXPECT_EQ(control->pointed.size(), 1u) << "F10 alone is not the menu key";
    treeinput::SetModifiers(false, true);
    SendMessageW(Ctl().GetSafeHwnd(), WM_KEYDOWN, VK_F10, 0);
    treeinput::SetModifiers(false, false);
    ExpectPointed(1, true, LabelCentre(yRow), y.Get());
}

TEST_F(Control, DroppedFilesAreReportedInDropOrder)
{
    const std::vector<std::wstring> names{L"C:\\plant\\b.ruv", L"C:\\plant\\a.ruv", L"D:\\c.ruv"};
    control->OnDropFiles(MakeDrop(names)); // and releases it
    EXPECT_EQ(control->drops, names);
}

TEST_F(Control, OnlyEndHomeAndArrowsGoStraightToTheTree)
{
    AddFile();
    control->SetSelection(y.Get());
    EXPECT_TRUE(control->ForwardNavigationKey(MSG{host, WM_KEYDOWN, VK_HOME, 0, 0, {}}));
    EXPECT_EQ(Ctl().GetCaretItem(), fileRow) << "the key reached the tree";
    const std::tuple<UINT, WPARAM, bool> keys[] = {
        {WM_KEYUP, VK_HOME, true},    {WM_KEYDOWN, VK_END, true},    {WM_KEYDOWN, VK_LEFT, true},
        {WM_KEYDOWN, VK_UP, true},    {WM_KEYDOWN, VK_RIGHT, true},  {WM_KEYDOWN, VK_DOWN, true},
        {WM_KEYDOWN, VK_PRIOR, false}, {WM_KEYDOWN, VK_NEXT, false}, {WM_KEYDOWN, VK_TAB, false},
        {WM_KEYDOWN, VK_RETURN, false}, {WM_CHAR, 'a', false},       {WM_SYSKEYDOWN, VK_DOWN, false},
    };
    for (const auto& [message, key, taken] : keys)
        EXPECT_EQ(control->ForwardNavigationKey(MSG{host, message, key, 0, 0, {}}), taken) << message << " " << key;
}

TEST_F(Control, NativeNotificationsOfTheTreeAreIgnored)
{
    AddFile();
    NMTREEVIEWW nm{};
    nm.hdr = NMHDR{Ctl().GetSafeHwnd(), CCorbelCtrl::kTreeId, TVN_SELCHANGEDW};
    nm.itemNew.hItem = x1;
    SendMessageW(host, WM_NOTIFY, CCorbelCtrl::kTreeId, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(control->GetSelectedItemCount(), 0);
    EXPECT_TRUE(control->events.empty());
}

} // namespace
