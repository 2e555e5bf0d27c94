#include "platform/com/RegistryKey.h"

namespace platform {

RegistryKey RegistryKey::Open(HKEY root, const std::wstring& path, REGSAM view)
{
    RegistryKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, key.Receive()) != ERROR_SUCCESS)
        key.Release(); // a failed open leaves nothing to close
    return key;
}

RegistryKey RegistryKey::Create(HKEY root, const std::wstring& path, HRESULT& result, REGSAM view)
{
    RegistryKey key;
    const LSTATUS status =
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE | view, nullptr, key.Receive(), nullptr);
    if (status != ERROR_SUCCESS)
        key.Release();
    result = HRESULT_FROM_WIN32(status);
    return key;
}

std::optional<std::wstring> RegistryKey::Text(const wchar_t* name) const
{
    DWORD bytes = 0;
    if (!Get() || RegGetValueW(Get(), nullptr, name, RRF_RT_REG_SZ, nullptr, nullptr, &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(Get(), nullptr, name, RRF_RT_REG_SZ, nullptr, text.data(), &bytes) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(bytes / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

HRESULT RegistryKey::SetText(const wchar_t* name, const std::wstring& value) const
{
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return HRESULT_FROM_WIN32(
        RegSetValueExW(Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes));
}

DWORD RegistryKey::SubkeyCount() const
{
    DWORD count = 0;
    if (Get())
        RegQueryInfoKeyW(Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr);
    return count;
}

} // namespace platform
