#include "RegisteredControl.h"

#include "HostedControl.h"

std::wstring ControlModulePath()
{
    wchar_t path[MAX_PATH * 2] = {};
    GetModuleFileNameW(ControlModule(), path, MAX_PATH * 2);
    return path;
}
