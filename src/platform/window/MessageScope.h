// Work that must wait until no window procedure of ours is running on this thread. An object whose
// last reference goes while one of its windows (or a child's) is still inside a message handler is
// deleted after the outermost handler returns, not under its feet.
#pragma once

#include <functional>

namespace platform {

// Marks a window procedure of ours as running; the outermost one runs the deferred work on exit.
// One scope per window-procedure frame: scopes are told apart by where they are on the stack.
class MessageScope {
public:
    MessageScope();
    ~MessageScope();
    MessageScope(const MessageScope&) = delete;
    MessageScope& operator=(const MessageScope&) = delete;
};

bool InsideMessage();

// Runs work now when no handler of ours is running, otherwise when the outermost returns.
void DeferUntilMessagesReturn(std::function<void()> work);

} // namespace platform
