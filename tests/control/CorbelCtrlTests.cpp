// The control's logic under a real tree in a plain window that hands it the tree's notifications,
// with its events, modified flag and property notices recorded.
#include <windows.h>

#include <functional>
#include <utility>
#include <tuple>

#include "support/DropFiles.h"
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
    std::function<void()> onSelectionChanged; // runs once, at the next SelectionChanged

protected:
    void FireSelectionChanged(IDispatch* unselected, IDispatch* selected) override
    {
        events.push_back({unselected, selected});
        if (auto handler = std::exchange(onSelectionChanged, nullptr))
            handler();
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

// A file's branch: the file, two rows of entity x under it (the first with the file again below
// it), and a row of entity y.
class TwoRowDisplay : public CFileTreeDisplay {
public:
    TwoRowDisplay(CMultiTree* tree, CTreeContentSettings* settings, IUnknown* file, IUnknown* x, IUnknown* y, int& populated)
        : CFileTreeDisplay(tree, settings), m_file(file), m_x(x), m_y(y), m_populated(populated)
    {
    }
    void Populate(IUnknown*, HTREEITEM hParent) override
    {
        ++m_populated;
        HTREEITEM top = InsertEntityItem(m_file, L"file", hParent, TVI_LAST, 0, 0);
        InsertEntityItem(m_file, L"again", InsertEntityItem(m_x, L"x1", top, TVI_LAST, 0, 1), TVI_LAST, 0, 0);
        InsertEntityItem(m_x, L"x2", top, TVI_LAST, 0, 2);
        InsertEntityItem(m_y, L"y", top, TVI_LAST, 0, 3);
    }

private:
    IUnknown *m_file, *m_x, *m_y;
    int& m_populated;
};

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
        WNDCLASSW wc{0, HostProc, 0, 0, GetModuleHandleW(nullptr), nullptr, nullptr, nullptr, nullptr, L"CorbelLogicHost"};
        RegisterClassW(&wc);
        host = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 300, 400, nullptr, nullptr, nullptr, nullptr);
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
        FindRows();
    }
    void FindRows()
    {
        rows[0] = Ctl().GetRootItem();
        rows[1] = Ctl().GetChildItem(rows[0]);
        rows[2] = Ctl().GetChildItem(rows[1]);
        rows[3] = Ctl().GetNextSiblingItem(rows[1]);
        rows[4] = Ctl().GetNextSiblingItem(rows[3]);
    }
    CMultiTree& Ctl() { return control->Tree(); }
    // An entity's name: "file", "x", "y" or "-" for none.
    std::string NameOf(IUnknown* entity) const
    {
        const IUnknown* identity = modelkit::Identity(entity);
        return !identity ? "-" : identity == modelkit::Identity(file.Get()) ? "file" : identity == modelkit::Identity(x.Get()) ? "x" : "y";
    }
    // The rows (file x1 again x2 y) with * when selected and ! when bold, the caret, and how many
    // entities the control counts as selected.
    std::string State()
    {
        static const char* const names[] = {"file", "x1", "again", "x2", "y"};
        std::string state;
        for (int i = 0; i < 5; ++i) {
            state += std::string(names[i]) + (Ctl().GetNativeState(rows[i], TVIS_SELECTED) ? "*" : "") +
                     (Ctl().GetNativeState(rows[i], TVIS_BOLD) ? "!" : "") + " ";
            state += Ctl().GetCaretItem() == rows[i] ? std::string("^") + names[i] + " " : "";
        }
        return state + std::to_string(control->GetSelectedItemCount());
    }
    // The selection events since the last look: "+x" selected, "-x" unselected, "0" neither.
    std::string Events()
    {
        std::string heard;
        for (const auto& event : control->events)
            heard += (event.selected ? "+" + NameOf(event.selected.Get()) : "") +
                     (event.unselected ? "-" + NameOf(event.unselected.Get()) : "") +
                     (event.selected || event.unselected ? " " : "0 ");
        control->events.clear();
        return heard;
    }
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
    // A pop-up or double click as the host hears it, at the control coordinates of point in the tree.
    std::string Pointed(bool popup, POINT inTree, IUnknown* object)
    {
        return (popup ? "popup " : "double ") + std::to_string(inTree.x + kTreeLeft) + "," +
               std::to_string(inTree.y + kTreeTop) + " " + NameOf(object);
    }
    std::string Pointed(size_t index)
    {
        if (index >= control->pointed.size())
            return "(none)";
        const auto& event = control->pointed[index];
        return Pointed(event.popup, POINT{event.point.x - kTreeLeft, event.point.y - kTreeTop}, event.object.Get());
    }
    void UserSelects(int row, bool select) { Ctl().SetItemState(rows[row], select ? TVIS_SELECTED : 0, TVIS_SELECTED, FALSE); }

    ComPtr<IRUVDocument> document;
    ComPtr<IRUVFile> file;
    ComPtr<IRUVPipelines> x;
    ComPtr<IRUVPipeline> y;
    HWND host = nullptr;
    int populated = 0;
    std::unique_ptr<RecordingControl> control;
    HTREEITEM rows[5] = {}; // file, x1, again (the file below x1), x2, y
};

