#include "support/TreeHarness.h"

#include "support/TreeInput.h"
#include "platform/window/TreeDump.h"

#include <algorithm>
#include <sstream>

namespace {

constexpr UINT kRunAction = WM_APP + 1;
const wchar_t kParentClass[] = L"RUVTreeTestParent";

bool CarriesTreeView(UINT code)
{
    switch (code) {
    case TVN_SELCHANGINGW:
    case TVN_SELCHANGEDW:
    case TVN_BEGINDRAGW:
    case TVN_BEGINRDRAGW:
    case TVN_DELETEITEMW:
    case TVN_ITEMEXPANDINGW:
    case TVN_ITEMEXPANDEDW:
        return true;
    default:
        return false;
    }
}

void RegisterParentClass()
{
    static const bool registered = [] {
        INITCOMMONCONTROLSEX init{sizeof(init), ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&init);
        return true;
    }();
    (void)registered;
}

void ForEachItem(const CMultiTree& tree, HTREEITEM first, const std::function<void(HTREEITEM)>& visit)
{
    for (HTREEITEM item = first; item; item = tree.GetNextSiblingItem(item)) {
        visit(item);
        ForEachItem(tree, tree.GetChildItem(item), visit);
    }
}

} // namespace

RecordingParent::RecordingParent()
{
    static const ATOM atom = [] {
        RegisterParentClass();
        WNDCLASSW wc{};
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = kParentClass;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        return RegisterClassW(&wc);
    }();
    (void)atom;
    m_hWnd = CreateWindowExW(0, kParentClass, L"tree test", WS_OVERLAPPED | WS_CLIPCHILDREN, 0, 0, 320, 520,
                             nullptr, nullptr, GetModuleHandleW(nullptr), this);
    ShowWindow(m_hWnd, SW_SHOW);
    UpdateWindow(m_hWnd);
}

RecordingParent::~RecordingParent()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

void RecordingParent::Post(std::function<void()> action)
{
    m_actions.push_back(std::move(action));
    PostMessageW(m_hWnd, kRunAction, 0, 0);
}

LRESULT CALLBACK RecordingParent::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<RecordingParent*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && message == WM_NOTIFY)
        return self->OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    if (self && message == kRunAction && !self->m_actions.empty()) {
        auto action = std::move(self->m_actions.front());
        self->m_actions.pop_front();
        action();
        return 0;
    }
    if (self && message == WM_NCDESTROY)
        self->m_hWnd = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT RecordingParent::OnNotify(const NMHDR& header)
{
    Notice notice;
    notice.code = header.code;
    notice.idFrom = header.idFrom;
    notice.own = tree && tree->IsSendingNotify();
    const bool click = header.code == static_cast<UINT>(NM_CLICK) || header.code == static_cast<UINT>(NM_RCLICK);
    if (CarriesTreeView(header.code) || (click && notice.own && clickCarriesItem)) {
        const auto& nm = reinterpret_cast<const NMTREEVIEWW&>(header);
        notice.itemNew = nm.itemNew.hItem;
        notice.itemOld = nm.itemOld.hItem;
        notice.newMask = nm.itemNew.mask;
        notice.oldMask = nm.itemOld.mask;
        notice.newData = nm.itemNew.lParam;
        notice.oldData = nm.itemOld.lParam;
        notice.ptDrag = nm.ptDrag;
    }
    notices.push_back(notice);
    if (notice.own && notice.code == TVN_SELCHANGEDW) {
        if (notice.itemNew)
            reportedSelection.insert(notice.itemNew);
        if (notice.itemOld)
            reportedSelection.erase(notice.itemOld);
    }
    if (onNotice)
        onNotice(notice);
    if (header.code == TVN_SELCHANGINGW && notice.own && answerSelChanging)
        return answerSelChanging(notice);
    return 0;
}

void TreeTest::SetUp()
{
    // One parent window for the whole program: hiding or destroying a top-level window makes
    // Wine wait two seconds for a window manager that Xvfb does not have.
    static RecordingParent* parent = new RecordingParent();
    m_parent = parent;
    m_parent->notices.clear();
    m_parent->reportedSelection.clear();
    m_parent->clickCarriesItem = false;
}

void TreeTest::TearDown()
{
    if (m_tree)
        CheckInvariant();
    // The test's callbacks refer to its own locals, which are gone by now.
    m_parent->onNotice = nullptr;
    m_parent->answerSelChanging = nullptr;
    m_parent->tree = nullptr;
    m_tree.reset();
    DrainInput();
}

