// The registry entries of an in-process server's classes: a control (with its ProgID, toolbox
// bitmap, miscellaneous status and type library) and a property page, and their removal.
// Entries go under a classes root, HKEY_CLASSES_ROOT unless a caller (a test) gives another.
#pragma once

#include <windows.h>

#include <string>

#include "platform/com/Module.h"

namespace platform {

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
HRESULT RegisterControlClass(const ControlClass& control, const std::wstring& modulePath,
                             HKEY root = HKEY_CLASSES_ROOT);
HRESULT RegisterPropertyPageClass(const CLSID& clsid, const std::wstring& typeName, const std::wstring& modulePath,
                                  HKEY root = HKEY_CLASSES_ROOT);
// Removes the class ID's key and, when progId is not empty, the ProgID's; absent keys are no
// failure. The ProgID, which both registry views share, stays while the module of the other
// bitness still registers the class in its view.
HRESULT UnregisterClass(const CLSID& clsid, const std::wstring& progId, HKEY root = HKEY_CLASSES_ROOT);
// Removes this bitness's registration of a type library (win32 or win64), leaving the other's;
// S_OK when this bitness has none.
HRESULT UnregisterTypeLibrary(const GUID& library, WORD major, WORD minor, LCID locale);

} // namespace platform
