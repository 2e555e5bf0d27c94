// The control's module registered with the system's regsvr32, for as long as the object lives (or
// until Unregister).
#pragma once

#include <windows.h>

#include <string>

#include "support/Regsvr32.h"

// The loaded control module's own path, as the system names it.
std::wstring ControlModulePath();

class RegisteredControl {
public:
    RegisteredControl() : m_exitCode(RunRegsvr32(ControlModulePath(), false)) {}
    ~RegisteredControl() { Unregister(); }
    RegisteredControl(const RegisteredControl&) = delete;
    RegisteredControl& operator=(const RegisteredControl&) = delete;

    DWORD ExitCode() const { return m_exitCode; }
    DWORD Unregister()
    {
        if (!m_registered)
            return 0;
        m_registered = false;
        return RunRegsvr32(ControlModulePath(), true);
    }

private:
    DWORD m_exitCode;
    bool m_registered = true;
};
