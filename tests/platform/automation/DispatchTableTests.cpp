// Invoke over a member table, called the way script hosts call: reversed and by-reference
// arguments, conversions, property puts with their named value, parameterised properties, and
// every way a call can be wrong.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/com/ComError.h"
#include "platform/automation/DispatchTable.h"
#include "platform/com/ScopedVariant.h"
#include "platform/com/ScopedExcepInfo.h"
#include "support/ComStub.h"

namespace {

using platform::DispatchArgs;
using platform::DispatchMember;
using platform::ScopedVariant;

enum : DISPID { kCombine = 1, kName, kCount, kItem, kTake, kFail, kChild };

// A member table with one of each kind: a method with arguments, a property, a read-only
// property, a parameterised property, a method taking an object, one that raises, and a property
// whose object takes the arguments left over.
struct Thing {
    std::wstring name = L"first";
    std::array<long, 3> items{};
    int nullObjects = 0;
    int objects = 0;
    teststub::DispatchStub child;

    std::vector<DispatchMember> Table()
    {
        using Args = const DispatchArgs&;
        auto at = [this](Args args) -> long* {
            const long index = args.Long(0);
            return index >= 0 && index < 3 ? &items[static_cast<size_t>(index)] : nullptr;
        };
        return {
            // The order of the arguments shows in the digits.
            {kCombine, 2, [](Args args, ScopedVariant& result) { return result = args.Long(0) * 10 + args.Long(1), S_OK; },
             nullptr},
            {kName, 0, [this](Args, ScopedVariant& result) { return result = name, S_OK; },
             [this](Args args) { return name = args.String(0), S_OK; }},
            {kCount, 0, [](Args, ScopedVariant& result) { return result = 3, S_OK; }, nullptr},
            {kItem, 1, [at](Args args, ScopedVariant& result) { return at(args) ? result = *at(args), S_OK : DISP_E_BADINDEX; },
             [at](Args args) { return at(args) ? *at(args) = args.Long(1), S_OK : DISP_E_BADINDEX; }},
            {kTake, 1, [this](Args args, ScopedVariant&) { return ++(args.Object(0) ? objects : nullObjects), S_OK; },
             nullptr},
            {kFail, 0, [](Args, ScopedVariant&) -> HRESULT { platform::RaiseComError(E_ACCESSDENIED); }, nullptr},
            {kChild, 0, [this](Args, ScopedVariant& result) { return result = static_cast<IDispatch*>(&child), S_OK; },
             nullptr, true},
        };
    }
};

class DispatchTableTest : public ::testing::Test {
protected:
    // Calls id with args in declaration order (a put's value last), as a script host does.
    HRESULT Call(DISPID id, WORD flags, const std::vector<ScopedVariant>& args)
    {
        std::vector<VARIANT> reversed;
        for (auto arg = args.rbegin(); arg != args.rend(); ++arg)
            reversed.push_back(arg->Value());
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        if (flags & DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &putId;
            params.cNamedArgs = 1;
        }
        argError = 99;
        return platform::InvokeMember(table, id, flags, &params, result.Receive(), exception.Receive(), &argError,
                                      L"Thing");
    }

