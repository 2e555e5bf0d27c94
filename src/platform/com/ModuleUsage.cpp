#include "platform/com/ModuleUsage.h"

#include <atomic>

namespace platform {

namespace {

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

} // namespace

ModuleObject::ModuleObject() { ++g_objects; }
ModuleObject::~ModuleObject() { --g_objects; }

void LockModule(bool lock)
{
    if (lock) {
        ++g_locks;
        return;
    }
    // An unbalanced unlock from a client must not make the count negative and unload us early.
    long current = g_locks.load();
    while (current > 0 && !g_locks.compare_exchange_weak(current, current - 1)) {
    }
}

long ModuleObjectCount() { return g_objects.load(); }

bool ModuleCanUnload() { return g_objects.load() == 0 && g_locks.load() == 0; }

} // namespace platform
