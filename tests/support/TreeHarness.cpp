#include "support/TreeHarness.h"

#include <sstream>

#include "platform/window/TreeDump.h"
#include "support/TopWindow.h"
#include "support/TreeInput.h"

namespace {

constexpr UINT kRunAction = WM_APP + 1;
RecordingParent* g_parent = nullptr; // for the WinEvent hook

void Append(std::string& list, const std::string& word) { list += (list.empty() ? "" : " ") + word; }

} // namespace

RecordingParent::RecordingParent() : m_hWnd(MakeTopWindow(L"RUVTreeTestParent", L"tree test"))
{
    SetWindowSubclass(m_hWnd, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    SetForegroundWindow(m_hWnd);
    g_parent = this;
    SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, GetModuleHandleW(nullptr), Hear,
                    GetCurrentProcessId(), 0, WINEVENT_INCONTEXT);
}

void CALLBACK RecordingParent::Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (g_parent->tree && window == g_parent->tree->GetSafeHwnd() && object == OBJID_CLIENT)
        g_parent->events.push_back(HeardEvent{event, child, g_parent->tree->ChildItem(child)});
}

void RecordingParent::Post(std::function<void()> action)
{
    m_actions.push_back(std::move(action));
    PostMessageW(m_hWnd, kRunAction, 0, 0);
}

