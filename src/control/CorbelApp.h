// The module: the class factories of the control and its property pages, and what the module's
// entry points do (class objects, unloading, self-registration).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/com/ClassFactory.h"

class CCorbelApp {
public:
    static CCorbelApp& Instance();

    // Registers the type library embedded in modulePath, then every class; SELFREG_E_TYPELIB or
    // SELFREG_E_CLASS name the step that failed.
    HRESULT RegisterServer(const std::wstring& modulePath);
    // Removes the type library's registration and every class's keys, leaving nothing behind.
    HRESULT UnregisterServer();
    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** object);
    // S_OK when no object and no lock remains.
    HRESULT CanUnloadNow() const;

private:
    CCorbelApp();
    std::vector<platform::ClassFactory*> Factories();

    platform::ClassFactory m_controlFactory;
    platform::ClassFactory m_generalPageFactory;
    platform::ClassFactory m_settingsPageFactory;
};
