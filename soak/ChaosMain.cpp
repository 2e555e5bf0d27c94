// The chaos host's program: runs the steps of one seed (all of 0 .. N-1, or the ones --only
// names), checks the control after each, and ends with the end-of-run checks and the run's
// figures. A failed check, a hang (a step over 10 s, seen by a watchdog thread) and a crash each
// print one line naming the seed and the step, and end the process with a non-zero code:
//
//   chaos_host --seed S --steps N [--only I,J,K] [--verbose]
//   FAIL seed=S step=K [check] details      exit 1
//   HANG seed=S step=K                      exit 3
//   CRASH seed=S step=K code=0x...          exit 4
#include <windows.h>
#include <ole2.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ChaosHost.h"
#include "support/TopWindow.h"

namespace {

std::atomic<uint64_t> g_seed{0}, g_step{0};
std::atomic<ULONGLONG> g_stepStarted{0};
constexpr ULONGLONG kStepLimitMs = 10000;

[[noreturn]] void Die(const char* what, const std::string& details, UINT code)
{
    std::printf("%s seed=%llu step=%llu %s\n", what, static_cast<unsigned long long>(g_seed.load()),
                static_cast<unsigned long long>(g_step.load()), details.c_str());
    std::fflush(stdout);
    TerminateProcess(GetCurrentProcess(), code);
    for (;;) {}
}

// Where an address lies: its module's name and the offset in it.
std::string Place(void* address)
{
    HMODULE module = nullptr;
    char name[MAX_PATH] = "?";
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCWSTR>(address), &module))
        GetModuleFileNameA(module, name, MAX_PATH);
    char place[MAX_PATH + 32];
    std::snprintf(place, sizeof(place), "%s+0x%llx", std::strrchr(name, '\\') ? std::strrchr(name, '\\') + 1 : name,
                  static_cast<unsigned long long>(static_cast<char*>(address) - reinterpret_cast<char*>(module)));
    return place;
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* info)
{
    char code[32];
    std::snprintf(code, sizeof(code), "code=0x%08lX at ", static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
    Die("CRASH", code + Place(info->ExceptionRecord->ExceptionAddress), 4);
}

// A fault in our own modules is a crash even where the system would swallow it (a window
// procedure called back from the system): ours never fault on purpose.
LONG WINAPI OnFault(EXCEPTION_POINTERS* info)
{
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    if (code != EXCEPTION_ACCESS_VIOLATION && code != EXCEPTION_STACK_OVERFLOW && code != EXCEPTION_ILLEGAL_INSTRUCTION &&
        code != EXCEPTION_INT_DIVIDE_BY_ZERO && code != STATUS_HEAP_CORRUPTION)
        return EXCEPTION_CONTINUE_SEARCH;
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<LPCWSTR>(info->ExceptionRecord->ExceptionAddress), &module);
    if (module && (module == GetModuleHandleW(nullptr) || module == GetModuleHandleW(L"RUVFileTree.ocx") ||
                   module == GetModuleHandleW(L"RUVModel.dll")))
        return OnCrash(info);
    return EXCEPTION_CONTINUE_SEARCH;
}

void Watchdog()
{
    for (;;) {
        Sleep(250);
        const ULONGLONG started = g_stepStarted;
        if (started && GetTickCount64() - started > kStepLimitMs)
            Die("HANG", "took over 10 s", 3);
    }
}

std::vector<uint64_t> Indexes(const char* list)
{
    std::vector<uint64_t> indexes;
    std::stringstream text(list);
    for (std::string item; std::getline(text, item, ',');)
        if (!item.empty())
            indexes.push_back(std::stoull(item));
    return indexes;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) { return ++*reinterpret_cast<int*>(count), TRUE; }

int CountThreadWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

void PrintFigures(const chaos::Figures& figures)
{
    auto print = [](const char* title, const std::map<std::string, long>& counts) {
        std::printf("  %s:", title);
        for (const auto& [name, count] : counts)
            std::printf(" %s=%ld", name.c_str(), count);
        std::printf("\n");
    };
    std::printf("figures seed=%llu steps=%llu controls=%ld reentrant=%ld slowest=%.0fms (step %llu, %s)\n",
                static_cast<unsigned long long>(g_seed.load()), static_cast<unsigned long long>(figures.steps),
                figures.controls, figures.reentrant, figures.slowestMs,
                static_cast<unsigned long long>(figures.slowestStep), figures.slowestKind.c_str());
    print("steps", figures.stepKinds);
    print("files", figures.files);
    print("outcomes", figures.outcomes);
    print("events", figures.events);
}

