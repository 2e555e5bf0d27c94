// The entry points of RUVFileTree.ocx. No exception leaves them.
#include <windows.h>
#include <olectl.h>

#include "control/CorbelApp.h"
#include "platform/com/Module.h"

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    try {
        return CCorbelApp::Instance().GetClassObject(clsid, iid, object);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

extern "C" HRESULT __stdcall DllCanUnloadNow() { return CCorbelApp::Instance().CanUnloadNow(); }

extern "C" HRESULT __stdcall DllRegisterServer()
{
    try {
        return CCorbelApp::Instance().RegisterServer(platform::ThisModulePath());
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

extern "C" HRESULT __stdcall DllUnregisterServer()
{
    try {
        return CCorbelApp::Instance().UnregisterServer();
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}
