// A user's input to the control's tree: clicks with and without Ctrl and Shift, double and right
// clicks, keys, rubber bands, expanding and collapsing. Mouse loops read what is posted before the
// button goes down (a native button-down waits for its button-up); keys go through the site's
// loop, the control's key handling first, with Ctrl and Shift in the thread's keyboard state.
#include "ChaosHost.h"

#include "support/TreeInput.h"
#include "tree/ScopedValue.h"
#include "platform/window/TreeView.h"

namespace chaos {

namespace {

struct Rows {
    explicit Rows(HWND window) : tree(window)
    {
        GetClientRect(window, &client);
        for (HTREEITEM item = tree.GetFirstVisibleItem(); item; item = tree.GetNextVisibleItem(item)) {
            RECT rect{};
            if (!tree.GetItemRect(item, rect, true) || rect.top >= client.bottom)
                break;
            labels.push_back(rect);
        }
    }
    // A point on row k (modulo the rows): on its label, its button and indentation, or right of it.
    POINT At(Step& step, uint32_t k) const
    {
        if (labels.empty())
            return POINT{client.right / 2, client.bottom / 2};
        const RECT& rect = labels[k % labels.size()];
        const LONG y = (rect.top + rect.bottom) / 2;
        switch (step.Below(6)) {
        case 0: return POINT{rect.left - 10, y};
        case 1: return POINT{rect.right + 30, y};
        case 2: return POINT{client.right / 2, client.bottom - 4}; // below the last row, or on one
        default: return POINT{(rect.left + rect.right) / 2, y};
        }
    }
    platform::TreeView tree;
    RECT client{};
    std::vector<RECT> labels;
};

const WORD kKeys[] = {VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_SPACE, VK_HOME, VK_END, VK_PRIOR, VK_NEXT,
                      'A',   'C',     'P',     '1',      VK_F10,   VK_APPS, VK_ESCAPE, VK_RETURN};

} // namespace

void ChaosHost::InputStep(Step& step)
{
    HWND window = m_site.TreeWindow();
    if (!window)
        return;
    Rows rows(window);
    const uint32_t row = step.Below(64);
    const bool ctrl = step.Chance(25), shift = step.Chance(20);
    const UINT keys = (ctrl ? MK_CONTROL : 0) | (shift ? MK_SHIFT : 0);
    treeinput::SetModifiers(ctrl, shift);
    const uint32_t gesture = step.Below(12);
    const bool left = gesture <= 3 || gesture == 8 || gesture == 9;
    ScopedValue<UINT> pressed(m_buttonUp, gesture == 4 ? WM_RBUTTONUP : left ? WM_LBUTTONUP : 0);
    Say("gesture " + std::to_string(gesture) + " on row " + std::to_string(row) + (ctrl ? " ctrl" : "") +
        (shift ? " shift" : ""));
    switch (gesture) {
    case 0:
    case 1:
    case 2: // a click
        treeinput::Click(window, rows.At(step, row), keys);
        break;
    case 3: { // a double click
        const POINT at = rows.At(step, row);
        treeinput::StartGesture(window, at);
        PostMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON | keys, MAKELPARAM(at.x, at.y));
        PostMessageW(window, WM_LBUTTONUP, keys, MAKELPARAM(at.x, at.y));
        break;
    }
    case 4: // a right click
        treeinput::Click(window, rows.At(step, row), keys, false);
        break;
    case 5:
    case 6:
    case 7: { // a key, or the context menu asked for by the keyboard
        const WORD key = kKeys[step.Below(std::size(kKeys))];
        Say("key " + std::to_string(key));
        if (step.Chance(10)) {
            PostMessageW(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(-1, -1));
        } else {
            PostMessageW(window, WM_KEYDOWN, key, 1);
            PostMessageW(window, WM_KEYUP, key, 0xC0000001);
        }
        break;
    }
    case 8:
    case 9: { // a rubber band over some rows, perhaps ended by Escape
        const POINT from = rows.At(step, row);
        treeinput::StartGesture(window, from);
        for (uint32_t moves = 1 + step.Below(4); moves > 0; --moves)
            treeinput::PostMove(window, rows.At(step, step.Below(64)));
        if (step.Chance(20))
            PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 1);
        treeinput::PostButtonUp(window);
        treeinput::Press(window, from, true, keys);
        break;
    }
    default: { // a branch expanded, collapsed or toggled by its host
        static const UINT actions[] = {TVE_EXPAND, TVE_COLLAPSE, TVE_TOGGLE};
        HTREEITEM item = rows.tree.GetFirstVisibleItem();
        for (uint32_t k = row % (rows.labels.size() + 1); item && k > 0; --k)
            item = rows.tree.GetNextVisibleItem(item);
        if (item)
            rows.tree.Expand(item, actions[step.Below(3)]);
        break;
    }
    }
    Pump();
    treeinput::SetModifiers(false, false);
}

} // namespace chaos
