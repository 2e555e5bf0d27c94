#include "platform/window/NotifyReflection.h"

#include "platform/window/MessageHook.h"

namespace platform {

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
    static const char key = 0;
    return InstallMessageHook(parent, &key, [](HWND hwnd, UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
        return message == WM_NOTIFY && OfferNotifyToSender(hwnd, lParam, result);
    });
}

} // namespace platform
