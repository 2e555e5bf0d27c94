// The chaos host: the registered control, created by its ProgID in the shared host site, and the
// reference object model, created by its ProgID, driven one step at a time. It keeps its own view
// of what the control shows (the files it listed, in order, and the selection as the events and
// its own calls changed it) and checks it against the control and its tree after every step.
#pragma once

#include <windows.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ChaosCalls.h"
#include "ChaosSteps.h"
#include "host/ControlEvents.h"
#include "host/ControlSite.h"

namespace chaos {

struct Figures {
    uint64_t steps = 0;
    std::map<std::string, long> stepKinds, files, outcomes, events;
    long reentrant = 0, controls = 0;
    double slowestMs = 0;
    uint64_t slowestStep = 0;
    std::string slowestKind;
};

// What a step or a check found wrong: a short name for the check, and the details.
struct Failure {
    std::string check, details;
};

class ChaosHost {
public:
    ChaosHost(HWND window, std::string plantText);
    ~ChaosHost();
    ChaosHost(const ChaosHost&) = delete;
    ChaosHost& operator=(const ChaosHost&) = delete;

    void Run(Step& step);
    // The control's promises after a step.
    void Check();
    // Lets everything go and checks that every reference came back.
    void Finish();

    Figures figures;
    std::vector<Failure> failures;
    bool verbose = false; // one line for each action, for replaying a failure by hand

private:
    struct OpenDocument {
        platform::ComPtr<IDispatch> document, file;
        IUnknown* identity = nullptr; // the file's, kept alive by file
        std::wstring label;           // the file's row: its name and extension
    };
    enum class Reaction { Call, Refresh, RemoveFile, Release };
    struct PendingReaction {
        Reaction reaction;
        Step step; // the choices the reaction makes
    };

    void Fail(const std::string& check, const std::string& details) { failures.push_back({check, details}); }
    void Say(const std::string& action) const;
    IDispatch* Control() const { return m_site.Automation(); }
    void EnsureControl();
    void ReleaseControl();
    void OnEvent(DISPID id, const std::vector<platform::ScopedVariant>& args);
    void React(PendingReaction& pending);

    // Steps (ChaosHost.cpp, ChaosInput.cpp).
    void CallStep(Step& step);
    void Call(PlannedCall call);
    void AfterCall(const PlannedCall& call, const platform::DispatchResult& result,
                   const std::vector<platform::ComPtr<IUnknown>>& before);
    void EditStep(Step& step);
    void FileStep(Step& step);
    void InputStep(Step& step);
    void ReentrantStep(Step& step);
    void Pump();

    // The model's objects.
    platform::ScopedVariant PickObject(Step& step);
    platform::ComPtr<IDispatch> Follow(Step& step, IDispatch* object, const std::vector<const wchar_t*>& path);
    platform::ComPtr<IDispatch> WalkFrom(Step& step, IDispatch* object, uint32_t depth);
    OpenDocument* PickDocument(Step& step, bool listedOnly);
    OpenDocument* DocumentOf(IUnknown* file);
    ArgumentSource Source();

    // The host's own view, and its checks (ChaosChecks.cpp).
    std::vector<platform::ComPtr<IUnknown>> ControlSelection(bool check);
    void CheckTree();
    void Selected(IDispatch* object, bool selected);

    HWND m_window;
    std::string m_plantText;
    ControlSite m_site;
    ControlEvents m_events;
    std::vector<OpenDocument> m_documents;
    std::vector<IUnknown*> m_listed;                      // the files the control shows, in its order
    std::vector<platform::ComPtr<IUnknown>> m_selection; // identities of the selected objects
    std::optional<PendingReaction> m_pending;
    int m_eventDepth = 0;
    UINT m_buttonUp = 0; // the release posted for the press that runs now, if any
};

} // namespace chaos
