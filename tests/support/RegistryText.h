// Reads a registry string value for a test; a missing key or value reads as missing.
#pragma once

#include <windows.h>

#include <string>

inline std::wstring RegistryText(HKEY root, const std::wstring& path, const wchar_t* name,
                                 const wchar_t* missing)
{
    wchar_t data[1024] = {};
    DWORD bytes = sizeof(data);
    if (RegGetValueW(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &bytes) != ERROR_SUCCESS)
        return missing;
    return data;
}
