#include "platform/window/Clipboard.h"

#include <cstring>

#include "platform/com/ScopedHandle.h"

namespace platform {

namespace {

struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    void Close(HGLOBAL memory) const { GlobalFree(memory); }
};

class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND window) : m_open(OpenClipboard(window) != FALSE) {}
    ~OpenedClipboard()
    {
        if (m_open)
            CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return m_open; }

private:
    bool m_open;
};

} // namespace

bool PutTextOnClipboard(HWND window, const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    ScopedHandle<GlobalMemoryTraits> memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory)
        return false;
    void* data = GlobalLock(memory.Get());
    if (!data)
        return false;
    std::memcpy(data, text.c_str(), bytes);
    GlobalUnlock(memory.Get());
    const OpenedClipboard clipboard(window);
    if (!clipboard || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory.Get()))
        return false;
    memory.Release(); // the clipboard owns it now
    return true;
}

} // namespace platform
