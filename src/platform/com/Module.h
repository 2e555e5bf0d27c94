// The module (DLL or program) that contains this code.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

HMODULE ThisModule();
std::wstring ThisModulePath();

} // namespace platform
