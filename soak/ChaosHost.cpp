#include "ChaosHost.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "ChaosFiles.h"
#include "RUVFileTree.h"
#include "support/Regsvr32.h"

namespace chaos {

using platform::ComPtr;
using platform::DispatchDriver;
using platform::ScopedVariant;

namespace {

const RECT kPlace{10, 10, 410, 330};

IUnknown* Identity(IDispatch* object)
{
    return object ? ComPtr<IDispatch>(object).Query<IUnknown>().Get() : nullptr;
}

// The About box is modal: a timer in its loop closes it, as a user would.
BOOL CALLBACK CloseDialog(HWND window, LPARAM)
{
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770")
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

void CALLBACK CloseDialogs(HWND, UINT, UINT_PTR, DWORD) { EnumThreadWindows(GetCurrentThreadId(), CloseDialog, 0); }

// A getter of a model object by name, with its arguments: the walk's steps from object to object.
struct Getter {
    const wchar_t* name;
    int args; // 0, an index, or a component group view (what, how)
};
const Getter kGetters[] = {{L"GetPipelines", 0}, {L"Item", 1},          {L"GetComponents", 0}, {L"GetComponent", 0},
                           {L"GetAttributes", 0}, {L"GetKeypoints", 0}, {L"GetMaterial", 0},   {L"GetInformationItems", 0},
                           {L"GetSheets", 0},    {L"GetTypeDictionary", 0}, {L"GetComponentGroups", 2},
                           {L"GetPipeline", 0},  {L"GetFile", 0}};

} // namespace

ChaosHost::ChaosHost(HWND window, std::string plantText)
    : m_window(window), m_plantText(std::move(plantText)), m_site(window),
      m_events(DIID__DCorbelEvents, [this](DISPID id, const std::vector<ScopedVariant>& args) { OnEvent(id, args); })
{
    m_site.Move(kPlace);
}

ChaosHost::~ChaosHost() { ReleaseControl(); }

void ChaosHost::Say(const std::string& action) const
{
    if (verbose)
        std::printf("  %s\n", action.c_str()), std::fflush(stdout);
}

void ChaosHost::EnsureControl()
{
    if (Control())
        return;
    const HRESULT hr = m_site.Create(L"CORBEL.CorbelCtrl.1", kPlace);
    if (FAILED(hr) || !m_events.Connect(m_site.Control()))
        return Fail("create", "the control could not be created and advised: " + std::to_string(hr));
    ++figures.controls;
    m_listed.clear();
    m_selection.clear();
}

void ChaosHost::ReleaseControl()
{
    if (!m_site.Control())
        return;
    m_events.Disconnect(m_site.Control());
    m_site.Close();
    m_listed.clear();
    m_selection.clear();
}

void ChaosHost::Run(Step& step)
{
    EnsureControl();
    switch (step.kind) {
    case StepKind::Call: return CallStep(step);
    case StepKind::Edit: return EditStep(step);
    case StepKind::File: return FileStep(step);
    case StepKind::Input: return InputStep(step);
    case StepKind::Reentrant: return ReentrantStep(step);
    }
}

void ChaosHost::OnEvent(DISPID id, const std::vector<ScopedVariant>& args)
{
    static const char* const names[] = {"?", "SelectionChanged", "DropFile", "PopupMenu", "LButtonDblClick"};
    ++figures.events[names[id >= 1 && id <= 4 ? id : 0]];
    if (id == dispidEventSelectionChanged && args.size() == 2) {
        Selected(args[0].Object(), false);
        Selected(args[1].Object(), true);
    }
    if (m_pending && m_eventDepth == 0 && id != dispidEventDropFile) {
        PendingReaction pending = std::move(*m_pending);
        m_pending.reset();
        ++m_eventDepth;
        React(pending);
        --m_eventDepth;
    }
}

void ChaosHost::React(PendingReaction& pending)
{
    ++figures.reentrant;
    Say("reaction " + std::to_string(static_cast<int>(pending.reaction)) + " inside an event");
    Step& step = pending.step;
    switch (pending.reaction) {
    case Reaction::Call: return Call(PlanCall(step, Source(), step.Chance(30)));
    case Reaction::Refresh:
        return Call(step.Chance(50) ? PlanGoodCall(step, Source(), L"UpdateAll") : PlanGoodCall(step, Source(), L"Update"));
    case Reaction::RemoveFile:
        if (OpenDocument* document = PickDocument(step, true)) {
            PlannedCall call = PlanGoodCall(step, Source(), L"RemoveRUVFile");
            call.args = {ScopedVariant(document->file.Get())};
            Call(std::move(call));
        }
        return;
    case Reaction::Release: return ReleaseControl();
    }
}

void ChaosHost::CallStep(Step& step) { Call(PlanCall(step, Source(), step.Chance(50))); }

void ChaosHost::Call(PlannedCall call)
{
    ComPtr<IDispatch> control(Control()); // as a script host, which holds what it calls
    if (!control)
        return;
    const auto before = m_selection;
    std::wstring lower = call.name;
    std::transform(lower.begin(), lower.end(), lower.begin(), towlower);
    std::string types;
    for (const auto& arg : call.args)
        types += " " + std::to_string(arg.Type()) + (arg.Object() ? "*" : "");
    Say((call.put ? "put " : "call ") + std::string(lower.begin(), lower.begin() + std::min<size_t>(lower.size(), 40)) +
        (call.byRef ? " by reference," : ",") + " argument types" + types);
    const UINT_PTR timer = lower == L"aboutbox" ? SetTimer(nullptr, 0, 50, CloseDialogs) : 0;
    const platform::DispatchResult result = Perform(control.Get(), call);
    if (timer)
        KillTimer(nullptr, timer);
    // The About box's loop took the release posted for a press that is still being handled; the
    // user lets go of the button after closing the box, and the tree's mouse loop hears it.
    if (timer && m_buttonUp && m_site.TreeWindow())
        PostMessageW(m_site.TreeWindow(), m_buttonUp, 0, 0);
    const std::string outcome = OutcomeName(result);
    ++figures.outcomes[outcome];
    if (outcome != "S_OK" && std::find(call.allowed.begin(), call.allowed.end(), outcome) == call.allowed.end())
        Fail("outcome", std::string(call.name.begin(), call.name.begin() + std::min<size_t>(call.name.size(), 40)) +
                            (call.put ? " (put)" : "") + " answered " + outcome);
    if (result.hr == DISP_E_EXCEPTION && result.description.empty())
        Fail("outcome", "an exception report without a description");
    if (result.hr == S_OK && Control())
        AfterCall(call, result, before);
}

// What a call that succeeded changed in the host's view: the listed files, and the selection that
// the selection methods change without events (checked against what the method may do).
void ChaosHost::AfterCall(const PlannedCall& call, const platform::DispatchResult&,
                          const std::vector<ComPtr<IUnknown>>& before)
{
    if (!call.member || call.put)
        return;
    const std::wstring name = call.member->name;
    IUnknown* object = call.args.empty() ? nullptr : Identity(call.args[0].Object());
    if (name == L"AddRUVFile" || name == L"RemoveRUVFile") {
        std::erase(m_listed, object);
        if (name == L"AddRUVFile" && object) {
            if (!DocumentOf(object))
                return Fail("files", "AddRUVFile took an object that is no file of the host's");
            m_listed.push_back(object);
        }
        return;
    }
    std::vector<IUnknown*> expected[2];
    for (const auto& selected : before)
        expected[0].push_back(selected.Get());
    if (name == L"ClearSelection")
        expected[0].clear();
    else if (name == L"SetSelection")
        expected[0] = {}, expected[1] = {object};
    else if (name == L"AddToSelection")
        expected[1] = expected[0], expected[1].push_back(object);
    else if (name == L"RemoveFromSelection")
        std::erase(expected[0], object);
    else
        return;
    auto now = ControlSelection(false);
    std::vector<IUnknown*> actual;
    for (const auto& selected : now)
        actual.push_back(selected.Get());
    std::ranges::sort(actual);
    bool allowed = false;
    for (auto& set : expected) {
        std::erase(set, nullptr);
        std::ranges::sort(set);
        set.erase(std::unique(set.begin(), set.end()), set.end());
        allowed = allowed || set == actual;
    }
    if (!allowed)
        Fail("selection", "after " + std::string(name.begin(), name.end()) + " the control selected " +
                              std::to_string(actual.size()) + " objects, not what the method may leave");
    m_selection = std::move(now);
}

void ChaosHost::EditStep(Step& step)
{
    OpenDocument* document = PickDocument(step, step.Chance(85));
    if (!document)
        return;
    DispatchDriver model(document->document.Get());
    // Each edit's target found on its own path from the file, most of the time; else anything.
    const uint32_t edit = step.Below(10);
    static const std::vector<const wchar_t*> paths[] = {
        {L"GetAttributes", L"Item"}, {L"GetAttributes"}, {L"GetAttributes", L"Item"}, {}, {L"GetPipelines", L"Item"},
        {L"GetPipelines", L"Item"}, {L"GetPipelines", L"Item", L"GetComponents", L"Item", L"GetComponent"},
        {L"GetPipelines", L"Item"}, {L"GetPipelines", L"Item", L"GetInformationItems", L"Item"},
        {L"GetPipelines", L"Item", L"GetComponents", L"Item", L"GetComponent"}};
    const ScopedVariant target(step.Chance(85) ? Follow(step, document->file.Get(), paths[edit]).Get()
                                               : WalkFrom(step, document->file.Get(), step.Below(6)).Get());
    static const ScopedVariant values[] = {ScopedVariant(12.5), ScopedVariant(L"text"), ScopedVariant(true),
                                           ScopedVariant(), ScopedVariant(std::wstring(100000, L'v'))};
    const ScopedVariant& value = values[step.Below(std::size(values))];
    const std::wstring name = L"N" + std::to_wstring(step.Below(20));
    platform::DispatchResult result;
    switch (edit) {
    case 0: result = model.Call(L"SetAttributeValue", {target, value}); break;
    case 1: result = model.Call(L"AddAttribute", {target, name, value, L"mm"}); break;
    case 2: result = model.Call(L"RemoveAttribute", {target}); break;
    case 3: result = model.Call(L"AddPipeline", {name}); break;
    case 4: result = model.Call(L"RemovePipeline", {target}); break;
    case 5: result = model.Call(L"AddComponent", {target, name, L"VGAT", L"Valves", L"V1"}); break;
    case 6: result = model.Call(L"RemoveComponent", {target}); break;
    case 7: result = model.Call(L"AddInformationItem", {target, name}); break;
    case 8: result = model.Call(L"RemoveInformationItem", {target}); break;
    default: result = model.Call(L"SetBroken", {target, step.Chance(50)}); break;
    }
    ++figures.outcomes["model " + OutcomeName(result)];
    Say("model edit: " + OutcomeName(result));
    const uint32_t then = step.Below(3);
    if (then == 0) {
        PlannedCall update = PlanGoodCall(step, Source(), L"Update");
        update.args = {step.Chance(50) ? target : ScopedVariant(document->file.Get())};
        Call(std::move(update));
    } else if (then == 1) {
        Call(PlanGoodCall(step, Source(), L"UpdateAll"));
    }
}

void ChaosHost::FileStep(Step& step)
{
    const uint32_t roll = step.Below(100);
    if (roll >= 60) { // a known file removed, or added again (which moves it to the end)
        if (OpenDocument* document = PickDocument(step, roll < 85)) {
            PlannedCall call = PlanGoodCall(step, Source(), roll < 85 ? L"RemoveRUVFile" : L"AddRUVFile");
            call.args = {ScopedVariant(document->file.Get())};
            Call(std::move(call));
        }
        return;
    }
    const ChaosFile made = MakeChaosFile(step, m_plantText);
    std::wstring path;
    if (made.text.empty()) {
        path = WindowsPath(L"" RUV_SAMPLES_DIR L"/" + std::wstring(made.sample.begin(), made.sample.end()));
    } else {
        wchar_t folder[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, folder);
        path = folder + std::wstring(L"chaos-") + std::to_wstring(GetCurrentProcessId()) + L"-" +
               std::to_wstring(step.index) + L".json";
        std::ofstream(std::filesystem::path(path), std::ios::binary) << made.text;
    }
    static const char* const kinds[] = {"good", "generated", "broken"};
    std::string figure = kinds[static_cast<int>(made.kind)];
    CLSID documentClass{};
    OpenDocument opened;
    if (FAILED(CLSIDFromProgID(L"RUVModel.Document", &documentClass)) ||
        FAILED(CoCreateInstance(documentClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(opened.document.Receive()))))
        return Fail("model", "RUVModel.Document could not be created");
    DispatchDriver model(opened.document.Get());
    const bool read = model.Call(L"Open", {path}).hr == S_OK;
    if (!made.text.empty())
        DeleteFileW(path.c_str());
    ++figures.files[figure + (read ? "" : " refused")];
    Say("opened a " + figure + " file: " + (read ? "read" : "refused"));
    if (!read)
        return;
    opened.file = ComPtr<IDispatch>(model.Call(L"GetFile").value.Object());
    opened.identity = Identity(opened.file.Get());
    opened.label = path.substr(path.find_last_of(L"\\/") + 1);
    m_documents.push_back(std::move(opened));
    // A few documents at most: the oldest one the control does not show goes.
    if (m_documents.size() > 6) {
        auto unlisted = std::ranges::find_if(m_documents, [&](const OpenDocument& d) {
            return std::ranges::find(m_listed, d.identity) == m_listed.end();
        });
        if (unlisted != m_documents.end() && unlisted != m_documents.end() - 1)
            m_documents.erase(unlisted);
    }
    if (step.Chance(90)) {
        PlannedCall call = PlanGoodCall(step, Source(), L"AddRUVFile");
        call.args = {ScopedVariant(m_documents.back().file.Get())};
        Call(std::move(call));
    }
}

void ChaosHost::ReentrantStep(Step& step)
{
    static const Reaction reactions[] = {Reaction::Call, Reaction::Call, Reaction::Refresh, Reaction::RemoveFile,
                                         Reaction::Release};
    m_pending = PendingReaction{reactions[step.Below(std::size(reactions))], DescribeStep(step.random(), step.index)};
    InputStep(step);
    m_pending.reset(); // a gesture that fired no event leaves nothing armed for the next step
}

ScopedVariant ChaosHost::PickObject(Step& step)
{
    const uint32_t roll = step.Below(100);
    if (roll < 4)
        return ScopedVariant(static_cast<IDispatch*>(nullptr));
    if (roll < 8) // an object that is no model object
        return ScopedVariant(static_cast<IDispatch*>(&m_site));
    OpenDocument* document = PickDocument(step, false);
    if (!document)
        return ScopedVariant(static_cast<IDispatch*>(nullptr));
    return ScopedVariant(WalkFrom(step, document->file.Get(), step.Below(6)).Get());
}

// The object at the end of a path of getters (an index for Item, as often small), or where it ended.
ComPtr<IDispatch> ChaosHost::Follow(Step& step, IDispatch* object, const std::vector<const wchar_t*>& path)
{
    ComPtr<IDispatch> at(object);
    for (const wchar_t* getter : path) {
        std::vector<ScopedVariant> args;
        if (std::wstring(getter) == L"Item")
            args.emplace_back(static_cast<long>(step.Below(step.Chance(70) ? 3 : 30)));
        ComPtr<IDispatch> next(DispatchDriver(at.Get()).Call(getter, std::move(args)).value.Object());
        if (!next)
            break;
        at = next;
    }
    return at;
}

ComPtr<IDispatch> ChaosHost::WalkFrom(Step& step, IDispatch* object, uint32_t depth)
{
    ComPtr<IDispatch> at(object);
    for (uint32_t level = 0; level < depth; ++level) {
        ComPtr<IDispatch> next;
        for (int attempt = 0; attempt < 4 && !next; ++attempt) {
            const Getter& getter = kGetters[step.Below(std::size(kGetters))];
            std::vector<ScopedVariant> args;
            if (getter.args == 1)
                args.emplace_back(static_cast<long>(step.Below(4)));
            if (getter.args == 2)
                args = {ScopedVariant(3L), ScopedVariant(step.Chance(50) ? 1L : 8L)};
            next = ComPtr<IDispatch>(DispatchDriver(at.Get()).Call(getter.name, std::move(args)).value.Object());
        }
        if (!next)
            break;
        at = next;
    }
    return at;
}

ChaosHost::OpenDocument* ChaosHost::PickDocument(Step& step, bool listedOnly)
{
    std::vector<OpenDocument*> candidates;
    for (OpenDocument& document : m_documents)
        if (!listedOnly || std::ranges::find(m_listed, document.identity) != m_listed.end())
            candidates.push_back(&document);
    return candidates.empty() ? nullptr : candidates[step.Below(candidates.size())];
}

ChaosHost::OpenDocument* ChaosHost::DocumentOf(IUnknown* file)
{
    auto found = std::ranges::find(m_documents, file, &OpenDocument::identity);
    return found == m_documents.end() ? nullptr : &*found;
}

ArgumentSource ChaosHost::Source()
{
    return {[this](Step& step) { return PickObject(step); },
            [this] { return ScopedVariant(static_cast<IDispatch*>(m_site.AmbientFont())); }};
}

void ChaosHost::Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!m_site.TranslateAccelerator(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

} // namespace chaos
