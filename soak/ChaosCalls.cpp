#include "ChaosCalls.h"

#include <algorithm>
#include <cstdio>

namespace chaos {

using platform::ScopedVariant;

namespace {

const std::string kReadOnly = "exc 0x800A017F", kBadValue = "exc 0x800A017C";

const char* KnownName(HRESULT code)
{
    switch (code) {
    case S_OK: return "S_OK";
    case E_INVALIDARG: return "E_INVALIDARG";
    case E_POINTER: return "E_POINTER";
    case E_UNEXPECTED: return "E_UNEXPECTED";
    case E_OUTOFMEMORY: return "E_OUTOFMEMORY";
    case DISP_E_TYPEMISMATCH: return "DISP_E_TYPEMISMATCH";
    case DISP_E_PARAMNOTFOUND: return "DISP_E_PARAMNOTFOUND";
    case DISP_E_BADPARAMCOUNT: return "DISP_E_BADPARAMCOUNT";
    case DISP_E_BADINDEX: return "DISP_E_BADINDEX";
    case DISP_E_MEMBERNOTFOUND: return "DISP_E_MEMBERNOTFOUND";
    case DISP_E_UNKNOWNNAME: return "DISP_E_UNKNOWNNAME";
    case DISP_E_EXCEPTION: return "DISP_E_EXCEPTION";
    }
    return nullptr;
}

std::string CodeName(HRESULT code)
{
    if (const char* known = KnownName(code))
        return known;
    char hex[16];
    std::snprintf(hex, sizeof(hex), "0x%08lX", static_cast<unsigned long>(code));
    return hex;
}

const std::wstring& LongText()
{
    static const std::wstring text(100000, L'x');
    return text;
}

const wchar_t* const kKeys[] = {L"Coordinates", L"Weights", L"Components", L"Keypoints", L"Bolts", L"SIZE", L""};

ScopedVariant Good(Step& step, Param param, const ArgumentSource& source)
{
    switch (param) {
    case Param::Long: return ScopedVariant(static_cast<long>(step.Below(6)));
    case Param::Short: return ScopedVariant(static_cast<short>(step.Below(2)));
    case Param::Bool: return ScopedVariant(step.Chance(50));
    case Param::Text: return ScopedVariant(kKeys[step.Below(std::size(kKeys))]);
    case Param::Object: return source.object(step);
    case Param::Font: return step.Chance(80) ? source.font() : ScopedVariant(static_cast<IDispatch*>(nullptr));
    case Param::None: break;
    }
    return {};
}

// A value of the wrong type or out of range; wrongType is set when it need not convert.
ScopedVariant Bad(Step& step, const ArgumentSource& source, bool& wrongType)
{
    wrongType = true;
    switch (step.Below(11)) {
    case 0: return ScopedVariant(static_cast<IDispatch*>(nullptr));
    case 1: return ScopedVariant();
    case 2: { ScopedVariant null; V_VT(null.Get()) = VT_NULL; return null; }
    case 3: return ScopedVariant(L"not a number");
    case 4: return ScopedVariant(L"3");
    case 5: return ScopedVariant(LongText());
    case 6: return ScopedVariant(-static_cast<long>(step.Below(3)) - 1);
    case 7: return ScopedVariant(static_cast<long>(0x7FFFFFFF - step.Below(2)));
    case 8: return ScopedVariant(1e300);
    case 9: return source.object(step);
    default: return source.font();
    }
}

} // namespace

const std::vector<Member>& Members()
{
    using P = Param;
    static const std::vector<Member> members = {
        {L"SelectedItemCount", false, {}, P::None, {}},
        {L"ShowComponentKeypoints", false, {}, P::Bool, {}},
        {L"ComponentSequenceNos", false, {}, P::Bool, {}},
        {L"ComponentText", false, {}, P::Short, {}},
        {L"AddRUVFileByName", true, {P::Text}, P::None, {}},
        {L"AddRUVFile", true, {P::Object}, P::None, {"exc E_INVALIDARG"}},
        {L"UpdateAll", true, {}, P::None, {}},
        {L"TestGetSelection", true, {}, P::None, {}},
        {L"ClearSelection", true, {}, P::None, {}},
        {L"SetSelection", true, {P::Object}, P::None, {}},
        {L"AddToSelection", true, {P::Object}, P::None, {}},
        {L"RemoveFromSelection", true, {P::Object}, P::None, {}},
        {L"RemoveRUVFile", true, {P::Object}, P::None, {}},
        {L"Update", true, {P::Object}, P::None, {}},
        {L"ShowBrokenItems", true, {}, P::None, {}},
        {L"SelectedItem", false, {P::Long}, P::None, {"exc DISP_E_BADINDEX"}},
        {L"WorkingUnits", false, {P::Text}, P::Long, {}},
        {L"AttributeWorkingUnits", false, {P::Text}, P::Text, {}},
        {L"MakeBold", true, {P::Object}, P::None, {}},
        {L"ClearBold", true, {P::Object}, P::None, {}},
        {L"DisplayNames", false, {P::Text}, P::Text, {}},
        {L"ShowSpools", false, {}, P::Bool, {}},
        // Arguments given to SelectedItems go to its collection's Item.
        {L"SelectedItems", false, {}, P::None, {"exc DISP_E_BADINDEX"}},
        {L"BorderStyle", false, {}, P::Short, {kBadValue}},
        {L"Appearance", false, {}, P::Short, {kBadValue}},
        {L"Enabled", false, {}, P::Bool, {}},
        {L"Font", false, {}, P::Font, {"exc DISP_E_TYPEMISMATCH"}},
        {L"AboutBox", true, {}, P::None, {}},
    };
    return members;
}

const Member* FindMember(const std::wstring& name)
{
    for (const Member& member : Members())
        if (name == member.name)
            return &member;
    return nullptr;
}

std::string OutcomeName(const platform::DispatchResult& result)
{
    return result.hr == DISP_E_EXCEPTION ? "exc " + CodeName(result.scode) : CodeName(result.hr);
}

PlannedCall PlanCall(Step& step, const ArgumentSource& source, bool bad)
{
    PlannedCall call;
    if (bad && step.Chance(3)) { // a member the control does not have
        call.name = step.Chance(50) ? L"NoSuchMember" : LongText();
        call.allowed = {"DISP_E_MEMBERNOTFOUND", "DISP_E_UNKNOWNNAME"};
        return call;
    }
    const auto& members = Members();
    call.member = &members[step.Below(members.size())];
    call.name = call.member->name;
    if (step.Chance(10)) // names are found without regard to case
        std::transform(call.name.begin(), call.name.end(), call.name.begin(), towlower);
    call.put = !call.member->method && step.Chance(bad ? 40 : 50) && (bad || call.member->put != Param::None);
    call.byRef = step.Chance(20);
    std::vector<Param> params = call.member->params;
    if (call.put && call.member->put != Param::None)
        params.push_back(call.member->put);
    if (call.put && call.member->put == Param::None) {
        params.push_back(Param::Long);
        call.allowed.push_back(kReadOnly); // a put on a method or a read-only property
    }
    bool wrongType = false, missing = false;
    for (Param param : params) {
        if (bad && step.Chance(30)) {
            bool wrong = false;
            call.args.push_back(step.Chance(15) ? (missing = true, ScopedVariant::Missing()) : Bad(step, source, wrong));
            wrongType = wrongType || wrong;
        } else {
            call.args.push_back(Good(step, param, source));
        }
    }
    const bool miscounted = bad && step.Chance(10);
    if (miscounted) {
        if (!call.args.empty() && step.Chance(50))
            call.args.pop_back();
        else
            call.args.push_back(Good(step, Param::Long, source));
    }
    call.allowed.insert(call.allowed.end(), call.member->outcomes.begin(), call.member->outcomes.end());
    if (wrongType)
        call.allowed.push_back("DISP_E_TYPEMISMATCH");
    if (missing || (miscounted && call.put))
        call.allowed.push_back("DISP_E_PARAMNOTFOUND");
    if (miscounted)
        call.allowed.insert(call.allowed.end(), {"DISP_E_BADPARAMCOUNT", "DISP_E_TYPEMISMATCH", "exc DISP_E_BADINDEX"});
    return call;
}

PlannedCall PlanGoodCall(Step& step, const ArgumentSource& source, const wchar_t* name)
{
    PlannedCall call;
    call.member = FindMember(name);
    call.name = name;
    for (Param param : call.member->params)
        call.args.push_back(Good(step, param, source));
    call.allowed = call.member->outcomes;
    return call;
}

platform::DispatchResult Perform(IDispatch* control, PlannedCall& call)
{
    platform::DispatchDriver driver(control);
    if (call.put)
        return driver.Put(call.name.c_str(), call.args);
    return call.byRef ? driver.CallByRef(call.name.c_str(), call.args) : driver.Call(call.name.c_str(), call.args);
}

} // namespace chaos