void TreeTest::Build(const std::vector<ItemSpec>& items, DWORD style)
{
    m_parent->tree = nullptr;
    m_parent->onNotice = nullptr;
    m_parent->answerSelChanging = nullptr;
    m_tree.reset();
    m_items.clear();
    m_parent->reportedSelection.clear();
    m_tree = std::make_unique<CMultiTree>();
    RECT client;
    GetClientRect(m_parent->Hwnd(), &client);
    ASSERT_TRUE(m_tree->Create(style, client, m_parent->Hwnd(), kTreeId)) << "parent " << m_parent->Hwnd() << " error " << GetLastError();
    m_parent->tree = m_tree.get();
    DWORD_PTR data = 0;
    for (const ItemSpec& spec : items) {
        HTREEITEM parent = spec.parent ? Item(spec.parent) : TVI_ROOT;
        std::wstring text(spec.name, spec.name + std::char_traits<char>::length(spec.name));
        HTREEITEM item = m_tree->InsertItem(text.c_str(), parent, TVI_LAST, ++data);
        ASSERT_NE(item, nullptr);
        m_items[spec.name] = item;
    }
    UpdateWindow(m_tree->GetSafeHwnd());
    ClearLog();
}

void TreeTest::BuildDefault(DWORD style)
{
    Build({{"A", nullptr},
           {"A1", "A"},
           {"A2", "A"},
           {"A2a", "A2"},
           {"A3", "A"},
           {"B", nullptr},
           {"B1", "B"},
           {"C", nullptr},
           {"D", nullptr},
           {"E", nullptr}},
          style);
    Expand("A");
    ClearLog();
}

HTREEITEM TreeTest::Item(const std::string& name) const
{
    auto found = m_items.find(name);
    return found == m_items.end() ? nullptr : found->second;
}

std::string TreeTest::Name(HTREEITEM item) const
{
    if (!item)
        return "null";
    for (const auto& [name, handle] : m_items) {
        if (handle == item)
            return name;
    }
    return "?";
}

void TreeTest::Expand(const std::string& name, UINT action)
{
    m_tree->Expand(Item(name), action);
    CheckInvariant();
}

std::string TreeTest::Selected() const
{
    std::vector<std::string> names;
    ForEachItem(*m_tree, m_tree->GetRootItem(), [&](HTREEITEM item) {
        if (m_tree->GetNativeState(item, TVIS_SELECTED))
            names.push_back(Name(item));
    });
    return JoinNames(names);
}

std::wstring TreeTest::Dump(HTREEITEM first, bool images) const
{
    return platform::DumpTree(platform::TreeView(m_tree->GetSafeHwnd()), first, {.inlined = true, .images = images});
}

std::wstring TreeTest::TextOf(HTREEITEM item) const { return m_tree->GetItemText(item); }

LPARAM TreeTest::DataOf(HTREEITEM item) const { return static_cast<LPARAM>(m_tree->GetItemData(item)); }

std::set<HTREEITEM> TreeTest::AllItems() const
{
    std::set<HTREEITEM> items;
    ForEachItem(*m_tree, m_tree->GetRootItem(), [&](HTREEITEM item) { items.insert(item); });
    return items;
}

std::string TreeTest::Caret() const { return Name(m_tree->GetCaretItem()); }

std::string TreeTest::OwnLog() const
{
    std::vector<std::string> parts;
    for (const Notice& n : m_parent->notices) {
        if (!n.own)
            continue;
        switch (n.code) {
        case TVN_SELCHANGINGW:
        case TVN_SELCHANGEDW: {
            std::string prefix = n.code == TVN_SELCHANGINGW ? "?" : "";
            if (n.itemNew)
                parts.push_back(prefix + "+" + Name(n.itemNew));
            if (n.itemOld)
                parts.push_back(prefix + "-" + Name(n.itemOld));
            break;
        }
        case TVN_BEGINDRAGW:
            parts.push_back("drag:" + Name(n.itemNew));
            break;
        case TVN_BEGINRDRAGW:
            parts.push_back("rdrag:" + Name(n.itemNew));
            break;
        default:
            if (n.code == static_cast<UINT>(NM_CLICK) || n.code == static_cast<UINT>(NM_RCLICK)) {
                std::string text = n.code == static_cast<UINT>(NM_CLICK) ? "click" : "rclick";
                if (n.itemNew)
                    text += ":" + Name(n.itemNew);
                parts.push_back(text);
            } else {
                parts.push_back("code" + std::to_string(static_cast<int>(n.code)));
            }
        }
    }
    return JoinNames(parts);
}

