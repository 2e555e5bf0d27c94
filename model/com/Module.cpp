// The server's entry points: class objects, unloading, and self-registration.
#include <windows.h>
#include <oleauto.h>
#include <olectl.h>

#include <string>

#include "ClassFactory.h"
#include "Faults.h"
#include "RUVModel.h"
#include "platform/com/Registration.h"

namespace {

HMODULE g_module = nullptr;

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* name;
    const wchar_t* progId;
};

const ClassEntry kClasses[] = {
    {&CLSID_RUVDocument, L"RUV Document", L"RUVModel.Document"},
    {&CLSID_RUVNavigator, L"RUV Navigator", L"RUVModel.Navigator"},
};

using platform::GuidText;

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH * 4];
    DWORD length = GetModuleFileNameW(g_module, path, static_cast<DWORD>(std::size(path)));
    return length > 0 && length < std::size(path) ? std::wstring(path, length) : std::wstring();
}

bool SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value)
{
    HKEY handle = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle, nullptr) !=
        ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

bool RegisterClass(const ClassEntry& entry, const std::wstring& path)
{
    const std::wstring clsid = GuidText(*entry.clsid);
    const std::wstring key = L"CLSID\\" + clsid;
    return SetValue(key, nullptr, entry.name) && SetValue(key + L"\\InprocServer32", nullptr, path) &&
           SetValue(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") &&
           SetValue(key + L"\\ProgID", nullptr, entry.progId) &&
           SetValue(key + L"\\TypeLib", nullptr, GuidText(LIBID_RUVModelLib)) &&
           SetValue(entry.progId, nullptr, entry.name) && SetValue(std::wstring(entry.progId) + L"\\CLSID", nullptr, clsid);
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    IClassFactory* factory = ruvmodel::com::ClassFactoryFor(clsid);
    if (!factory)
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory->QueryInterface(iid, object);
}

extern "C" HRESULT __stdcall DllCanUnloadNow()
{
    return ruvmodel::faults::LiveObjects() == 0 && ruvmodel::com::ServerLocks() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT __stdcall DllRegisterServer()
{
    const std::wstring path = ModulePath();
    if (path.empty())
        return SELFREG_E_CLASS;
    ITypeLib* library = nullptr;
    HRESULT result = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
    if (FAILED(result))
        return SELFREG_E_TYPELIB;
    result = RegisterTypeLib(library, const_cast<OLECHAR*>(path.c_str()), nullptr);
    library->Release();
    if (FAILED(result))
        return SELFREG_E_TYPELIB;
    for (const ClassEntry& entry : kClasses) {
        if (!RegisterClass(entry, path))
            return SELFREG_E_CLASS;
    }
    return S_OK;
}

extern "C" HRESULT __stdcall DllUnregisterServer()
{
    // Everything goes even when a part is missing or fails, so that a half-registered server is
    // removable; what failed is reported.
    HRESULT classes = S_OK;
    for (const ClassEntry& entry : kClasses) {
        if (FAILED(platform::UnregisterClass(*entry.clsid, entry.progId)))
            classes = SELFREG_E_CLASS;
    }
    if (FAILED(platform::UnregisterTypeLibrary(LIBID_RUVModelLib, 1, 0, LOCALE_NEUTRAL)))
        return SELFREG_E_TYPELIB;
    return classes;
}
