#include "platform/window/WinEvents.h"

#include <algorithm>
#include <utility>

namespace platform {

void WinEventBatcher::End(HWND window)
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    // Taken out first: a hook in this process hears each event at once and may start a batch.
    const std::vector<Held> held = std::exchange(m_held, {});
    const bool many = std::exchange(m_selections, 0) > m_limit;
    if (!window || !IsWindow(window))
        return;
    for (const Held& event : held)
        NotifyWinEvent(event.event, window, OBJID_CLIENT, event.child);
    if (many)
        NotifyWinEvent(EVENT_OBJECT_SELECTIONWITHIN, window, OBJID_CLIENT, CHILDID_SELF);
}

void WinEventBatcher::Clear()
{
    m_held.clear();
    m_selections = 0;
}

void WinEventBatcher::DropSelectionChanges()
{
    if (m_selections != m_limit + 1)
        return; // dropped when the limit was passed
    std::erase_if(m_held, [](const Held& event) { return IsSelectionChange(event.event); });
}

} // namespace platform
