#include "platform/window/MessageScope.h"

#include <utility>
#include <vector>

namespace platform {

namespace {

thread_local unsigned t_depth = 0;
thread_local std::vector<std::function<void()>> t_deferred;

} // namespace

MessageScope::MessageScope() { ++t_depth; }

MessageScope::~MessageScope()
{
    if (t_depth > 1) {
        --t_depth;
        return;
    }
    // Deferred work may itself send messages (a deletion destroys windows): it runs while the
    // scope still counts, so that nothing it starts is deferred to a run that never comes.
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
    t_depth = 0;
}

bool InsideMessage() { return t_depth > 0; }

void DeferUntilMessagesReturn(std::function<void()> work)
{
    if (t_depth == 0)
        work();
    else
        t_deferred.push_back(std::move(work));
}

} // namespace platform
