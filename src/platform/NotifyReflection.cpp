#include "platform/NotifyReflection.h"

#include <commctrl.h>

namespace platform {
namespace {

constexpr UINT_PTR kReflectionSubclassId = 0x52554654; // 'RUFT'

LRESULT CALLBACK ReflectingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_NOTIFY) {
        LRESULT result = 0;
        if (OfferNotifyToSender(hwnd, lParam, result))
            return result;
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, ReflectingProc, kReflectionSubclassId);
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
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
    return parent && SetWindowSubclass(parent, ReflectingProc, kReflectionSubclassId, 0);
}

} // namespace platform
