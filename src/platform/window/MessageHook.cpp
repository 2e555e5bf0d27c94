#include "platform/window/MessageHook.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>
#include <vector>

namespace platform {
namespace {

using Hooks = std::vector<std::pair<const void*, MessageHook>>;

// A hooked window: its procedure before, and its handlers. A change of handlers makes a new list,
// so a message goes on over the list it started with while a handler adds or removes one.
struct Hooked {
    WNDPROC previous = nullptr;
    std::shared_ptr<const Hooks> hooks;
};

std::mutex g_mutex;
std::unordered_map<HWND, Hooked> g_hooked;

LRESULT CALLBACK HookingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Hooked hooked;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        auto found = g_hooked.find(hwnd);
        if (found == g_hooked.end())
            return DefWindowProcW(hwnd, message, wParam, lParam);
        hooked = found->second;
        if (message == WM_NCDESTROY)
            g_hooked.erase(found);
    }
    // The last message goes to the window's own procedure only, which frees what it has.
    for (const auto& entry : *hooked.hooks) {
        LRESULT result = 0;
        try {
            if (message != WM_NCDESTROY && entry.second(hwnd, message, wParam, lParam, result))
                return result;
        } catch (...) {
            return 0;
        }
    }
    return CallWindowProcW(hooked.previous, hwnd, message, wParam, lParam);
}

} // namespace

bool InstallMessageHook(HWND window, const void* key, MessageHook hook)
{
    if (!window || !IsWindow(window) || !hook)
        return false;
    std::lock_guard<std::mutex> lock(g_mutex);
    auto found = g_hooked.find(window);
    if (found == g_hooked.end()) {
        auto previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HookingProc)));
        if (!previous)
            return false;
        found = g_hooked.emplace(window, Hooked{previous, std::make_shared<const Hooks>()}).first;
    }
    auto hooks = std::make_shared<Hooks>(*found->second.hooks);
    auto same = std::find_if(hooks->begin(), hooks->end(), [key](const auto& entry) { return entry.first == key; });
    if (same != hooks->end())
        same->second = std::move(hook);
    else
        hooks->emplace_back(key, std::move(hook));
    found->second.hooks = std::move(hooks);
    return true;
}

void RemoveMessageHook(HWND window, const void* key)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    auto found = g_hooked.find(window);
    if (found == g_hooked.end())
        return;
    auto hooks = std::make_shared<Hooks>(*found->second.hooks);
    std::erase_if(*hooks, [key](const auto& entry) { return entry.first == key; });
    found->second.hooks = std::move(hooks);
}

} // namespace platform
