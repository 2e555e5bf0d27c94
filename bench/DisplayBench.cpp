// Costs of building and rebuilding a file's branch: a synthetic file of about 10k and 100k nodes
// (pipelines with attributes and sheets), built from the reference model in-process into a hidden
// tree. For each: the full build, an unchanged full refresh, and a one-entity refresh, as time and
// as messages sent to the tree per node, next to inserting as many items into a bare tree-view.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "BenchClock.h"
#include <string>

#include "ClassFactory.h"
#include "DocumentObject.h"
#include "Reader.h"
#include "platform/ComPtr.h"
#include "ruv/RUV3TreeDisplay.h"

using platform::ComPtr;

namespace {

constexpr int kAttributesPerPipeline = 8;
constexpr int kSheetsPerPipeline = 2;
// pipeline, its attributes node and rows, its sheets node and rows
constexpr int kNodesPerPipeline = 1 + 1 + kAttributesPerPipeline + 1 + kSheetsPerPipeline;

std::string SyntheticFile(int pipelines)
{
    std::string json = R"({"version": 1, "pipelines": [)";
    for (int p = 0; p < pipelines; ++p) {
        json += p ? "," : "";
        json += R"({"name": "P-)" + std::to_string(p) + R"(", "attributes": [)";
        for (int a = 0; a < kAttributesPerPipeline; ++a) {
            json += a ? "," : "";
            json += R"({"name": "A)" + std::to_string(a) + R"(", "value": ")" + std::to_string(100 + a) +
                    R"(", "units": ")" + (a % 2 ? "mm" : "kg") + R"("})";
        }
        json += R"(], "sheets": [1, 2]})";
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
    const long nodes = 2 + 1 + static_cast<long>(pipelines) * kNodesPerPipeline; // file, its attributes node

    unsigned long long before = tree.MessagesSent();
    double start = NowMs();
    display.Refresh(nullptr);
    Report("full build", nodes, NowMs() - start, tree.MessagesSent() - before);

    before = tree.MessagesSent();
    start = NowMs();
    display.Refresh(nullptr);
    Report("unchanged full refresh", nodes, NowMs() - start, tree.MessagesSent() - before);

    // One attribute of a pipeline in the middle: its attributes list is rebuilt.
    ComPtr<IRUVPipelines> list;
    file->GetPipelines(list.Receive());
    VARIANT index;
    VariantInit(&index);
    V_VT(&index) = VT_I4;
    V_I4(&index) = pipelines / 2;
    ComPtr<IRUVPipeline> pipeline;
    list->Item(index, pipeline.Receive());
    ComPtr<IRUVAttributes> attributes;
    pipeline->GetAttributes(attributes.Receive());
    V_I4(&index) = 0;
    ComPtr<IRUVAttribute> attribute;
    attributes->Item(index, attribute.Receive());
    before = tree.MessagesSent();
    start = NowMs();
    display.Refresh(attribute.Get());
    Report("one-entity refresh", nodes, NowMs() - start, tree.MessagesSent() - before);

    // The same number of items inserted into a bare tree-view, in the same shape.
    platform::TreeCtrl bare;
    bare.Create(WS_CHILD | TVS_HASLINES | TVS_LINESATROOT, rect, parent, 102);
    before = bare.MessagesSent();
    start = NowMs();
    HTREEITEM root = bare.InsertItem(L"synthetic.json", TVI_ROOT, TVI_LAST, 0, 0);
    HTREEITEM fileAttributes = bare.InsertItem(L"Attributes", root, TVI_LAST, 0, 2);
    (void)fileAttributes;
    for (int p = 0; p < pipelines; ++p) {
        HTREEITEM node = bare.InsertItem(L"P", root, TVI_LAST, 0, 1);
        HTREEITEM attrs = bare.InsertItem(L"Attributes", node, TVI_LAST, 0, 2);
        for (int a = 0; a < kAttributesPerPipeline; ++a)
            bare.InsertItem(L"A = 100mm", attrs, TVI_LAST, 0, 3);
        HTREEITEM sheets = bare.InsertItem(L"Sheets", node, TVI_LAST, 0, 33);
        for (int s = 0; s < kSheetsPerPipeline; ++s)
            bare.InsertItem(L"Sheet_1", sheets, TVI_LAST, 0, 34);
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
