// Registration the way an installer does it: the system's regsvr32 run on a module.
#pragma once

#include <windows.h>

#include <string>

// Runs "regsvr32 /s [/u] module" and returns its exit code (0 for success).
DWORD RunRegsvr32(const std::wstring& module, bool unregister);

// A path of the build machine (a Unix path under Wine) as Windows programs name it: "Z:\...".
std::wstring WindowsPath(const std::wstring& path);
