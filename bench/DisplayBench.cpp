// Costs of building and rebuilding a file's branch: a synthetic file of about 10k and 100k nodes
// (pipelines with attributes and sheets), built from the reference model in-process into a hidden
// tree. For each: the full build, an unchanged full refresh, and a one-entity refresh, as time and
// as messages sent to the tree per node, next to inserting as many items into a bare tree-view.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "BenchClock.h"
#include <string>
#include <utility>
#include <vector>

#include "ClassFactory.h"
#include "DocumentObject.h"
#include "Reader.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ScopedVariant.h"
#include "ruv/ModelCall.h"
#include "ruv/RUV3TreeDisplay.h"
#include "units/Length.h"

using platform::ComPtr;

namespace {

// Each pipeline: 4 attributes, 2 sheets, and 10 components, each with 2 attributes, 2 keypoints
// and a material, in spools of 5 with summaries.
constexpr int kComponentsPerPipeline = 10;
// pipeline 1, attributes 1 + 4, information items 1 + 2 x (1 + 1 attributes + 1 row), components
// node 1, per component: node 1 + attributes 1 + 2 + keypoints 1 + 2 x 4 + material 1 + 1 + 9, sheets 1 + 2
constexpr int kNodesPerPipeline = 1 + 5 + 1 + 2 * 4 + 1 + kComponentsPerPipeline * 24 + 3;
// The size of the file shown with everything expanded.
constexpr int kShownNodes = 2500;

std::string SyntheticFile(int pipelines)
{
    std::string json = R"({"version": 1, "typeDictionary": {"componentTypes": {"PIPE": {"DisplayName": "Pipe"}},
                          "endTypes": {"BW": "Butt weld"}}, "pipelines": [)";
    for (int p = 0; p < pipelines; ++p) {
        const std::string name = "P-" + std::to_string(p);
        json += p ? "," : "";
        json += R"({"name": ")" + name + R"(", "attributes": [)";
        for (int a = 0; a < 4; ++a)
            json += std::string(a ? "," : "") + R"({"name": "A)" + std::to_string(a) + R"(", "value": "12)" +
                    std::to_string(a) + R"(", "units": "mm"})";
        json += R"(], "informationItems": [)";
        for (int s = 0; s < 2; ++s)
            json += std::string(s ? "," : "") + R"({"name": "Spool-Summary", "points": {"Master": [[1, 2, 3]]},
                     "attributes": [{"name": "SEQUENCE-NUMBER", "value": "S)" + std::to_string(s) + R"("}]})";
        json += R"(], "components": [)";
        for (int c = 0; c < kComponentsPerPipeline; ++c) {
            json += std::string(c ? "," : "") + R"({"id": "c)" + std::to_string(c) + R"(",
              "attributes": [{"name": "LENGTH", "value": "1500", "units": "mm"}, {"name": "MASS", "value": "20", "units": "kg"}],
              "keypoints": [{"name": "EP1", "bore": 100, "boreUnits": "mm", "endType": "BW", "position": [0, 0, 0]},
                            {"name": "EP2", "bore": 100, "boreUnits": "mm", "endType": "BW", "position": [1500, 0, 0]}],
              "material": {"itemCode": "P100", "group": "Pipe", "componentType": "PIPE", "weight": 20.5}})";
        }
        json += R"(], "spools": [{"name": "S0", "components": ["c0", "c1", "c2", "c3", "c4"]},
                                 {"name": "S1", "components": ["c5", "c6", "c7", "c8", "c9"]}], "sheets": [1, 2]})";
    }
    return json + "]}";
}

// The process's committed private memory, from its address space: what its heaps hold, the
// tree-views' items included.
double PrivateBytes()
{
    double bytes = 0;
    MEMORY_BASIC_INFORMATION region{};
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof(region)) == sizeof(region);
         at = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            bytes += static_cast<double>(region.RegionSize);
    }
    return bytes;
}

void ReportMemory(const char* what, long nodes, double bytes)
{
    std::printf("%-32s %7ld nodes %10.0f bytes/node\n", what, nodes, bytes / nodes);
}

