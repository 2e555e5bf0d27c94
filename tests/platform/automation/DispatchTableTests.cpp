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

namespace {

using platform::DispatchArgs;
using platform::DispatchMember;
using platform::ScopedVariant;

enum : DISPID { kCombine = 1, kName, kCount, kItem, kTake, kFail };

struct Thing {
    std::wstring name = L"first";
    std::array<long, 3> items{};
    int nullObjects = 0;
    int objects = 0;

    std::vector<DispatchMember> Table()
    {
        return {
            {kCombine, 2,
             [](const DispatchArgs& args, VARIANT& result) {
                 V_VT(&result) = VT_I4;
                 V_I4(&result) = args.Long(0) * 10 + args.Long(1); // order shows in the digits
                 return S_OK;
             },
             nullptr},
            {kName, 0,
             [this](const DispatchArgs&, VARIANT& result) {
                 V_VT(&result) = VT_BSTR;
                 V_BSTR(&result) = SysAllocString(name.c_str());
                 return S_OK;
             },
             [this](const DispatchArgs& args) {
                 name = args.String(0);
                 return S_OK;
             }},
            {kCount, 0,
             [](const DispatchArgs&, VARIANT& result) {
                 V_VT(&result) = VT_I4;
                 V_I4(&result) = 3;
                 return S_OK;
             },
             nullptr},
            {kItem, 1,
             [this](const DispatchArgs& args, VARIANT& result) {
                 const long index = args.Long(0);
                 if (index < 0 || index >= 3)
                     return DISP_E_BADINDEX;
                 V_VT(&result) = VT_I4;
                 V_I4(&result) = items[static_cast<size_t>(index)];
                 return S_OK;
             },
             [this](const DispatchArgs& args) {
                 const long index = args.Long(0);
                 if (index < 0 || index >= 3)
                     return DISP_E_BADINDEX;
                 items[static_cast<size_t>(index)] = args.Long(1);
                 return S_OK;
             }},
            {kTake, 1,
             [this](const DispatchArgs& args, VARIANT&) {
                 ++(args.Object(0) ? objects : nullObjects);
                 return S_OK;
             },
             nullptr},
            {kFail, 0,
             [](const DispatchArgs&, VARIANT&) -> HRESULT { platform::RaiseComError(E_ACCESSDENIED); },
             nullptr},
        };
    }
};

VARIANT Long(long value)
{
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

class DispatchTableTest : public ::testing::Test {
protected:
    // Calls id with args in declaration order (a put's value last), as a script host does.
    HRESULT Call(DISPID id, WORD flags, std::vector<VARIANT> args)
    {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        if (flags & DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &putId;
            params.cNamedArgs = 1;
        }
        argError = 99;
        ClearException();
        return platform::InvokeMember(table, id, flags, &params, result.Receive(), &exception, &argError, L"Thing");
    }
    void ClearException()
    {
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        exception = EXCEPINFO{};
    }
    void TearDown() override { ClearException(); }

    Thing thing;
    std::vector<DispatchMember> table = thing.Table();
    ScopedVariant result;
    EXCEPINFO exception{};
    UINT argError = 0;
};

TEST_F(DispatchTableTest, ArgumentsArriveInDeclarationOrderByValueOrReferenceAndConverted)
{
    ASSERT_EQ(Call(kCombine, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {Long(4), Long(2)}), S_OK);
    EXPECT_EQ(V_I4(&result.Value()), 42);

    long byReference = 7;
    VARIANT reference;
    V_VT(&reference) = VT_BYREF | VT_I4;
    V_I4REF(&reference) = &byReference;
    ScopedVariant text;
    V_VT(text.Get()) = VT_BSTR;
    V_BSTR(text.Get()) = SysAllocString(L"3");
    ASSERT_EQ(Call(kCombine, DISPATCH_METHOD, {reference, text.Value()}), S_OK);
    EXPECT_EQ(V_I4(&result.Value()), 73);
}

TEST_F(DispatchTableTest, PropertiesAndParameterisedPropertiesGetAndPut)
{
    ScopedVariant name;
    V_VT(name.Get()) = VT_BSTR;
    V_BSTR(name.Get()) = SysAllocString(L"second");
    ASSERT_EQ(Call(kName, DISPATCH_PROPERTYPUT, {name.Value()}), S_OK);
    ASSERT_EQ(Call(kName, DISPATCH_PROPERTYGET, {}), S_OK);
    EXPECT_STREQ(V_BSTR(&result.Value()), L"second");

    ASSERT_EQ(Call(kItem, DISPATCH_PROPERTYPUT, {Long(1), Long(55)}), S_OK);
    EXPECT_EQ(thing.items[1], 55) << "index first, value last";
    ASSERT_EQ(Call(kItem, DISPATCH_PROPERTYGET, {Long(1)}), S_OK);
    EXPECT_EQ(V_I4(&result.Value()), 55);
}

TEST_F(DispatchTableTest, ObjectArgumentsAcceptNothing)
{
    VARIANT empty;
    V_VT(&empty) = VT_EMPTY;
    VARIANT nothing;
    V_VT(&nothing) = VT_DISPATCH;
    V_DISPATCH(&nothing) = nullptr;
    EXPECT_EQ(Call(kTake, DISPATCH_METHOD, {empty}), S_OK);
    EXPECT_EQ(Call(kTake, DISPATCH_METHOD, {nothing}), S_OK);
    EXPECT_EQ(thing.nullObjects, 2);
    EXPECT_EQ(Call(kTake, DISPATCH_METHOD, {Long(5)}), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(thing.objects, 0);
}

TEST_F(DispatchTableTest, MalformedCallsGetTheirOwnErrors)
{
    EXPECT_EQ(Call(77, DISPATCH_METHOD, {}), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(kCombine, DISPATCH_METHOD, {Long(1)}), DISP_E_BADPARAMCOUNT);

    ScopedVariant word;
    V_VT(word.Get()) = VT_BSTR;
    V_BSTR(word.Get()) = SysAllocString(L"seven");
    EXPECT_EQ(Call(kCombine, DISPATCH_METHOD, {Long(1), word.Value()}), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argError, 0u) << "the last argument sits first in rgvarg";
    EXPECT_EQ(Call(kCombine, DISPATCH_METHOD, {word.Value(), Long(1)}), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(argError, 1u);

    VARIANT missing;
    V_VT(&missing) = VT_ERROR;
    V_ERROR(&missing) = DISP_E_PARAMNOTFOUND;
    EXPECT_EQ(Call(kCombine, DISPATCH_METHOD, {missing, Long(1)}), DISP_E_PARAMNOTFOUND);

    VARIANT value = Long(1);
    DISPPARAMS unnamedPut{&value, nullptr, 1, 0};
    EXPECT_EQ(platform::InvokeMember(table, kName, DISPATCH_PROPERTYPUT, &unnamedPut, nullptr, nullptr, nullptr,
                                     L"Thing"),
              DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(thing.name, L"first");
}

TEST_F(DispatchTableTest, FailuresInsideMembersAreReportedThroughExcepInfo)
{
    EXPECT_EQ(Call(kCount, DISPATCH_PROPERTYPUT, {Long(4)}), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, platform::kSetNotSupported);

    EXPECT_EQ(Call(kItem, DISPATCH_PROPERTYGET, {Long(3)}), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, DISP_E_BADINDEX);
    EXPECT_EQ(V_VT(&result.Value()), VT_EMPTY);

    EXPECT_EQ(Call(kFail, DISPATCH_METHOD, {}), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, E_ACCESSDENIED);
    EXPECT_STREQ(exception.bstrSource, L"Thing");
}

} // namespace