LRESULT CALLBACK RecordingParent::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
{
    auto& parent = *reinterpret_cast<RecordingParent*>(self);
    if (message == WM_NOTIFY)
        return parent.OnNotify(*reinterpret_cast<NMHDR*>(lParam));
    if (message == kRunAction && !parent.m_actions.empty()) {
        auto action = std::move(parent.m_actions.front());
        parent.m_actions.pop_front();
        action();
        return 0;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT RecordingParent::OnNotify(const NMHDR& header)
{
    static const std::set<UINT> kTreeViewCodes{TVN_SELCHANGINGW, TVN_SELCHANGEDW,    TVN_BEGINDRAGW,    TVN_BEGINRDRAGW,
                                               TVN_DELETEITEMW,  TVN_ITEMEXPANDINGW, TVN_ITEMEXPANDEDW};
    Notice notice;
    notice.code = header.code;
    notice.own = tree && tree->IsSendingNotify();
    const bool click = header.code == static_cast<UINT>(NM_CLICK) || header.code == static_cast<UINT>(NM_RCLICK);
    if (header.code == TVN_ITEMCHANGINGW)
        notice.itemNew = reinterpret_cast<const NMTVITEMCHANGE&>(header).hItem;
    if (kTreeViewCodes.count(header.code) || (click && notice.own && clickCarriesItem)) {
        const auto& nm = reinterpret_cast<const NMTREEVIEWW&>(header);
        notice.itemNew = nm.itemNew.hItem;
        notice.itemOld = nm.itemOld.hItem;
        // The tree's own name one item, by handle and item data only; a drag, the press point.
        const TVITEMW& item = notice.itemNew ? nm.itemNew : nm.itemOld;
        const TVITEMW& other = notice.itemNew ? nm.itemOld : nm.itemNew;
        const bool drag = header.code == TVN_BEGINDRAGW || header.code == TVN_BEGINRDRAGW;
        EXPECT_TRUE(!notice.own || (header.idFrom == static_cast<UINT_PTR>(GetDlgCtrlID(tree->GetSafeHwnd())) &&
                                    item.mask == (TVIF_HANDLE | TVIF_PARAM) && other.mask == 0 && !other.hItem &&
                                    static_cast<DWORD_PTR>(item.lParam) == tree->GetItemData(item.hItem) &&
                                    (!drag || (nm.ptDrag.x == pressedAt.x && nm.ptDrag.y == pressedAt.y))))
            << "notification " << static_cast<int>(header.code) << " of the tree's own";
    }
    notices.push_back(notice);
    if (notice.own && notice.code == TVN_SELCHANGEDW) {
        notifiedChanges.emplace_back(notice.itemNew != nullptr, tree->ChildIdOf(notice.itemNew ? notice.itemNew : notice.itemOld));
        reportedSelection.insert(notice.itemNew);
        reportedSelection.erase(notice.itemOld);
        reportedSelection.erase(nullptr);
    }
    if (onNotice)
        onNotice(notice);
    return header.code == TVN_SELCHANGINGW && notice.own && answerSelChanging ? answerSelChanging(notice) : 0;
}

void TreeTest::SetUp()
{
    // One parent window for the whole program: hiding or destroying a top-level window makes
    // Wine wait two seconds for a window manager that Xvfb does not have.
    static RecordingParent* parent = new RecordingParent();
    m_parent = parent;
}

void TreeTest::TearDown()
{
    if (m_tree)
        CheckInvariant();
    Release();
    treeinput::DrainInput();
}

void TreeTest::Release()
{
    m_parent->onNotice = nullptr;
    m_parent->answerSelChanging = nullptr;
    m_parent->tree = nullptr;
    m_parent->reportedSelection.clear();
    m_tree.reset();
    m_items.clear();
    checkCollapsed = false;
}

void TreeTest::Build(const std::vector<ItemSpec>& items, DWORD style)
{
    Release();
    m_tree = std::make_unique<CMultiTree>();
    RECT client;
    GetClientRect(m_parent->Hwnd(), &client);
    ASSERT_TRUE(m_tree->Create(style, client, m_parent->Hwnd(), kTreeId)) << "error " << GetLastError();
    m_parent->tree = m_tree.get();
    DWORD_PTR data = 0;
    for (const ItemSpec& spec : items) {
        const std::wstring text(spec.name, spec.name + std::char_traits<char>::length(spec.name));
        m_items[spec.name] = m_tree->InsertItem(text.c_str(), spec.parent ? Item(spec.parent) : TVI_ROOT, TVI_LAST, ++data);
        ASSERT_NE(m_items[spec.name], nullptr);
    }
    UpdateWindow(Hwnd());
    ClearLog();
}

void TreeTest::BuildDefault(DWORD style)
{
    Build({{"A", nullptr}, {"A1", "A"}, {"A2", "A"}, {"A2a", "A2"}, {"A3", "A"}, {"B", nullptr}, {"B1", "B"}, {"C", nullptr},
           {"D", nullptr}, {"E", nullptr}}, style);
    checkCollapsed = true;
    Expand("A");
    ClearLog();
}

void TreeTest::BuildRows(int count)
{
    std::vector<std::string> names(static_cast<size_t>(count));
    std::vector<ItemSpec> items;
    for (size_t i = 0; i < names.size(); ++i)
        items.push_back({(names[i] = "R" + std::to_string(i)).c_str(), nullptr});
    Build(items);
}

HTREEITEM TreeTest::Item(const std::string& name) const
{
    auto found = m_items.find(name);
    return found == m_items.end() ? nullptr : found->second;
}

std::string TreeTest::Name(HTREEITEM item) const
{
    for (const auto& [name, handle] : m_items)
        if (handle == item)
            return name;
    std::string text;
    for (wchar_t c : TextOf(item))
        text += c < 0x80 ? static_cast<char>(c) : '?';
    return item ? text : "-";
}

void TreeTest::Expand(const std::string& name, UINT action)
{
    m_tree->Expand(Item(name), action);
    CheckInvariant();
}

std::vector<HTREEITEM> TreeTest::Walk() const
{
    std::vector<HTREEITEM> items;
    std::function<void(HTREEITEM)> visit = [&](HTREEITEM first) {
        for (HTREEITEM item = first; item; item = m_tree->GetNextSiblingItem(item)) {
            items.push_back(item);
            visit(m_tree->GetChildItem(item));
        }
    };
    visit(m_tree->GetRootItem());
    return items;
}

std::set<HTREEITEM> TreeTest::AllItems() const
{
    const std::vector<HTREEITEM> items = Walk();
    return std::set<HTREEITEM>(items.begin(), items.end());
}

std::string TreeTest::Selected() const
{
    std::string names;
    for (HTREEITEM item : Walk()) {
        if (m_tree->GetNativeState(item, TVIS_SELECTED))
            Append(names, Name(item));
    }
    return names;
}

std::string TreeTest::Caret() const { return Name(m_tree->GetCaretItem()); }

std::wstring TreeTest::Dump(HTREEITEM first, bool images) const
{
    return platform::DumpTree(platform::TreeView(Hwnd()), first, {.inlined = true, .images = images});
}

std::string TreeTest::Word(const Notice& n) const
{
    const bool changing = n.code == TVN_SELCHANGINGW;
    if (n.own && (changing || n.code == TVN_SELCHANGEDW))
        return (changing ? "?" : "") + std::string(n.itemNew ? "+" + Name(n.itemNew) : "-" + Name(n.itemOld));
    if (n.code == TVN_ITEMCHANGINGW)
        return "changing:" + Name(n.itemNew);
    if (!n.own)
        return "";
    static const std::map<UINT, std::string> kNames{{NM_CLICK, "click"}, {NM_RCLICK, "rclick"},
        {TVN_BEGINDRAGW, "drag"}, {TVN_BEGINRDRAGW, "rdrag"}, {kDeletedByParent, "deleted"}};
    const std::string name = kNames.count(n.code) ? kNames.at(n.code) : "code" + std::to_string(int(n.code));
    return n.itemNew ? name + ":" + Name(n.itemNew) : name;
}

std::string TreeTest::EventLog() const
{
    static const std::map<DWORD, std::string> kWords{{EVENT_OBJECT_SELECTIONADD, "+"}, {EVENT_OBJECT_SELECTIONREMOVE, "-"},
        {EVENT_OBJECT_FOCUS, "focus:"}, {EVENT_OBJECT_STATECHANGE, "state:"}, {EVENT_OBJECT_SELECTIONWITHIN, "within"}};
    std::string log;
    for (const HeardEvent& heard : m_parent->events) {
        if (heard.event != EVENT_OBJECT_FOCUS || heard.child != CHILDID_SELF)
            Append(log, kWords.at(heard.event) + (heard.child == CHILDID_SELF ? "" : Name(heard.item)));
    }
    return log;
}

void TreeTest::ClearLog()
{
    m_parent->notices.clear();
    m_parent->events.clear();
    m_parent->notifiedChanges.clear();
}

platform::ComPtr<IAccessible> TreeTest::Accessible() const
{
    platform::ComPtr<IAccessible> accessible;
    EXPECT_EQ(AccessibleObjectFromWindow(Hwnd(), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                         reinterpret_cast<void**>(accessible.Receive())), S_OK);
    return accessible;
}

std::string TreeTest::OwnLog() const
{
    std::string log;
    for (const Notice& n : m_parent->notices) {
        if (const std::string word = Word(n); !word.empty())
            Append(log, word);
    }
    return log;
}

void TreeTest::CheckInvariant() const
{
    if (!IsWindow(Hwnd()))
        return; // a tree being destroyed announces nothing

    std::multiset<std::string> reported, marked;
    for (HTREEITEM item : m_parent->reportedSelection)
        reported.insert(Name(item));
    for (HTREEITEM item : Walk()) {
        if (!m_tree->GetNativeState(item, TVIS_SELECTED))
            continue;
        marked.insert(Name(item));
        for (HTREEITEM up = m_tree->GetParentItem(item); up && checkCollapsed; up = m_tree->GetParentItem(up))
            EXPECT_TRUE(m_tree->GetNativeState(up, TVIS_EXPANDED)) << Name(item) << " is selected under collapsed " << Name(up);
    }
    EXPECT_EQ(reported, marked) << "the notified selection differs from the TVIS_SELECTED bits";

    // One WinEvent a change, unless a gesture changed too many to list.
    std::vector<std::pair<bool, LONG>> announced;
    bool many = false;
    for (const HeardEvent& heard : m_parent->events) {
        many = many || heard.event == EVENT_OBJECT_SELECTIONWITHIN;
        if (heard.event == EVENT_OBJECT_SELECTIONADD || heard.event == EVENT_OBJECT_SELECTIONREMOVE)
            announced.emplace_back(heard.event == EVENT_OBJECT_SELECTIONADD, heard.child);
    }
    EXPECT_TRUE(many || announced == m_parent->notifiedChanges) << "the WinEvents differ from the notifications";
}

void TreeTest::Select(const std::string& names)
{
    std::istringstream words(names);
    for (std::string name; words >> name;)
        m_tree->SetItemState(Item(name), TVIS_SELECTED, TVIS_SELECTED, FALSE);
    CheckInvariant();
}

void TreeTest::Key(UINT vk, bool ctrl, bool shift)
{
    treeinput::SetModifiers(ctrl, shift);
    SendMessageW(Hwnd(), WM_KEYDOWN, vk, 1);
    treeinput::SetModifiers(false, false);
    CheckInvariant();
}

POINT TreeTest::PointOn(const std::string& name) const { return PointAt(name, false); }

POINT TreeTest::PointAt(const std::string& where, bool rightOfLabel) const
{
    RECT rect{};
    if (where == "-") {
        HTREEITEM last = m_tree->GetRootItem();
        for (HTREEITEM next = last; next; next = m_tree->GetNextVisibleItem(next))
            last = next;
        m_tree->GetItemRect(last, rect, false);
        return POINT{40, rect.bottom + 30};
    }
    const bool button = where[0] == '+';
    HTREEITEM item = Item(button ? where.substr(1) : where);
    EXPECT_TRUE(m_tree->GetItemRect(item, rect, true)) << where;
    const int y = (rect.top + rect.bottom) / 2;
    for (int x = 0; button && x < rect.left; ++x) {
        UINT flags = 0;
        if (m_tree->HitTest(POINT{x, y}, flags) == item && (flags & TVHT_ONITEMBUTTON))
            return POINT{x, y};
    }
    EXPECT_FALSE(button) << "no expand button for " << where;
    return POINT{rightOfLabel ? rect.right + 40 : (rect.left + rect.right) / 2, y};
}

void TreeTest::Click(const std::string& name, UINT keys, bool left)
{
    treeinput::StartGesture(Hwnd(), PointOn(name));
    treeinput::PostButtonUp(Hwnd(), left);
    Press(PointOn(name), left, keys);
}

void TreeTest::Press(POINT point, bool left, UINT keys)
{
    UINT flags = 0;
    m_parent->clickCarriesItem = m_tree->HitTest(point, flags) && (flags & TVHT_ONITEM);
    m_parent->pressedAt = point;
    treeinput::Press(Hwnd(), point, left, keys);
    m_parent->clickCarriesItem = false;
    CheckInvariant();
}

