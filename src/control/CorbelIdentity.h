// The names and numbers that identify the control, its pages and its module to the system.
#pragma once

#include <windows.h>

inline constexpr wchar_t kCorbelProgId[] = L"CORBEL.CorbelCtrl.1";
// OLEMISC_SETCLIENTSITEFIRST | ACTIVATEWHENVISIBLE | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE
inline constexpr DWORD kCorbelMiscStatus = 0x20191;
// String resources: the control's and the pages' type names.
inline constexpr UINT kCorbelTypeNameId = 1;
inline constexpr UINT kCorbelPropPageTypeNameId = 2;
inline constexpr UINT kSettingsPropPageTypeNameId = 3;
// Bitmap resources: the toolbox picture and the item image strip.
inline constexpr int kToolboxBitmapId = 1;
inline constexpr int kItemImagesBitmapId = 202;
inline constexpr int kAboutDialogId = 1;

// The type library's (its header's enumerations clash with the settings' own, so only these).
extern "C" const GUID LIBID_QuillRUVFileTree;
extern "C" const IID DIID__DCorbel;
extern "C" const IID DIID__DCorbelEvents;
extern "C" const CLSID CLSID_Corbel;

extern const CLSID CLSID_CorbelPropPage;
extern const CLSID CLSID_SettingsPropPage;
