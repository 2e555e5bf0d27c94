#include "platform/window/NotifyReflection.h"

#include <mutex>
#include <unordered_map>

namespace platform {
namespace {

// The procedure each reflecting window had before; the windows of every thread share it.
std::mutex g_mutex;
std::unordered_map<HWND, WNDPROC> g_previousProcs;

WNDPROC PreviousProc(HWND hwnd)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto found = g_previousProcs.find(hwnd);
    return found == g_previousProcs.end() ? nullptr : found->second;
}

LRESULT CALLBACK ReflectingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC previous = PreviousProc(hwnd);
    if (!previous)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NOTIFY) {
        LRESULT result = 0;
        if (OfferNotifyToSender(hwnd, lParam, result))
            return result;
    } else if (message == WM_NCDESTROY) {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_previousProcs.erase(hwnd);
    }
    return CallWindowProcW(previous, hwnd, message, wParam, lParam);
}

} // namespace

UINT ReflectedNotifyMessage()
{
    static const UINT message = RegisterWindowMessageW(L"RUVFileTree.ReflectedNotify");
    return message;
}

bool OfferNotifyToSender(HWND parent, LPARAM lParam, LRESULT& result)
{
    auto* pHeader = reinterpret_cast<NMHDR*>(lParam);
    if (!pHeader || !pHeader->hwndFrom || pHeader->hwndFrom == parent || !IsChild(parent, pHeader->hwndFrom))
        return false;
    if (GetWindowThreadProcessId(pHeader->hwndFrom, nullptr) != GetCurrentThreadId())
        return false;
    ReflectedNotify reflected{pHeader, 0};
    if (!SendMessageW(pHeader->hwndFrom, ReflectedNotifyMessage(), 0, reinterpret_cast<LPARAM>(&reflected)))
        return false;
    result = reflected.result;
    return true;
}

bool InstallNotifyReflection(HWND parent)
{
    if (!parent || !IsWindow(parent))
        return false;
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_previousProcs.count(parent))
        return true;
    auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ReflectingProc)));
    if (!previous)
        return false;
    g_previousProcs.emplace(parent, previous);
    return true;
}

} // namespace platform