TEST_F(Control, AnEntityIsSelectedWhileAnyOfItsItemsIs)
{
    AddFile();
    UserSelects(1, true);
    UserSelects(3, true);
    EXPECT_EQ(State(), "file x1* again x2* y 1");
    UserSelects(1, false);
    UserSelects(3, false);
    EXPECT_EQ(Events(), "+x 0 0 -x ") << "the second item of a selected entity, and one of two left, change nothing";
    EXPECT_EQ(control->GetSelectedItemCount(), 0);
}

TEST_F(Control, ProgrammaticSelectionAndBoldFollowTopItemsAndFireNothing)
{
    AddFile();
    control->SetSelection(x.Get());
    EXPECT_TRUE(Ctl().GetNativeState(rows[0], TVIS_EXPANDED)) << "the collapsed branch is opened";
    EXPECT_EQ(State(), "file x1* again x2* ^x2 y 1");
    control->SetSelection(file.Get());
    EXPECT_EQ(State(), "file* ^file x1 again x2 y 1") << "not the file's row below x1, whose ancestor shows it";
    control->AddToSelection(y.Get());
    EXPECT_EQ(State(), "file* ^file x1 again x2 y* 2") << "adding keeps the caret";
    control->RemoveFromSelection(file.Get());
    EXPECT_EQ(State(), "file ^file x1 again x2 y* 1");
    control->MakeBold(y.Get());
    EXPECT_EQ(State(), "file x1 again x2 y*! ^y 1") << "bold takes the caret and leaves the selection";
    control->ClearBold(y.Get());
    ComPtr<IDispatch> object;
    EXPECT_EQ(control->GetSelectedItem(0, object.Receive()), S_OK);
    EXPECT_EQ(NameOf(object.Get()), "y");
    EXPECT_EQ(control->GetSelectedItem(1, object.Receive()), DISP_E_BADINDEX);
    EXPECT_EQ(control->GetSelectedItem(-1, object.Receive()), DISP_E_BADINDEX);
    EXPECT_EQ(control->GetSelectedItem(0, nullptr), E_POINTER);
    EXPECT_FALSE(object);
    control->ClearSelection();
    EXPECT_EQ(State(), "file x1 again x2 y ^y 0");
    control->SetSelection(nullptr);
    EXPECT_EQ(State(), "file x1 again x2 y 0") << "nothing to select removes the caret";
    EXPECT_EQ(Events(), "");
}

TEST_F(Control, FilesWithoutAnRUVFileAreRefusedAndDroppedOnesOnlyReported)
{
    const std::vector<std::wstring> names{L"C:\\plant\\b.ruv", L"C:\\plant\\a.ruv", L"D:\\c.ruv"};
    control->OnDropFiles(MakeDrop(names)); // and releases it
    EXPECT_EQ(control->drops, names) << "in drop order";
    EXPECT_EQ(control->AddRUVFile(nullptr), E_INVALIDARG);
    EXPECT_EQ(control->AddRUVFile(x.Get()), E_INVALIDARG);
    control->RemoveRUVFile(file.Get()); // never added
    control->RemoveRUVFile(nullptr);
    EXPECT_EQ(Ctl().GetRootItem(), nullptr);
    AddFile();
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
    const std::tuple<const char*, std::function<void()>, std::function<std::wstring()>, std::wstring, int,
                     std::vector<DISPID>>
        puts[] = {
            {"fly text", [&] { c.SetComponentText(eCTFlyText); }, componentText, L"1", 1, {dispidComponentText}},
            {"2 is no choice", [&] { c.SetComponentText(2); }, componentText, L"1", 1, {dispidComponentText}},
            {"keypoints", [&] { c.SetShowComponentKeypoints(5); }, [&] { return text(c.GetShowComponentKeypoints()); },
             L"1", 1, {dispidShowComponentKeypoints}},
            {"sequence numbers", [&] { c.SetComponentSequenceNos(TRUE); },
             [&] { return text(c.GetComponentSequenceNos()); }, L"1", 1, {dispidComponentSequenceNos}},
            {"spools, for the next refresh", [&] { c.SetShowSpools(TRUE); }, [&] { return text(c.GetShowSpools()); },
             L"1", 0, {dispidShowSpools}},
            {"working units", [&] { c.SetWorkingUnits(L"Length", 2); },
             [&] { return text(c.GetWorkingUnits(L"Length")); }, L"2", 0, {}},
            {"attribute units", [&] { c.SetAttributeWorkingUnits(L"WALL", L"Length"); },
             [&] { return c.GetAttributeWorkingUnits(L"WALL"); }, L"Length", 0, {}},
            {"display names", [&] { c.SetDisplayNames(L"Pipelines", L"Lines"); },
             [&] { return c.GetDisplayNames(L"Pipelines"); }, L"Lines", 0, {}},
        };
    for (const auto& [what, put, get, expected, refreshes, notices] : puts) {
        const int populatedBefore = populated, modifiedBefore = control->modified;
        control->boundChanges.clear();
        put();
        EXPECT_EQ(get(), expected) << what;
        EXPECT_EQ(populated - populatedBefore, refreshes) << what;
        EXPECT_EQ(control->modified - modifiedBefore, 1) << what;
        EXPECT_EQ(control->boundChanges, notices) << what;
    }
}