void Report(const char* what, long nodes, double ms, unsigned long long messages)
{
    std::printf("%-32s %7ld nodes %10.1f ms %10llu messages %6.2f messages/node\n", what, nodes, ms, messages,
                static_cast<double>(messages) / nodes);
}

// Where a build's time goes: the calls into the object model by method, and the insert messages
// (timed around the tree window's whole handling of them: our procedure and the native one).
class Breakdown : public ruvcall::CallObserver {
public:
    void OnCall(std::string_view method, long long ticks) override
    {
        Phase& phase = m_calls[std::string(method)];
        ++phase.count;
        phase.ticks += ticks;
    }
    // Times the inserts by standing in front of the tree window's procedure.
    void TimeInserts(HWND tree)
    {
        s_timing = this;
        s_previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Breakdown::InsertTimer)));
    }
    void StopTiming(HWND tree)
    {
        SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(s_previous));
        s_timing = nullptr;
    }
    // Prints each phase's share of the build's time, per node.
    void Print(double totalMs, long nodes) const
    {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        auto ms = [&](long long ticks) { return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart); };
        long long modelTicks = 0;
        long modelCalls = 0;
        for (const auto& [method, phase] : m_calls) {
            modelTicks += phase.ticks;
            modelCalls += phase.count;
        }
        auto line = [&](const std::string& what, long count, double phaseMs) {
            std::printf("  %-40s %8ld calls %6.2f per node %9.1f ms %6.2f us/node %5.1f%%\n", what.c_str(), count,
                        static_cast<double>(count) / nodes, phaseMs, 1000.0 * phaseMs / nodes, 100.0 * phaseMs / totalMs);
        };
        line("object model, all methods", modelCalls, ms(modelTicks));
        // The methods that took longest, each on its own line.
        std::vector<std::pair<std::string, Phase>> methods(m_calls.begin(), m_calls.end());
        std::sort(methods.begin(), methods.end(), [](const auto& a, const auto& b) { return a.second.ticks > b.second.ticks; });
        methods.resize(std::min<size_t>(methods.size(), 5));
        for (const auto& [method, phase] : methods)
            line("  " + method, phase.count, ms(phase.ticks));
        line("insert messages", m_inserts.count, ms(m_inserts.ticks));
        line("our own work (the rest)", 0, totalMs - ms(modelTicks) - ms(m_inserts.ticks));
    }

private:
    static LRESULT CALLBACK InsertTimer(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message != TVM_INSERTITEMW)
            return CallWindowProcW(s_previous, hwnd, message, wParam, lParam);
        LARGE_INTEGER start{}, end{};
        QueryPerformanceCounter(&start);
        const LRESULT result = CallWindowProcW(s_previous, hwnd, message, wParam, lParam);
        QueryPerformanceCounter(&end);
        ++s_timing->m_inserts.count;
        s_timing->m_inserts.ticks += end.QuadPart - start.QuadPart;
        return result;
    }
    static inline Breakdown* s_timing = nullptr;
    static inline WNDPROC s_previous = nullptr;

    struct Phase {
        long count = 0;
        long long ticks = 0;
    };
    std::map<std::string, Phase> m_calls;
    Phase m_inserts;
};

// Every item with children expanded, by the native key that expands a whole branch (numpad *).
void ExpandAll(platform::TreeCtrl& tree)
{
    for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item)) {
        tree.SelectCaret(item);
        tree.Send(WM_KEYDOWN, VK_MULTIPLY, 1);
    }
}

// The items of a tree in the order a build inserts them, each parent before its children (Wine's
// tree-view looks a handle up by a linear search, so the order of inserts changes their cost):
// each item's text and its parent's place in the list plus one (0: the root).
using InsertPlan = std::vector<std::pair<std::wstring, size_t>>;
InsertPlan PlanOf(const platform::TreeCtrl& from)
{
    InsertPlan plan;
    std::function<void(HTREEITEM, size_t)> visit = [&](HTREEITEM first, size_t parentPlace) {
        for (HTREEITEM item = first; item; item = from.GetNextSiblingItem(item)) {
            plan.emplace_back(from.GetItemText(item), parentPlace);
            visit(from.GetChildItem(item), plan.size());
        }
    };
    visit(from.GetRootItem(), 0);
    return plan;
}

