// The names and numbers that identify the control, its pages and its module to the system.
#pragma once

#include <windows.h>
#include <oleidl.h>

#include "resources/RUVFileTreeResources.h"

inline constexpr wchar_t kCorbelProgId[] = L"CORBEL.CorbelCtrl.1";
inline constexpr DWORD kCorbelMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                                           OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
static_assert(kCorbelMiscStatus == 0x20191, "containers read the miscellaneous status from the registry");

// The type library's (its header's enumerations clash with the settings' own, so only these).
extern "C" const GUID LIBID_QuillRUVFileTree;
extern "C" const IID DIID__DCorbel;
extern "C" const IID DIID__DCorbelEvents;
extern "C" const CLSID CLSID_Corbel;

extern const CLSID CLSID_CorbelPropPage;
extern const CLSID CLSID_SettingsPropPage;