TEST_F(Control, HostsMayChangeEverythingFromInsideSelectionChanged)
{
    AddFile();
    Ctl().Expand(rows[0], TVE_EXPAND); // ClearSelection walks the visible items
    control->onSelectionChanged = [this] { control->ClearSelection(); };
    UserSelects(1, true);
    EXPECT_EQ(State(), "file x1 again x2 y 0");
    control->onSelectionChanged = [this] { control->UpdateAll(); };
    UserSelects(4, true);
    FindRows(); // after the rebuild, the registry agrees with the tree
    EXPECT_EQ(control->GetSelectedItemCount(), Ctl().GetNativeState(rows[4], TVIS_SELECTED) ? 1 : 0);
    control->onSelectionChanged = [this] { control->RemoveRUVFile(file.Get()); };
    UserSelects(0, true);
    EXPECT_EQ(Ctl().GetRootItem(), nullptr);
    EXPECT_EQ(control->GetSelectedItemCount(), 0) << "the file's items left the registry with the tree";
    AddFile(); // and the registry still works
    UserSelects(4, true);
    EXPECT_EQ(State(), "file x1 again x2 y* 1");
}

TEST_F(Control, ClicksAndTheMenuKeyReportTheObjectInControlCoordinates)
{
    AddFile();
    Ctl().Expand(rows[0], TVE_EXPAND);
    const POINT onX1 = LabelCentre(rows[1]), below{onX1.x, LabelCentre(rows[4]).y + 100};
    MouseNotification(onX1, NM_RCLICK);
    MouseNotification(onX1, NM_DBLCLK);
    MouseNotification(below, NM_RCLICK);
    EXPECT_EQ(Pointed(0), Pointed(true, onX1, x.Get()));
    EXPECT_EQ(Pointed(1), Pointed(false, onX1, x.Get()));
    EXPECT_EQ(Pointed(2), Pointed(true, below, nullptr)) << "below the last item";
    // The menu key without a caret: a pop-up at the tree's centre (the hosted tests type the keys).
    control->pointed.clear();
    SendMessageW(Ctl().GetSafeHwnd(), WM_KEYDOWN, VK_APPS, 0);
    RECT client{};
    GetClientRect(Ctl().GetSafeHwnd(), &client);
    EXPECT_EQ(Pointed(0), Pointed(true, POINT{client.right / 2, client.bottom / 2}, nullptr));
}

TEST_F(Control, OnlyEndHomeAndArrowsGoStraightToTheTreeAndNativeNoticesAreIgnored)
{
    AddFile();
    control->SetSelection(y.Get());
    EXPECT_TRUE(control->ForwardNavigationKey(MSG{host, WM_KEYDOWN, VK_HOME, 0, 0, {}}));
    EXPECT_EQ(Ctl().GetCaretItem(), rows[0]) << "the key reached the tree";
    const std::tuple<UINT, WPARAM, bool> keys[] = {
        {WM_KEYUP, VK_HOME, true},      {WM_KEYDOWN, VK_END, true},    {WM_KEYDOWN, VK_LEFT, true},
        {WM_KEYDOWN, VK_UP, true},      {WM_KEYDOWN, VK_RIGHT, true},  {WM_KEYDOWN, VK_DOWN, true},
        {WM_KEYDOWN, VK_PRIOR, false},  {WM_KEYDOWN, VK_NEXT, false},  {WM_KEYDOWN, VK_TAB, false},
        {WM_KEYDOWN, VK_RETURN, false}, {WM_CHAR, 'a', false},         {WM_SYSKEYDOWN, VK_DOWN, false},
    };
    for (const auto& [message, key, taken] : keys)
        EXPECT_EQ(control->ForwardNavigationKey(MSG{host, message, key, 0, 0, {}}), taken) << message << " " << key;
    // What the native control says of its caret is no selection of the control's.
    control->ClearSelection();
    control->events.clear();
    NMTREEVIEWW nm{};
    nm.hdr = NMHDR{Ctl().GetSafeHwnd(), CCorbelCtrl::kTreeId, TVN_SELCHANGEDW};
    nm.itemNew.hItem = rows[1];
    SendMessageW(host, WM_NOTIFY, CCorbelCtrl::kTreeId, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(control->GetSelectedItemCount(), 0);
    EXPECT_EQ(Events(), "");
}

} // namespace
