// The server's entry points: class objects, unloading, and self-registration.
#include <windows.h>
#include <olectl.h>

#include <string>

#include "ClassFactory.h"
#include "RUVModel.h"
#include "platform/com/Module.h"
#include "platform/com/ModuleUsage.h"
#include "platform/com/Registration.h"

namespace {

const platform::ServerClass kClasses[] = {
    {CLSID_RUVDocument, L"RUV Document", L"RUVModel.Document", LIBID_RUVModelLib},
    {CLSID_RUVNavigator, L"RUV Navigator", L"RUVModel.Navigator", LIBID_RUVModelLib},
};

} // namespace

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

extern "C" HRESULT __stdcall DllCanUnloadNow() { return platform::ModuleCanUnload() ? S_OK : S_FALSE; }

extern "C" HRESULT __stdcall DllRegisterServer()
{
    const std::wstring path = platform::ThisModulePath();
    if (path.empty() || FAILED(platform::RegisterTypeLibrary(path)))
        return SELFREG_E_TYPELIB;
    for (const platform::ServerClass& server : kClasses) {
        if (FAILED(platform::RegisterServerClass(server, path)))
            return SELFREG_E_CLASS;
    }
    return S_OK;
}

extern "C" HRESULT __stdcall DllUnregisterServer()
{
    // Everything goes even when a part is missing or fails, so that a half-registered server is
    // removable; what failed is reported.
    HRESULT classes = S_OK;
    for (const platform::ServerClass& server : kClasses) {
        if (FAILED(platform::UnregisterClass(server.clsid, server.progId)))
            classes = SELFREG_E_CLASS;
    }
    if (FAILED(platform::UnregisterTypeLibrary(LIBID_RUVModelLib, 1, 0, LOCALE_NEUTRAL)))
        return SELFREG_E_TYPELIB;
    return classes;
}