    Thing thing;
    std::vector<DispatchMember> table = thing.Table();
    ScopedVariant result;
    platform::ScopedExcepInfo exception;
    UINT argError = 0;
};

// A call as a script host makes it, and what it gives: the HRESULT, then the result's text (or the
// reported error code for DISP_E_EXCEPTION, or the bad argument's position in rgvarg).
struct Row {
    const char* what;
    DISPID id;
    WORD flags;
    std::vector<ScopedVariant> args;
    HRESULT hr;
    std::wstring result;
    long code = 0;
};

TEST_F(DispatchTableTest, CallsAndTheirOutcomes)
{
    const Row rows[] = {
        {"arguments in declaration order", kCombine, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {4, 2}, S_OK, L"42"},
        {"converted to the member's types", kCombine, DISPATCH_METHOD, {L"7", 3}, S_OK, L"73"},
        {"a property put", kName, DISPATCH_PROPERTYPUT, {L"second"}, S_OK, L""},
        {"and get", kName, DISPATCH_PROPERTYGET, {}, S_OK, L"second"},
        {"a parameterised put: index first, value last", kItem, DISPATCH_PROPERTYPUT, {1, 55}, S_OK, L""},
        {"and get", kItem, DISPATCH_PROPERTYGET, {1}, S_OK, L"55"},
        {"Nothing as Empty", kTake, DISPATCH_METHOD, {ScopedVariant()}, S_OK, L""},
        {"Nothing as a null object", kTake, DISPATCH_METHOD, {static_cast<IDispatch*>(nullptr)}, S_OK, L""},
        {"a number for an object", kTake, DISPATCH_METHOD, {5}, DISP_E_TYPEMISMATCH, L"", 0},
        {"an unknown member", 77, DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND, L""},
        {"too few arguments", kCombine, DISPATCH_METHOD, {1}, DISP_E_BADPARAMCOUNT, L""},
        {"the last argument sits first in rgvarg", kCombine, DISPATCH_METHOD, {1, L"seven"}, DISP_E_TYPEMISMATCH, L"", 0},
        {"the first one last", kCombine, DISPATCH_METHOD, {L"seven", 1}, DISP_E_TYPEMISMATCH, L"", 1},
        {"a missing argument", kCombine, DISPATCH_METHOD, {ScopedVariant::Missing(), 1}, DISP_E_PARAMNOTFOUND, L"", 1},
        {"a read-only property", kCount, DISPATCH_PROPERTYPUT, {4}, DISP_E_EXCEPTION, L"", platform::kSetNotSupported},
        {"a member's failure", kItem, DISPATCH_PROPERTYGET, {3}, DISP_E_EXCEPTION, L"", DISP_E_BADINDEX},
        {"a member's exception", kFail, DISPATCH_METHOD, {}, DISP_E_EXCEPTION, L"", E_ACCESSDENIED},
        {"a get's extra arguments go to its object's default member", kChild, DISPATCH_PROPERTYGET, {5}, S_OK, L""},
        {"a method call's do not", kChild, DISPATCH_METHOD, {5}, DISP_E_BADPARAMCOUNT, L""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_EQ(Call(row.id, row.flags, row.args), row.hr);
        if (row.hr == DISP_E_EXCEPTION) {
            EXPECT_EQ(exception.Code(), row.code);
            EXPECT_EQ(exception.Source(), L"Thing");
        } else if (row.hr == DISP_E_TYPEMISMATCH || row.hr == DISP_E_PARAMNOTFOUND) {
            EXPECT_EQ(argError, static_cast<UINT>(row.code));
        }
        if (!row.result.empty())
            EXPECT_EQ(ScopedVariant::Converted(result.Value(), VT_BSTR).Text(), row.result);
        else
            EXPECT_EQ(result.Type(), VT_EMPTY);
    }
    EXPECT_EQ(thing.nullObjects, 2);
    EXPECT_EQ(thing.objects, 0);
    ASSERT_EQ(thing.child.calls.size(), 1u);
    EXPECT_TRUE(thing.child.calls[0].id == DISPID_VALUE && thing.child.calls[0].args[0].ToLong() == 5);
}

TEST_F(DispatchTableTest, ByReferenceArgumentsAndUnnamedPuts)
{
    long byReference = 7;
    ScopedVariant reference;
    V_VT(reference.Get()) = VT_BYREF | VT_I4;
    V_I4REF(reference.Get()) = &byReference;
    ASSERT_EQ(Call(kCombine, DISPATCH_METHOD, {reference, L"3"}), S_OK);
    EXPECT_EQ(result.ToLong(), 73);
    // A missing argument passed on by reference (a script's own optional parameter it was not given).
    ScopedVariant missing = ScopedVariant::Missing(), missingByReference;
    V_VT(missingByReference.Get()) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(missingByReference.Get()) = missing.Get();
    EXPECT_EQ(Call(kCombine, DISPATCH_METHOD, {1, missingByReference}), DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(Call(kTake, DISPATCH_METHOD, {missingByReference}), DISP_E_PARAMNOTFOUND);

    ScopedVariant value(1);
    DISPPARAMS unnamedPut{value.Get(), nullptr, 1, 0};
    EXPECT_EQ(platform::InvokeMember(table, kName, DISPATCH_PROPERTYPUT, &unnamedPut, nullptr, nullptr, nullptr,
                                     L"Thing"),
              DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(thing.name, L"first");
}

} // namespace
