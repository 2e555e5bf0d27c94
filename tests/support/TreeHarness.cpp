#include "support/TreeHarness.h"

#include <sstream>

#include "platform/window/TreeDump.h"
#include "support/TopWindow.h"
#include "support/TreeInput.h"

namespace {

constexpr UINT kRunAction = WM_APP + 1;
constexpr UINT kDeletedByParent = 1; // a code no notification has

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);) {
        if (!part.empty())
            parts.push_back(part);
    }
    return parts;
}

void Append(std::string& list, const std::string& word) { list += (list.empty() ? "" : " ") + word; }

// "+f-s": "+" sets and "-" clears f(ocus), s(elected), b(old), e(xpanded); a state alone: "sb".
std::pair<UINT, UINT> StateAndMask(const std::string& flags)
{
    UINT state = 0, mask = 0;
    bool on = true;
    for (char c : flags) {
        const UINT bit = c == 'f' ? TVIS_FOCUSED : c == 's' ? TVIS_SELECTED : c == 'b' ? TVIS_BOLD : c == 'e' ? TVIS_EXPANDED : 0;
        on = c == '+' || (c != '-' && on);
        mask |= bit;
        state |= on ? bit : 0;
    }
    return {state, mask};
}

// Sends TVN_ITEMCHANGINGW to the tree's parent as tree-views since Windows Vista do before they
// change an item's state (Wine's never does); returns the answer, nonzero for a refusal.
LRESULT Announce(HWND tree, HTREEITEM item, UINT stateOld, UINT stateNew)
{
    NMTVITEMCHANGE change{.hdr = {tree, static_cast<UINT_PTR>(GetDlgCtrlID(tree)), TVN_ITEMCHANGINGW},
                          .uChanged = TVIF_STATE, .hItem = item, .uStateNew = stateNew, .uStateOld = stateOld, .lParam = 0};
    return SendMessageW(GetParent(tree), WM_NOTIFY, change.hdr.idFrom, reinterpret_cast<LPARAM>(&change));
}