void Insert(const InsertPlan& plan, platform::TreeCtrl& to)
{
    std::vector<HTREEITEM> copies(plan.size());
    for (size_t i = 0; i < plan.size(); ++i) {
        const size_t parentIndex = plan[i].second;
        copies[i] = to.InsertItem(plan[i].first.c_str(), parentIndex ? copies[parentIndex - 1] : TVI_ROOT, TVI_LAST, 0, 3);
    }
}

// With the windows shown and everything expanded, as a user who opened every branch has it: the
// native expansion of everything, and a full refresh that changes every length label, next to a
// bare tree-view expanding the same items and setting as many labels.
void MeasureExpanded(HWND parent, CMultiTree& tree, CRUV3TreeDisplay& display, CTreeContentSettings& settings,
                     platform::TreeCtrl& bare, long nodes)
{
    ShowWindow(parent, SW_SHOWNOACTIVATE);
    ShowWindow(tree.GetSafeHwnd(), SW_SHOWNA);
    unsigned long long before = tree.MessagesSent();
    double start = NowMs();
    ExpandAll(tree);
    Report("expand all", nodes, NowMs() - start, tree.MessagesSent() - before);

    settings.SetWorkingUnits(CTreeContentSettings::kCoordinatesKey, CLength::eInches);
    before = tree.MessagesSent();
    start = NowMs();
    display.Refresh(nullptr);
    Report("refresh, new units, all expanded", nodes, NowMs() - start, tree.MessagesSent() - before);
    const unsigned long long relabelled = tree.MessagesSent() - before;
    ShowWindow(tree.GetSafeHwnd(), SW_HIDE);

    ShowWindow(bare.GetSafeHwnd(), SW_SHOWNA);
    before = bare.MessagesSent();
    start = NowMs();
    ExpandAll(bare);
    Report("baseline: bare expand all", nodes, NowMs() - start, bare.MessagesSent() - before);
    // As many labels set as the refresh set, walking the items in order.
    before = bare.MessagesSent();
    start = NowMs();
    HTREEITEM item = bare.GetRootItem();
    for (unsigned long long i = 0; i < relabelled && item; ++i, item = bare.GetNextVisibleItem(item))
        bare.SetItemLook(item, L"relabelled", -1);
    Report("baseline: bare relabel, all expanded", nodes, NowMs() - start, bare.MessagesSent() - before);
    ShowWindow(bare.GetSafeHwnd(), SW_HIDE);
    ShowWindow(parent, SW_HIDE);
}

constexpr RECT kTreeRect{0, 0, 300, 460};

// A synthetic file of so many pipelines, and its branch's display on a tree of its own, not built yet.
struct Branch {
    Branch(HWND parent, int pipelines)
        : nodes(2 + static_cast<long>(pipelines) * kNodesPerPipeline) // the file and its attributes node
    {
        auto data = std::make_shared<ruvmodel::Document>(ruvmodel::ReadDocumentText(SyntheticFile(pipelines), L"synthetic.json"));
        ComPtr<IRUVDocument> document = ComPtr<IRUVDocument>::Attach(new ruvmodel::com::DocumentObject(data));
        document->GetFile(file.Receive());
        tree.Create(WS_CHILD | TVS_HASLINES | TVS_LINESATROOT, kTreeRect, parent, 101);
        display = std::make_unique<CRUV3TreeDisplay>(&tree, &settings, file);
    }
    const long nodes;
    ComPtr<IRUVFile> file;
    CMultiTree tree;
    CTreeContentSettings settings;
    std::unique_ptr<CRUV3TreeDisplay> display;
};

