#include "platform/com/Registration.h"

#include <objbase.h>
#include <oleauto.h>

#include <cwchar>
#include <iterator>

namespace platform {

namespace {

// A registry key opened or created for writing, closed when it goes.
class WritableKey {
public:
    WritableKey(HKEY parent, const std::wstring& path)
    {
        m_result = HRESULT_FROM_WIN32(
            RegCreateKeyExW(parent, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &m_key, nullptr));
    }
    ~WritableKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    WritableKey(const WritableKey&) = delete;
    WritableKey& operator=(const WritableKey&) = delete;

    HRESULT Result() const { return m_result; }
    // Sets a string value (the default value for an empty name); keeps the first failure.
    WritableKey& Set(const wchar_t* name, const std::wstring& value)
    {
        if (SUCCEEDED(m_result)) {
            const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
            m_result = HRESULT_FROM_WIN32(
                RegSetValueExW(m_key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes));
        }
        return *this;
    }

private:
    HKEY m_key = nullptr;
    HRESULT m_result = E_FAIL;
};

// Writes one key with its default value and, optionally, one named value.
HRESULT WriteKey(HKEY root, const std::wstring& path, const std::wstring& value, const wchar_t* name = nullptr,
                 const std::wstring& named = std::wstring())
{
    WritableKey key(root, path);
    key.Set(nullptr, value);
    if (name)
        key.Set(name, named);
    return key.Result();
}

HRESULT DeleteTree(HKEY root, const std::wstring& path)
{
    const LSTATUS status = RegDeleteTreeW(root, path.c_str());
    return status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

// The keys every in-process class has: its type name and its server, apartment-threaded.
HRESULT RegisterInprocClass(const std::wstring& classKey, const std::wstring& typeName,
                            const std::wstring& modulePath, HKEY root)
{
    HRESULT hr = WriteKey(root, classKey, typeName);
    if (SUCCEEDED(hr))
        hr = WriteKey(root, classKey + L"\\InprocServer32", modulePath, L"ThreadingModel", L"Apartment");
    return hr;
}

bool KeyExists(HKEY root, const std::wstring& path, REGSAM view = 0)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
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

HRESULT RegisterControlClass(const ControlClass& control, const std::wstring& modulePath, HKEY root)
{
    if (control.progId.empty())
        return E_INVALIDARG; // its keys would land on the root itself
    const std::wstring clsid = GuidText(control.clsid);
    const std::wstring classKey = L"CLSID\\" + clsid;
    const std::pair<std::wstring, std::wstring> keys[] = {
        {control.progId, control.typeName},
        {control.progId + L"\\CLSID", clsid},
        {classKey + L"\\ProgID", control.progId},
        {classKey + L"\\Control", std::wstring()},
        {classKey + L"\\ToolboxBitmap32", modulePath + L", " + std::to_wstring(control.toolboxBitmapId)},
        {classKey + L"\\MiscStatus", L"0"},
        {classKey + L"\\MiscStatus\\1", std::to_wstring(control.miscStatus)},
        {classKey + L"\\TypeLib", GuidText(control.typeLibrary)},
        {classKey + L"\\Version", control.typeLibraryVersion},
    };
    HRESULT hr = RegisterInprocClass(classKey, control.typeName, modulePath, root);
    for (const auto& [path, value] : keys) {
        if (SUCCEEDED(hr))
            hr = WriteKey(root, path, value);
    }
    return hr;
}

HRESULT RegisterPropertyPageClass(const CLSID& clsid, const std::wstring& typeName, const std::wstring& modulePath,
                                  HKEY root)
{
    return RegisterInprocClass(L"CLSID\\" + GuidText(clsid), typeName, modulePath, root);
}

HRESULT UnregisterClass(const CLSID& clsid, const std::wstring& progId, HKEY root)
{
    const std::wstring classKey = L"CLSID\\" + GuidText(clsid);
    HRESULT hr = DeleteTree(root, classKey);
    // The shared ProgID stays while the other bitness's module still registers the class.
    if (SUCCEEDED(hr) && !progId.empty() && !KeyExists(root, classKey, kOtherView))
        hr = DeleteTree(root, progId);
    return hr;
}

HRESULT UnregisterTypeLibrary(const GUID& library, WORD major, WORD minor, LCID locale)
{
    // The shared library key holds one path per bitness; only this module's may go, and a
    // library this bitness never registered (or removed already) is no failure.
    wchar_t entry[64] = {};
    swprintf(entry, std::size(entry), L"\\%x.%x\\%lx\\%ls", major, minor, static_cast<unsigned long>(locale),
             kIs64Bit ? L"win64" : L"win32");
    if (!KeyExists(HKEY_CLASSES_ROOT, L"TypeLib\\" + GuidText(library) + entry))
        return S_OK;
    return UnRegisterTypeLib(library, major, minor, locale, kIs64Bit ? SYS_WIN64 : SYS_WIN32);
}

} // namespace platform
