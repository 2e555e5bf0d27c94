#include "platform/window/MessageScope.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace platform {

namespace {

// The scopes on the thread's stack, outermost first. A scope is known by its own address: the
// stack grows down, so a recorded scope at or below a new one cannot be on the stack any more. It
// was unwound without its destructor (a fault that the system's callback dispatcher swallowed),
// and is dropped, so that deferred work is never stranded behind it.
thread_local std::vector<const MessageScope*> t_scopes;
thread_local std::vector<std::function<void()>> t_deferred;

bool Below(const MessageScope* scope, const MessageScope* other)
{
    return reinterpret_cast<std::uintptr_t>(scope) <= reinterpret_cast<std::uintptr_t>(other);
}

} // namespace

MessageScope::MessageScope()
{
    while (!t_scopes.empty() && Below(t_scopes.back(), this))
        t_scopes.pop_back();
    t_scopes.push_back(this);
}

MessageScope::~MessageScope()
{
    // This scope and any that were unwound inside it without their destructors.
    while (!t_scopes.empty() && Below(t_scopes.back(), this))
        t_scopes.pop_back();
    if (!t_scopes.empty())
        return;
    // Deferred work may itself send messages (a deletion destroys windows): it runs while this
    // scope still counts, so that nothing it starts is deferred to a run that never comes.
    t_scopes.push_back(this);
    while (!t_deferred.empty()) {
        std::vector<std::function<void()>> work = std::exchange(t_deferred, {});
        for (auto& item : work) {
            try {
                item();
            } catch (...) {
                // No exception may leave the window procedure that ends here.
            }
        }
    }
    t_scopes.clear();
}

bool InsideMessage() { return !t_scopes.empty(); }

void DeferUntilMessagesReturn(std::function<void()> work)
{
    if (t_scopes.empty())
        work();
    else
        t_deferred.push_back(std::move(work));
}

} // namespace platform
