// The module registered the way an installer does it, with the system's regsvr32, for as long
// as the object lives (or until Unregister).
#pragma once

#include <windows.h>

#include <string>

// Runs "regsvr32 /s [/u] module" and returns its exit code (0 for success).
DWORD RunRegsvr32(const std::wstring& module, bool unregister);

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
