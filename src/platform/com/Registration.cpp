#include "platform/com/Registration.h"

#include <objbase.h>
#include <oleauto.h>

#include <cwchar>
#include <initializer_list>
#include <iterator>
#include <utility>

#include "platform/com/ComPtr.h"
#include "platform/com/RegistryKey.h"

namespace platform {

namespace {

// Writes one key with its default value and, optionally, one named value.
HRESULT WriteKey(HKEY root, const std::wstring& path, const std::wstring& value, const wchar_t* name = nullptr,
                 const std::wstring& named = std::wstring())
{
    HRESULT hr = S_OK;
    const RegistryKey key = RegistryKey::Create(root, path, hr);
    if (SUCCEEDED(hr))
        hr = key.SetText(nullptr, value);
    if (SUCCEEDED(hr) && name)
        hr = key.SetText(name, named);
    return hr;
}

HRESULT DeleteTree(HKEY root, const std::wstring& path)
{
    const LSTATUS status = RegDeleteTreeW(root, path.c_str());
    return status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

// Writes each key with its value, in order, until one fails.
HRESULT WriteKeys(HKEY root, std::initializer_list<std::pair<std::wstring, std::wstring>> keys)
{
    HRESULT hr = S_OK;
    for (const auto& [path, value] : keys) {
        if (SUCCEEDED(hr))
            hr = WriteKey(root, path, value);
    }
    return hr;
}

// On 64-bit Windows the x64 and the x86 module each register in their own view of the classes
// (the 32-bit one under Wow6432Node), while ProgIDs and type libraries are shared by both.
constexpr bool kIs64Bit = sizeof(void*) == 8;
constexpr REGSAM kOtherView = kIs64Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

} // namespace

std::wstring GuidText(const GUID& guid)
{
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

HRESULT RegisterServerClass(const ServerClass& server, const std::wstring& modulePath, HKEY root)
{
    const std::wstring clsid = GuidText(server.clsid);
    const std::wstring classKey = L"CLSID\\" + clsid;
    HRESULT hr = WriteKey(root, classKey, server.typeName);
    if (SUCCEEDED(hr))
        hr = WriteKey(root, classKey + L"\\InprocServer32", modulePath, L"ThreadingModel", L"Apartment");
    if (SUCCEEDED(hr) && !server.progId.empty())
        hr = WriteKeys(root, {{classKey + L"\\ProgID", server.progId},
                              {server.progId, server.typeName},
                              {server.progId + L"\\CLSID", clsid}});
    if (SUCCEEDED(hr) && server.typeLibrary)
        hr = WriteKey(root, classKey + L"\\TypeLib", GuidText(*server.typeLibrary));
    return hr;
}

HRESULT RegisterControlClass(const ControlClass& control, const std::wstring& modulePath, HKEY root)
{
    if (control.progId.empty())
        return E_INVALIDARG; // a control is created by its ProgID
    HRESULT hr = RegisterServerClass({control.clsid, control.typeName, control.progId, control.typeLibrary},
                                     modulePath, root);
    const std::wstring classKey = L"CLSID\\" + GuidText(control.clsid);
    if (SUCCEEDED(hr))
        hr = WriteKeys(root, {{classKey + L"\\Control", std::wstring()},
                              {classKey + L"\\ToolboxBitmap32", modulePath + L", " + std::to_wstring(control.toolboxBitmapId)},
                              {classKey + L"\\MiscStatus", L"0"},
                              {classKey + L"\\MiscStatus\\1", std::to_wstring(control.miscStatus)},
                              {classKey + L"\\Version", control.typeLibraryVersion}});
    return hr;
}

HRESULT RegisterPropertyPageClass(const CLSID& clsid, const std::wstring& typeName, const std::wstring& modulePath,
                                  HKEY root)
{
    return RegisterServerClass({clsid, typeName, std::wstring(), std::nullopt}, modulePath, root);
}

HRESULT UnregisterClass(const CLSID& clsid, const std::wstring& progId, HKEY root)
{
    const std::wstring classKey = L"CLSID\\" + GuidText(clsid);
    HRESULT hr = DeleteTree(root, classKey);
    // The shared ProgID stays while the other bitness's module still registers the class.
    if (SUCCEEDED(hr) && !progId.empty() && !RegistryKey::Exists(root, classKey, kOtherView))
        hr = DeleteTree(root, progId);
    return hr;
}

HRESULT RegisterTypeLibrary(const std::wstring& modulePath)
{
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, library.Receive());
    if (SUCCEEDED(hr))
        hr = RegisterTypeLib(library.Get(), const_cast<OLECHAR*>(modulePath.c_str()), nullptr);
    return hr;
}

HRESULT UnregisterTypeLibrary(const GUID& library, WORD major, WORD minor, LCID locale)
{
    // The shared library key holds one path per bitness; only this module's may go, and a
    // library this bitness never registered (or removed already) is no failure.
    wchar_t entry[64] = {};
    swprintf(entry, std::size(entry), L"\\%x.%x\\%lx\\%ls", major, minor, static_cast<unsigned long>(locale),
             kIs64Bit ? L"win64" : L"win32");
    if (!RegistryKey::Exists(HKEY_CLASSES_ROOT, L"TypeLib\\" + GuidText(library) + entry))
        return S_OK;
    return UnRegisterTypeLib(library, major, minor, locale, kIs64Bit ? SYS_WIN64 : SYS_WIN32);
}

} // namespace platform
