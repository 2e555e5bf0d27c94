// The control's automation members as the chaos host calls them: what each takes and the outcomes
// docs/automation.md allows it, and arguments made from a step, good or bad. An outcome is named
// as the figures print it: "S_OK", a code returned directly ("DISP_E_TYPEMISMATCH"), or one
// reported in EXCEPINFO ("exc DISP_E_BADINDEX").
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ChaosSteps.h"
#include "platform/automation/DispatchDriver.h"

namespace chaos {

enum class Param { None, Long, Short, Bool, Text, Object, Font };

struct Member {
    const wchar_t* name;
    bool method;
    std::vector<Param> params; // of a method or a get (a put adds its value last)
    Param put;                 // the value a put takes; None for a method or read-only property
    std::vector<std::string> outcomes; // besides S_OK
};

const std::vector<Member>& Members();
const Member* FindMember(const std::wstring& name);

std::string OutcomeName(const platform::DispatchResult& result);

// A call the host is about to make: member, arguments and what it may answer.
struct PlannedCall {
    const Member* member = nullptr;
    std::wstring name;
    bool put = false;
    bool byRef = false;
    std::vector<platform::ScopedVariant> args;
    std::vector<std::string> allowed;
};

// Where the host finds objects for arguments: a model object (or something else) and a font.
struct ArgumentSource {
    std::function<platform::ScopedVariant(Step&)> object;
    std::function<platform::ScopedVariant()> font;
};

// A call of a member chosen by the step; with bad set, its arguments and shape may be wrong.
PlannedCall PlanCall(Step& step, const ArgumentSource& source, bool bad);
// A call of member name with good arguments.
PlannedCall PlanGoodCall(Step& step, const ArgumentSource& source, const wchar_t* name);

platform::DispatchResult Perform(IDispatch* control, PlannedCall& call);

} // namespace chaos