std::vector<Notice> TreeTest::OwnNotices(UINT code) const
{
    std::vector<Notice> result;
    for (const Notice& n : m_parent->notices) {
        if (n.own && n.code == code)
            result.push_back(n);
    }
    return result;
}

void TreeTest::CheckInvariant() const
{
    const std::set<HTREEITEM>& reported = m_parent->reportedSelection;
    std::set<HTREEITEM> actual;
    ForEachItem(*m_tree, m_tree->GetRootItem(), [&](HTREEITEM item) {
        if (m_tree->GetNativeState(item, TVIS_SELECTED))
            actual.insert(item);
    });
    auto names = [this](const std::set<HTREEITEM>& items) {
        std::vector<std::string> result;
        for (HTREEITEM item : items)
            result.push_back(Name(item));
        std::sort(result.begin(), result.end());
        return JoinNames(result);
    };
    EXPECT_EQ(names(reported), names(actual)) << "the notified selection differs from the TVIS_SELECTED bits";
}

void TreeTest::Select(const std::string& names)
{
    std::istringstream words(names);
    for (std::string name; words >> name;)
        m_tree->SetItemState(Item(name), TVIS_SELECTED, TVIS_SELECTED, FALSE);
    CheckInvariant();
}

void TreeTest::SetModifiers(bool ctrl, bool shift) const { treeinput::SetModifiers(ctrl, shift); }

void TreeTest::Key(UINT vk, bool ctrl, bool shift)
{
    SetModifiers(ctrl, shift);
    SendMessageW(m_tree->GetSafeHwnd(), WM_KEYDOWN, vk, 1);
    SetModifiers(false, false);
    CheckInvariant();
}

void TreeTest::Char(wchar_t c)
{
    SendMessageW(m_tree->GetSafeHwnd(), WM_CHAR, c, 1);
    CheckInvariant();
}

POINT TreeTest::PointOn(const std::string& name) const
{
    RECT rect{};
    EXPECT_TRUE(m_tree->GetItemRect(Item(name), rect, true)) << name;
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT TreeTest::PointRightOf(const std::string& name) const
{
    RECT rect{};
    EXPECT_TRUE(m_tree->GetItemRect(Item(name), rect, true)) << name;
    return POINT{rect.right + 40, (rect.top + rect.bottom) / 2};
}

POINT TreeTest::PointBelowItems() const
{
    HTREEITEM last = m_tree->GetRootItem();
    for (HTREEITEM next = last; next; next = m_tree->GetNextVisibleItem(next))
        last = next;
    RECT rect{};
    m_tree->GetItemRect(last, rect, false);
    return POINT{40, rect.bottom + 30};
}

void TreeTest::StartGesture(POINT point) { treeinput::StartGesture(m_tree->GetSafeHwnd(), point); }

void TreeTest::Press(POINT point, bool left, UINT keys)
{
    treeinput::Press(m_tree->GetSafeHwnd(), point, left, keys);
    CheckInvariant();
}

void TreeTest::Click(const std::string& name, UINT keys, bool left)
{
    POINT point = PointOn(name);
    StartGesture(point);
    PostButtonUp(left);
    m_parent->clickCarriesItem = true;
    Press(point, left, keys);
    m_parent->clickCarriesItem = false;
}

void TreeTest::PostMove(POINT point) { treeinput::PostMove(m_tree->GetSafeHwnd(), point); }

void TreeTest::PostButtonUp(bool left) { treeinput::PostButtonUp(m_tree->GetSafeHwnd(), left); }

void TreeTest::PostTimerTick(POINT screenCursor)
{
    SetCursorPos(screenCursor.x, screenCursor.y);
    PostMessageW(m_tree->GetSafeHwnd(), WM_TIMER, 1, 0);
}

void TreeTest::PostKey(UINT vk) { PostMessageW(m_tree->GetSafeHwnd(), WM_KEYDOWN, vk, 1); }

void TreeTest::DrainInput() const { treeinput::DrainInput(); }

std::string JoinNames(const std::vector<std::string>& names)
{
    std::string joined;
    for (const std::string& name : names) {
        if (!joined.empty())
            joined += ' ';
        joined += name;
    }
    return joined;
}
