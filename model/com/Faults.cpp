#include "Faults.h"

#include <atomic>
#include <map>
#include <mutex>

namespace ruvmodel::faults {
namespace {

struct Plan {
    int remaining; // calls to let pass before the failing one
    HRESULT result;
};

std::mutex g_mutex;
std::map<std::wstring, Plan> g_plans;
std::atomic<long> g_liveObjects{0};
std::atomic<short> g_hasPointTrue{0};

} // namespace

void Inject(const std::wstring& operation, int nth, HRESULT result)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_plans[operation] = Plan{nth - 1, result};
}

void ClearAll()
{
    std::lock_guard<std::mutex> lock(g_mutex);
    g_plans.clear();
    g_hasPointTrue = 0;
}

HRESULT Check(const wchar_t* operation)
{
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_plans.empty())
        return S_OK;
    auto found = g_plans.find(operation);
    if (found == g_plans.end())
        return S_OK;
    if (found->second.remaining-- > 0)
        return S_OK;
    HRESULT result = found->second.result;
    g_plans.erase(found);
    return result;
}

void OverrideHasPointTrue(short value) { g_hasPointTrue = value; }
short HasPointTrue() { return g_hasPointTrue.load(); }

long LiveObjects() { return g_liveObjects.load(); }
void ObjectCreated() { ++g_liveObjects; }
void ObjectDestroyed() { --g_liveObjects; }

} // namespace ruvmodel::faults
