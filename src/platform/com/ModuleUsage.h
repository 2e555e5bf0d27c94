// What keeps an in-process server loaded: its live objects and the locks its class factories
// hold. DllCanUnloadNow answers from here.
#pragma once

namespace platform {

// Counts one live object of the module for as long as it exists.
class ModuleObject {
public:
    ModuleObject();
    ~ModuleObject();
    ModuleObject(const ModuleObject&) = delete;
    ModuleObject& operator=(const ModuleObject&) = delete;
};

void LockModule(bool lock);
long ModuleObjectCount();
// True when no object and no lock remains.
bool ModuleCanUnload();

} // namespace platform