void Measure(HWND parent, int pipelines)
{
    Branch branch(parent, pipelines);
    CMultiTree& tree = branch.tree;
    CRUV3TreeDisplay& display = *branch.display;
    const ComPtr<IRUVFile>& file = branch.file;
    const long nodes = branch.nodes;
    const RECT rect = kTreeRect;

    Breakdown breakdown;
    breakdown.TimeInserts(tree.GetSafeHwnd());
    ruvcall::g_callObserver = &breakdown;
    unsigned long long before = tree.MessagesSent();
    const double bytesBefore = PrivateBytes();
    double start = NowMs();
    display.Refresh(nullptr);
    const double buildMs = NowMs() - start;
    const double buildBytes = PrivateBytes() - bytesBefore;
    ruvcall::g_callObserver = nullptr;
    breakdown.StopTiming(tree.GetSafeHwnd());
    Report("full build", nodes, buildMs, tree.MessagesSent() - before);
    breakdown.Print(buildMs, nodes);

    before = tree.MessagesSent();
    start = NowMs();
    display.Refresh(nullptr);
    Report("unchanged full refresh", nodes, NowMs() - start, tree.MessagesSent() - before);

    // One component of a pipeline in the middle: its node is rebuilt.
    ComPtr<IRUVPipelines> list;
    file->GetPipelines(list.Receive());
    ComPtr<IRUVPipeline> pipeline;
    list->Item(platform::ScopedVariant(pipelines / 2).Value(), pipeline.Receive());
    ComPtr<IRUVComponentGroups> groups;
    pipeline->GetComponentGroups(3, 1, groups.Receive());
    ComPtr<IRUVComponentGroup> group;
    groups->Item(0, group.Receive());
    ComPtr<IRUVGroupMember> member;
    group->Item(3, member.Receive());
    ComPtr<IRUVComponent> component = CRUV3TreeDisplay::ComponentOfMember(member);
    before = tree.MessagesSent();
    start = NowMs();
    display.Refresh(component.Get());
    Report("one-component refresh", nodes, NowMs() - start, tree.MessagesSent() - before);

    // The same items inserted into a bare tree-view, in the same shape.
    platform::TreeCtrl bare;
    bare.Create(WS_CHILD | TVS_HASLINES | TVS_LINESATROOT, rect, parent, 102);
    const InsertPlan plan = PlanOf(tree);
    before = bare.MessagesSent();
    start = NowMs();
    const double bareBefore = PrivateBytes();
    Insert(plan, bare);
    Report("baseline: bare tree-view inserts", nodes, NowMs() - start, bare.MessagesSent() - before);
    ReportMemory("memory of a build", nodes, buildBytes);
    ReportMemory("baseline: memory of bare inserts", nodes, PrivateBytes() - bareBefore);
}

// Wine's tree-view recomputes every shown row on each expansion and each label change of a shown
// tree, so these run on a smaller file.
void MeasureShownAndExpanded(HWND parent, int pipelines)
{
    Branch branch(parent, pipelines);
    branch.display->Refresh(nullptr);
    platform::TreeCtrl bare;
    bare.Create(WS_CHILD | TVS_HASLINES | TVS_LINESATROOT, kTreeRect, parent, 102);
    Insert(PlanOf(branch.tree), bare);
    MeasureExpanded(parent, branch.tree, *branch.display, branch.settings, bare, branch.nodes);
}

} // namespace

int main(int argc, char** argv)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    INITCOMMONCONTROLSEX init{sizeof(init), ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&init);
    DWORD cookie = 0;
    CoRegisterClassObject(CLSID_RUVNavigator, ruvmodel::com::ClassFactoryFor(CLSID_RUVNavigator), CLSCTX_INPROC_SERVER,
                          REGCLS_MULTIPLEUSE, &cookie);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DisplayBenchParent";
    RegisterClassW(&wc);
    HWND parent = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 320, 480, nullptr, nullptr,
                                  wc.hInstance, nullptr);
    if (!parent) {
        std::fprintf(stderr, "no window: is there a display?\n");
        return 1;
    }
    // About 10k and 100k nodes.
    int sizes[] = {10000 / kNodesPerPipeline, 100000 / kNodesPerPipeline};
    int count = 2;
    if (argc > 1) {
        sizes[0] = std::atoi(argv[1]) / kNodesPerPipeline;
        count = 1;
    }
    try {
        for (int i = 0; i < count; ++i)
            Measure(parent, sizes[i]);
        MeasureShownAndExpanded(parent, kShownNodes / kNodesPerPipeline);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "failed: %s\n", error.what());
        return 1;
    }
    CoRevokeClassObject(cookie);
    return 0;
}
