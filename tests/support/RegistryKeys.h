// The registry entries that registering a class must write, as one table per kind of class; the
// registration tests of the platform (a test class under a private root) and of the built module
// (the control and its pages, through regsvr32) check against them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/com/Registration.h"

namespace registrykeys {

struct Expected {
    std::wstring path;      // below the classes root
    const wchar_t* name;    // the value's name; null for the key's default value
    std::wstring value;
};

inline std::vector<Expected> ControlClass(const platform::ControlClass& control, const std::wstring& module)
{
    const std::wstring key = L"CLSID\\" + platform::GuidText(control.clsid);
    return {
        {key, nullptr, control.typeName},
        {key + L"\\InprocServer32", nullptr, module},
        {key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
        {key + L"\\ProgID", nullptr, control.progId},
        {key + L"\\Control", nullptr, L""},
        {key + L"\\ToolboxBitmap32", nullptr, module + L", " + std::to_wstring(control.toolboxBitmapId)},
        {key + L"\\MiscStatus", nullptr, L"0"},
        {key + L"\\MiscStatus\\1", nullptr, std::to_wstring(control.miscStatus)},
        {key + L"\\TypeLib", nullptr, platform::GuidText(control.typeLibrary)},
        {key + L"\\Version", nullptr, control.typeLibraryVersion},
        {control.progId, nullptr, control.typeName},
        {control.progId + L"\\CLSID", nullptr, platform::GuidText(control.clsid)},
    };
}

inline std::vector<Expected> PropertyPageClass(const CLSID& page, const std::wstring& typeName, const std::wstring& module)
{
    const std::wstring key = L"CLSID\\" + platform::GuidText(page);
    return {
        {key, nullptr, typeName},
        {key + L"\\InprocServer32", nullptr, module},
        {key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
    };
}

} // namespace registrykeys
