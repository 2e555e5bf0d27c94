// An open registry key, closed when it goes, with the few reads and writes that registration and
// its tests need. Failures come back as HRESULTs; a missing key or value is an empty optional.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/com/ScopedHandle.h"

namespace platform {

struct RegistryKeyTraits {
    using Handle = HKEY;
    void Close(HKEY key) const { RegCloseKey(key); }
};

class RegistryKey : public ScopedHandle<RegistryKeyTraits> {
public:
    RegistryKey() = default;

    // The key at path below root, for reading; view may ask for the other bitness's view
    // (KEY_WOW64_32KEY or KEY_WOW64_64KEY). Not open when there is none.
    static RegistryKey Open(HKEY root, const std::wstring& path, REGSAM view = 0);
    // The key at path below root for writing, made with its parents where missing.
    static RegistryKey Create(HKEY root, const std::wstring& path, HRESULT& result, REGSAM view = 0);
    static bool Exists(HKEY root, const std::wstring& path, REGSAM view = 0) { return bool(Open(root, path, view)); }

    // A string value (the default value for a null name).
    std::optional<std::wstring> Text(const wchar_t* name = nullptr) const;
    HRESULT SetText(const wchar_t* name, const std::wstring& value) const;
    // How many keys are directly below this one.
    DWORD SubkeyCount() const;
};

} // namespace platform
