// Costs of building and rebuilding a file's branch: a synthetic file of about 10k and 100k nodes
// (pipelines with attributes and sheets), built from the reference model in-process into a hidden
// tree. For each: the full build, an unchanged full refresh, and a one-entity refresh, as time and
// as messages sent to the tree per node, next to inserting as many items into a bare tree-view.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "BenchClock.h"
#include <string>
#include <utility>
#include <vector>

#include "ClassFactory.h"
#include "DocumentObject.h"
#include "Reader.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ScopedVariant.h"
#include "ruv/RUV3TreeDisplay.h"

using platform::ComPtr;

namespace {

// Each pipeline: 4 attributes, 2 sheets, and 10 components, each with 2 attributes, 2 keypoints
// and a material, in spools of 5 with summaries.
constexpr int kComponentsPerPipeline = 10;
// pipeline 1, attributes 1 + 4, information items 1 + 2 x (1 + 1 attributes + 1 row), components
// node 1, per component: node 1 + attributes 1 + 2 + keypoints 1 + 2 x 4 + material 1 + 1 + 9, sheets 1 + 2
constexpr int kNodesPerPipeline = 1 + 5 + 1 + 2 * 4 + 1 + kComponentsPerPipeline * 24 + 3;

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

void Report(const char* what, long nodes, double ms, unsigned long long messages)
{
    std::printf("%-32s %7ld nodes %10.1f ms %10llu messages %6.2f messages/node\n", what, nodes, ms, messages,
                static_cast<double>(messages) / nodes);
}

void Measure(HWND parent, int pipelines)
{
    auto data = std::make_shared<ruvmodel::Document>(ruvmodel::ReadDocumentText(SyntheticFile(pipelines), L"synthetic.json"));
    ComPtr<IRUVDocument> document = ComPtr<IRUVDocument>::Attach(new ruvmodel::com::DocumentObject(data));
    ComPtr<IRUVFile> file;
    document->GetFile(file.Receive());

    CMultiTree tree;
    RECT rect{0, 0, 300, 460};
    tree.Create(WS_CHILD | TVS_HASLINES | TVS_LINESATROOT, rect, parent, 101);
    CTreeContentSettings settings;
    CRUV3TreeDisplay display(&tree, &settings, file);
    const long nodes = 2 + static_cast<long>(pipelines) * kNodesPerPipeline; // the file and its attributes node

    unsigned long long before = tree.MessagesSent();
    double start = NowMs();
    display.Refresh(nullptr);
    Report("full build", nodes, NowMs() - start, tree.MessagesSent() - before);

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
    // Breadth first: each item's text and its parent's place in the plan plus one (0: the root).
    std::vector<std::pair<std::wstring, HTREEITEM>> plan;
    std::vector<std::pair<HTREEITEM, size_t>> walk;
    for (HTREEITEM item = tree.GetRootItem(); item; item = tree.GetNextSiblingItem(item))
        walk.emplace_back(item, 0);
    for (size_t i = 0; i < walk.size(); ++i) {
        wchar_t text[256] = {};
        TVITEMW tvi{};
        tvi.mask = TVIF_TEXT;
        tvi.hItem = walk[i].first;
        tvi.pszText = text;
        tvi.cchTextMax = 256;
        tree.Send(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi));
        plan.emplace_back(text, reinterpret_cast<HTREEITEM>(walk[i].second));
        for (HTREEITEM child = tree.GetChildItem(walk[i].first); child; child = tree.GetNextSiblingItem(child))
            walk.emplace_back(child, i + 1);
    }
    std::vector<HTREEITEM> copies(plan.size());
    before = bare.MessagesSent();
    start = NowMs();
    for (size_t i = 0; i < plan.size(); ++i) {
        const size_t parentIndex = reinterpret_cast<size_t>(plan[i].second);
        copies[i] = bare.InsertItem(plan[i].first.c_str(), parentIndex ? copies[parentIndex - 1] : TVI_ROOT, TVI_LAST, 0, 3);
    }
    Report("baseline: bare tree-view inserts", nodes, NowMs() - start, bare.MessagesSent() - before);
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
    } catch (const std::exception& error) {
        std::fprintf(stderr, "failed: %s\n", error.what());
        return 1;
    }
    CoRevokeClassObject(cookie);
    return 0;
}
