// WinEvents about the children of one window's client area (OBJID_CLIENT), as assistive technology
// hears them: raised at once, or, inside a batch, held until the outermost batch ends. A batch that
// changed the selection of more children than a limit raises one EVENT_OBJECT_SELECTIONWITHIN for
// all of them, after its other events, instead of one event each.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace platform {

class WinEventBatcher {
public:
    explicit WinEventBatcher(size_t selectionLimit) : m_limit(selectionLimit) {}

    // Batches nest; only the end of the outermost raises what they held.
    void Begin() { ++m_depth; }
    void End(HWND window);

    // Raises event about a child of window; childId() gives its id, asked only when the event is
    // raised or held (not for a selection change that a batch already counts as one of many).
    template <typename ChildId>
    void Raise(HWND window, DWORD event, ChildId childId)
    {
        if (m_depth == 0) {
            NotifyWinEvent(event, window, OBJID_CLIENT, childId());
            return;
        }
        if (IsSelectionChange(event) && ++m_selections > m_limit) {
            DropSelectionChanges();
            return;
        }
        m_held.push_back(Held{event, childId()});
    }

    // Forgets what the batches hold (the window goes).
    void Clear();

private:
    struct Held {
        DWORD event;
        LONG child;
    };
    static bool IsSelectionChange(DWORD event)
    {
        return event == EVENT_OBJECT_SELECTIONADD || event == EVENT_OBJECT_SELECTIONREMOVE;
    }
    void DropSelectionChanges();

    std::vector<Held> m_held;
    size_t m_limit;
    size_t m_selections = 0; // selection changes in the running batches
    int m_depth = 0;
};

} // namespace platform
