// The control's logic under a real tree, hosted by a plain window that hands it the tree's
// notifications, with every shell hook recorded; one file shows entity X at two places.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <iterator>

#include "support/ModelTreeTest.h"
#include "control/CorbelCtrl.h"
#include "platform/com/ComError.h"

using platform::ComPtr;


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
    void SetModifiedFlag(bool) override { ++modified; }
    void BoundPropertyChanged(DISPID id) override { boundChanges.push_back(id); }
};

// The control window: hands the tree's notifications to the logic.
inline LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
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

inline bool Same(IUnknown* a, IUnknown* b)
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
        control = std::make_unique<RecordingControl>(nullptr, std::move(factory));
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

