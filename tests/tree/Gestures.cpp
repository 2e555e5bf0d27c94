#include "Gestures.h"

#include <map>
#include <sstream>
#include <vector>

#include "platform/com/ScopedVariant.h"
#include "support/TreeInput.h"

namespace {

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

long SelectFlags(const std::string& letters)
{
    static const std::map<char, long> kFlags{{'f', SELFLAG_TAKEFOCUS}, {'s', SELFLAG_TAKESELECTION},
        {'e', SELFLAG_EXTENDSELECTION}, {'a', SELFLAG_ADDSELECTION}, {'r', SELFLAG_REMOVESELECTION}};
    long flags = 0;
    for (char c : letters)
        flags |= kFlags.at(c);
    return flags;
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

void GestureTest::Mouse(const std::string& verb, UINT keys, const std::string& events, const std::function<void()>& action)
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
    Press(from, left, keys);
}

void GestureTest::Do(const std::string& gesture, const std::function<void()>& action)
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
        CMultiTree& tree = Tree();
        const std::pair<UINT, UINT> bits = StateAndMask(args.size() > 1 ? args[1] : "");
        std::map<std::string, std::function<void()>> steps{
            {"type", [&] { for (char c : rest) SendMessageW(Hwnd(), WM_CHAR, static_cast<WPARAM>(c), 1); }},
            {"focus", [&] { SetFocus(Hwnd()); }},
            {"blur", [&] { SetFocus(Parent().Hwnd()); }},
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
            {"acc", [&] {
                 const platform::ScopedVariant child(item(1) ? tree.ChildIdOf(item(1)) : CHILDID_SELF);
                 Accessible()->accSelect(SelectFlags(args.at(0)), child.Value());
             }},
            {"parent-deletes", [&] {
                 Parent().onNotice = [this, trigger = args.at(0), victim = Item(args.at(1)), done = false](
                                          const Notice& n) mutable {
                     if (!done && Word(n) == trigger) {
                         done = true;
                         Tree().DeleteItem(victim); // its own deselection is announced on the way out
                         Parent().notices.push_back(Notice{kDeletedByParent, victim, nullptr, true});
                     }
                 };
             }},
            {"parent-vetoes", [&] { Parent().answerSelChanging = [](const Notice& n) { return n.itemNew ? 1 : 0; }; }},
            {"nodrag", [&] { SetWindowLongPtrW(Hwnd(), GWL_STYLE, static_cast<LONG_PTR>(tree.GetStyle() | TVS_DISABLEDRAGDROP)); }},
        };
        for (const char* mouse : {"click", "rclick", "drag", "rdrag", "band"})
            steps[mouse] = [&] { Mouse(verb, keys, rest, action); };
        const std::pair<const char*, UINT> kKeys[] = {{"up", VK_UP}, {"down", VK_DOWN}, {"left", VK_LEFT}, {"right", VK_RIGHT},
                                                      {"space", VK_SPACE}, {"home", VK_HOME}, {"end", VK_END},
                                                      {"pgup", VK_PRIOR}, {"pgdn", VK_NEXT}, {"a", 'A'}, {"c", 'C'}};
        for (const auto& [name, vk] : kKeys)
            steps[name] = [&, vk = vk] { Key(vk, keys & MK_CONTROL, keys & MK_SHIFT); };
        if (auto known = steps.find(verb); known != steps.end())
            known->second();
        else
            ADD_FAILURE() << "unknown step";
        CheckInvariant();
    }
}

void GestureTest::Run(const TreeRow& row, const std::function<void()>& action)
{
    SCOPED_TRACE(std::string("selected \"") + row.selected + "\", caret " + row.caret + ": " + row.gesture);
    BuildDefault();
    Select(row.selected);
    if (Item(row.caret))
        Tree().SetCaretItem(Item(row.caret));
    ClearLog();
    Do(row.gesture, action);
    EXPECT_EQ(Selected(), row.selectedAfter);
    EXPECT_EQ(Caret(), row.caretAfter);
    EXPECT_EQ(OwnLog(), row.log);
}