// Such a tree-view: it announces every write of the selected bit, and honours a refusal.
LRESULT CALLBACK AnnouncingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    const auto* item = message == TVM_SETITEMW ? reinterpret_cast<const TVITEMW*>(lParam) : nullptr;
    if (item && (item->mask & TVIF_STATE) && (item->stateMask & TVIS_SELECTED)) {
        const UINT old = platform::TreeView(hwnd).GetNativeState(item->hItem, 0xFF);
        const UINT now = (old & ~item->stateMask) | (item->state & item->stateMask);
        if (old != now && Announce(hwnd, item->hItem, old, now))
            return FALSE;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace

RecordingParent::RecordingParent() : m_hWnd(MakeTopWindow(L"RUVTreeTestParent", L"tree test"))
{
    SetWindowSubclass(m_hWnd, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    SetForegroundWindow(m_hWnd);
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
    // Deletions are the native control's, even when a parent deletes from inside the tree's own.
    notice.own = tree && tree->IsSendingNotify() && header.code != TVN_DELETEITEMW;
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
    // The test's callbacks refer to its own locals and tree.
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

std::string TreeTest::OwnLog() const
{
    std::string log;
    for (const Notice& n : m_parent->notices) {
        const bool changing = n.code == TVN_SELCHANGINGW;
        if (n.own && (changing || n.code == TVN_SELCHANGEDW)) {
            if (n.itemNew)
                Append(log, (changing ? "?+" : "+") + Name(n.itemNew));
            if (n.itemOld)
                Append(log, (changing ? "?-" : "-") + Name(n.itemOld));
        } else if (n.code == TVN_ITEMCHANGINGW) {
            Append(log, "changing:" + Name(n.itemNew));
        } else if (n.own) {
            const std::string name = n.code == static_cast<UINT>(NM_CLICK)    ? "click"
                                     : n.code == static_cast<UINT>(NM_RCLICK) ? "rclick"
                                     : n.code == TVN_BEGINDRAGW               ? "drag"
                                     : n.code == TVN_BEGINRDRAGW              ? "rdrag"
                                     : n.code == kDeletedByParent             ? "deleted"
                                                                              : "code" + std::to_string(static_cast<int>(n.code));
            Append(log, n.itemNew ? name + ":" + Name(n.itemNew) : name);
        }
    }
    return log;
}

void TreeTest::CheckInvariant() const
{
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
}

void TreeTest::Select(const std::string& names)
{
    for (const std::string& name : Split(names, ' '))
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

void TreeTest::Click(const std::string& name, UINT keys, bool left) { Mouse(left ? "click" : "rclick", keys, name, {}); }

void TreeTest::Mouse(const std::string& verb, UINT keys, const std::string& events, const std::function<void()>& action)
{
    const bool band = verb == "band", left = verb[0] != 'r';
    const std::vector<std::string> steps = Split(events, '>');
    const POINT from = PointAt(steps.at(0), band);
    treeinput::StartGesture(Hwnd(), from);
    for (size_t i = 1; i < steps.size(); ++i) {
        if (steps[i] == "!")
            PostAction(action);
        else if (steps[i] == "esc")
            PostMessageW(Hwnd(), WM_KEYDOWN, VK_ESCAPE, 1);
        else if (steps[i] == "~")
            treeinput::PostMove(Hwnd(), {from.x + GetSystemMetrics(SM_CXDRAG), from.y - GetSystemMetrics(SM_CYDRAG)});
        else
            treeinput::PostMove(Hwnd(), PointAt(steps[i], band));
    }
    if (verb.find("drag") != std::string::npos)
        treeinput::PostMove(Hwnd(), {from.x + 30, from.y + 30});
    else
        treeinput::PostButtonUp(Hwnd(), left);
    UINT flags = 0;
    m_parent->clickCarriesItem = m_tree->HitTest(from, flags) && (flags & TVHT_ONITEM);
    m_parent->pressedAt = from;
    treeinput::Press(Hwnd(), from, left, keys);
    m_parent->clickCarriesItem = false;
}

void TreeTest::Do(const std::string& gesture, const std::function<void()>& action)
{
    for (std::string step : Split(gesture, ' ')) {
        SCOPED_TRACE("step " + step);
        UINT keys = 0;
        while (step.rfind("ctrl+", 0) == 0 || step.rfind("shift+", 0) == 0) {
            keys |= step[0] == 'c' ? MK_CONTROL : MK_SHIFT;
            step.erase(0, step.find('+') + 1);
        }
        const std::string verb = step.substr(0, step.find(':'));
        const std::string rest = verb.size() < step.size() ? step.substr(verb.size() + 1) : "";
        const std::vector<std::string> args = Split(rest, ':');
        auto item = [&](size_t i) { return args.at(i) == "-" ? nullptr : args[i] == "*" ? TVI_ROOT : Item(args[i]); };
        CMultiTree& tree = *m_tree;
        const std::pair<UINT, UINT> bits = StateAndMask(args.size() > 1 ? args[1] : "");
        std::map<std::string, std::function<void()>> steps{
            {"type", [&] { for (char c : rest) SendMessageW(Hwnd(), WM_CHAR, static_cast<WPARAM>(c), 1); }},
            {"focus", [&] { SetFocus(Hwnd()); }},
            {"blur", [&] { SetFocus(m_parent->Hwnd()); }},
            {"set", [&] { tree.SetItemState(item(0), bits.first, bits.second, rest.find('!') != std::string::npos); }},
            {"native-set", [&] { tree.SetNativeState(item(0), bits.first, bits.second); }},
            {"announce", [&] { Announce(Hwnd(), item(0), bits.first, StateAndMask(args.at(2)).first); }},
            {"announcing", [&] { SetWindowSubclass(Hwnd(), AnnouncingProc, 1, 0); }},
            {"single", [&] { tree.SetMultiSelect(FALSE); }},
            {"caret", [&] { tree.SetCaretItem(item(0)); }},
            {"span", [&] { tree.SelectSpan(item(0), item(1), TRUE); }},
            {"addspan", [&] { tree.SelectSpan(item(0), item(1), FALSE); }},
            {"all", [&] { tree.SetAllSelected(TRUE); }},
            {"none", [&] { tree.SetAllSelected(FALSE); }},
            {"all-but", [&] { tree.SetAllSelectedExcept(TRUE, item(0)); }},
            {"none-but", [&] { tree.SetAllSelectedExcept(FALSE, item(0)); }},
            {"select-below", [&] { tree.SetDescendantsSelected(item(0), TRUE, TRUE); }},
            {"deselect-children", [&] { tree.SetDescendantsSelected(item(0), FALSE, FALSE); }},
            {"expand", [&] { tree.Expand(item(0), TVE_EXPAND); }},
            {"collapse", [&] { tree.Expand(item(0), TVE_COLLAPSE); }},
            {"delete", [&] { tree.DeleteItem(item(0)); }},
            {"native-delete", [&] { tree.DeleteNativeItem(item(0)); }},
            {"parent-deletes", [&] {
                 m_parent->onNotice = [this, trigger = args.at(0), victim = Item(args.at(1)), done = false](
                                          const Notice& n) mutable {
                     if (!done && n.own && n.code == TVN_SELCHANGEDW && Name(n.itemOld) == trigger) {
                         done = true;
                         m_tree->DeleteItem(victim); // its own deselection is announced on the way out
                         m_parent->notices.push_back(Notice{kDeletedByParent, victim, nullptr, true});
                     }
                 };
             }},
            {"parent-vetoes", [&] { m_parent->answerSelChanging = [](const Notice& n) { return n.itemNew ? 1 : 0; }; }},
            {"nodrag", [&] { SetWindowLongPtrW(Hwnd(), GWL_STYLE, static_cast<LONG_PTR>(tree.GetStyle() | TVS_DISABLEDRAGDROP)); }},
        };
        for (const char* mouse : {"click", "rclick", "drag", "rdrag", "band"})
            steps[mouse] = [&] { Mouse(verb, keys, rest, action); };
        const std::pair<const char*, UINT> kKeys[] = {{"up", VK_UP},       {"down", VK_DOWN},   {"left", VK_LEFT},
                                                      {"right", VK_RIGHT}, {"space", VK_SPACE}, {"home", VK_HOME},
                                                      {"end", VK_END}};
        for (const auto& [name, vk] : kKeys)
            steps[name] = [&, vk = vk] { Key(vk, keys & MK_CONTROL, keys & MK_SHIFT); };
        auto known = steps.find(verb);
        if (known != steps.end())
            known->second();
        else
            ADD_FAILURE() << "unknown step";
        CheckInvariant();
    }
}

void TreeTest::Run(const TreeRow& row, const std::function<void()>& action)
{
    SCOPED_TRACE(std::string("selected \"") + row.selected + "\", caret " + row.caret + ": " + row.gesture);
    BuildDefault();
    Select(row.selected);
    if (Item(row.caret))
        m_tree->SetCaretItem(Item(row.caret));
    ClearLog();
    Do(row.gesture, action);
    EXPECT_EQ(Selected(), row.selectedAfter);
    EXPECT_EQ(Caret(), row.caretAfter);
    EXPECT_EQ(OwnLog(), row.log);
}
