// The registry entries of an in-process server: its classes (a plain class, a control with its
// ProgID, toolbox bitmap, miscellaneous status and type library, a property page), the type
// library embedded in the module, and their removal. Class entries go under a classes root,
// HKEY_CLASSES_ROOT unless a caller (a test) gives another.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/com/Module.h"

namespace platform {

// An in-process, apartment-threaded class: its type name and, when given, its ProgID (with the
// ProgID's own key) and type library.
struct ServerClass {
    CLSID clsid;
    std::wstring typeName;
    std::wstring progId; // none when empty
    std::optional<GUID> typeLibrary;
};

// A control: a server class with a ProgID, a type library, and the keys containers look for.
struct ControlClass {
    CLSID clsid;
    std::wstring progId;
    std::wstring typeName;
    int toolboxBitmapId;
    DWORD miscStatus;
    GUID typeLibrary;
    std::wstring typeLibraryVersion; // "1.0"
};

std::wstring GuidText(const GUID& guid);

// Each returns S_OK or the registry's failure as an HRESULT.
HRESULT RegisterServerClass(const ServerClass& server, const std::wstring& modulePath, HKEY root = HKEY_CLASSES_ROOT);
HRESULT RegisterControlClass(const ControlClass& control, const std::wstring& modulePath,
                             HKEY root = HKEY_CLASSES_ROOT);
HRESULT RegisterPropertyPageClass(const CLSID& clsid, const std::wstring& typeName, const std::wstring& modulePath,
                                  HKEY root = HKEY_CLASSES_ROOT);
// Removes the class ID's key and, when progId is not empty, the ProgID's; absent keys are no
// failure. The ProgID, which both registry views share, stays while the module of the other
// bitness still registers the class in its view.
HRESULT UnregisterClass(const CLSID& clsid, const std::wstring& progId, HKEY root = HKEY_CLASSES_ROOT);
// Registers the type library that is a resource of the module at modulePath.
HRESULT RegisterTypeLibrary(const std::wstring& modulePath);
// Removes this bitness's registration of a type library (win32 or win64), leaving the other's;
// S_OK when this bitness has none.
HRESULT UnregisterTypeLibrary(const GUID& library, WORD major, WORD minor, LCID locale);

} // namespace platform