std::string ReadPlant()
{
    std::ifstream file(RUV_SAMPLES_DIR "/plant.json", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

} // namespace

int main(int argc, char** argv)
{
    uint64_t steps = 200;
    std::vector<uint64_t> only;
    bool verbose = false;
    for (int i = 1; i < argc; ++i) {
        const bool valued = i + 1 < argc;
        if (!std::strcmp(argv[i], "--verbose"))
            verbose = true;
        else if (valued && !std::strcmp(argv[i], "--seed"))
            g_seed = std::stoull(argv[++i]);
        else if (valued && !std::strcmp(argv[i], "--steps"))
            steps = std::stoull(argv[++i]);
        else if (valued && !std::strcmp(argv[i], "--only"))
            only = Indexes(argv[++i]);
    }
    if (only.empty())
        for (uint64_t i = 0; i < steps; ++i)
            only.push_back(i);
    SetUnhandledExceptionFilter(OnCrash);
    AddVectoredExceptionHandler(1, OnFault);
    std::thread(Watchdog).detach();
    OleInitialize(nullptr);

    // The gestures move the pointer of a display that whatever runs next shares: it goes back.
    POINT pointerAtStart{};
    GetCursorPos(&pointerAtStart);
    const std::string plant = ReadPlant();
    HWND window = MakeTopWindow(L"ChaosHostWindow", L"Chaos host");
    int failures = 0;
    {
        chaos::ChaosHost host(window, plant);
        host.verbose = verbose;
        const DWORD userAtStart = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
        const DWORD gdiAtStart = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
        const int windowsAtStart = CountThreadWindows();
        for (uint64_t index : only) {
            chaos::Step step = chaos::DescribeStep(g_seed, index);
            if (verbose)
                std::printf("step %llu: %s\n", static_cast<unsigned long long>(index), chaos::NameOf(step.kind));
            g_step = index;
            const ULONGLONG started = GetTickCount64(); // the watchdog's clock, and the figures'
            g_stepStarted = started;
            host.Run(step);
            host.Check();
            g_stepStarted = 0;
            const double ms = static_cast<double>(GetTickCount64() - started);
            auto& figures = host.figures;
            ++figures.steps;
            ++figures.stepKinds[chaos::NameOf(step.kind)];
            if (ms > figures.slowestMs)
                figures.slowestMs = ms, figures.slowestStep = index, figures.slowestKind = chaos::NameOf(step.kind);
            if (!host.failures.empty())
                break;
        }
        if (host.failures.empty()) {
            g_step = only.empty() ? 0 : only.back() + 1; // the end of the run
            g_stepStarted = GetTickCount64();
            host.Finish();
            g_stepStarted = 0;
            const DWORD user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
            const DWORD gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
            if (user != userAtStart || gdi != gdiAtStart)
                host.failures.push_back({"resources", "USER objects " + std::to_string(userAtStart) + " -> " +
                                                          std::to_string(user) + ", GDI objects " +
                                                          std::to_string(gdiAtStart) + " -> " + std::to_string(gdi)});
            if (CountThreadWindows() != windowsAtStart)
                host.failures.push_back({"resources", "the thread has " + std::to_string(CountThreadWindows()) +
                                                          " windows, " + std::to_string(windowsAtStart) + " at the start"});
            // Wine 8 does not implement GetGuiResources: 0 for both, always. The windows still count.
            if (userAtStart == 0 && gdiAtStart == 0)
                std::printf("GetGuiResources answers 0 here: USER and GDI objects unchecked, windows checked\n");
        }
        PrintFigures(host.figures);
        for (const auto& failure : host.failures)
            std::printf("FAIL seed=%llu step=%llu [%s] %s\n", static_cast<unsigned long long>(g_seed.load()),
                        static_cast<unsigned long long>(g_step.load()), failure.check.c_str(), failure.details.c_str());
        failures = static_cast<int>(host.failures.size());
    }
    SetCursorPos(pointerAtStart.x, pointerAtStart.y);
    std::fflush(stdout);
    OleUninitialize();
    return failures ? 1 : 0;
}
