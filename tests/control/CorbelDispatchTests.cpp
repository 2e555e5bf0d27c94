// The control's automation members called the way a script host calls them: by DISPID, with
// reversed, converted and by-reference arguments, and the errors a host sees.
#include "ControlFixture.h"
#include "control/CorbelDispatch.h"

namespace {

using platform::ScopedVariant;

VARIANT Long(long value)
{
    VARIANT v;
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

VARIANT Object(IDispatch* object)
{
    VARIANT v;
    V_VT(&v) = VT_DISPATCH;
    V_DISPATCH(&v) = object;
    return v;
}

class Automation : public Control {
protected:
    // Invokes id with args in declaration order (a put's value last).
    HRESULT Call(DISPID id, WORD flags, std::vector<VARIANT> args = {})
    {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        if (flags == DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &putId;
            params.cNamedArgs = 1;
        }
        ClearException();
        UINT argError = 0;
        const auto members = CorbelMembers(*control);
        return platform::InvokeMember(members, id, flags, &params, result.Receive(), &exception, &argError,
                                      L"Corbel");
    }
    void ClearException()
    {
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
        exception = EXCEPINFO{};
    }
    void ReleaseAll() override
    {
        ClearException();
        result.Receive();
        Control::ReleaseAll();
    }
    IDispatch* Result() { return V_DISPATCH(&result.Value()); }

    static constexpr WORD kGet = DISPATCH_PROPERTYGET | DISPATCH_METHOD;
    ScopedVariant result;
    EXCEPINFO exception{};
};

TEST_F(Automation, AHostAddsAFileSelectsAndReadsTheSelectionBack)
{
    ComPtr<IDispatch> fileObject = platform::QueryOrNull<IDispatch>(file.Get());
    ASSERT_EQ(Call(dispidAddRUVFile, DISPATCH_METHOD, {Object(fileObject.Get())}), S_OK);
    EXPECT_NE(Ctl().GetRootItem(), nullptr);

    ComPtr<IDispatch> xObject = platform::QueryOrNull<IDispatch>(x.Get());
    VARIANT held = Object(xObject.Get());
    VARIANT reference;
    V_VT(&reference) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&reference) = &held;
    ASSERT_EQ(Call(dispidSetSelection, DISPATCH_METHOD, {reference}), S_OK);

    ASSERT_EQ(Call(dispidSelectedItemCount, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(V_VT(&result.Value()), VT_I4);
    EXPECT_EQ(V_I4(&result.Value()), 1);
    ScopedVariant zero;
    V_VT(zero.Get()) = VT_BSTR;
    V_BSTR(zero.Get()) = SysAllocString(L"0");
    ASSERT_EQ(Call(dispidSelectedItem, kGet, {zero.Value()}), S_OK);
    EXPECT_TRUE(Same(Result(), x.Get()));

    EXPECT_EQ(Call(dispidSelectedItem, kGet, {Long(1)}), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, DISP_E_BADINDEX);
    EXPECT_EQ(Call(dispidRemoveRUVFile, DISPATCH_METHOD, {Object(fileObject.Get())}), S_OK);
    EXPECT_EQ(Ctl().GetRootItem(), nullptr);
}

TEST_F(Automation, WrongCallsFailWithTheirOwnErrorsAndChangeNothing)
{
    EXPECT_EQ(Call(dispidAddRUVFile, DISPATCH_METHOD, {Object(nullptr)}), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, E_INVALIDARG);
    EXPECT_EQ(Call(dispidAddRUVFile, DISPATCH_METHOD, {Long(3)}), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(Call(dispidAddRUVFile, DISPATCH_METHOD), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Ctl().GetRootItem(), nullptr);

    EXPECT_EQ(Call(dispidSelectedItemCount, DISPATCH_PROPERTYPUT, {Long(3)}), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, platform::kSetNotSupported);
    EXPECT_EQ(Call(dispidSelectedItem, DISPATCH_PROPERTYPUT, {Long(0), Long(3)}), DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, platform::kSetNotSupported);
    EXPECT_EQ(Call(-999, DISPATCH_METHOD), DISP_E_MEMBERNOTFOUND);

    ScopedVariant name;
    V_VT(name.Get()) = VT_BSTR;
    V_BSTR(name.Get()) = SysAllocString(L"plant.json");
    ASSERT_EQ(Call(dispidAddRUVFileByName, DISPATCH_METHOD, {name.Value()}), S_OK);
    EXPECT_EQ(V_VT(&result.Value()), VT_DISPATCH);
    EXPECT_EQ(Result(), nullptr);
    ASSERT_EQ(Call(dispidTestGetSelection, DISPATCH_METHOD), S_OK);
    EXPECT_EQ(Result(), nullptr);
    EXPECT_EQ(Ctl().GetRootItem(), nullptr);
}

TEST_F(Automation, SettingsPropertiesRoundTripThroughAutomationTypes)
{
    ASSERT_EQ(Call(dispidComponentText, DISPATCH_PROPERTYPUT, {Long(1)}), S_OK);
    ASSERT_EQ(Call(dispidComponentText, DISPATCH_PROPERTYPUT, {Long(2)}), S_OK);
    ASSERT_EQ(Call(dispidComponentText, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(V_VT(&result.Value()), VT_I2);
    EXPECT_EQ(V_I2(&result.Value()), 1);

    ASSERT_EQ(Call(dispidShowSpools, DISPATCH_PROPERTYPUT, {Long(0)}), S_OK);
    ASSERT_EQ(Call(dispidShowSpools, DISPATCH_PROPERTYGET), S_OK);
    EXPECT_EQ(V_VT(&result.Value()), VT_BOOL);
    EXPECT_EQ(V_BOOL(&result.Value()), VARIANT_FALSE);
    EXPECT_EQ(control->boundChanges.back(), dispidShowSpools);

    ScopedVariant key;
    V_VT(key.Get()) = VT_BSTR;
    V_BSTR(key.Get()) = SysAllocString(L"Length");
    ASSERT_EQ(Call(dispidWorkingUnits, DISPATCH_PROPERTYPUT, {key.Value(), Long(2)}), S_OK);
    ASSERT_EQ(Call(dispidWorkingUnits, DISPATCH_PROPERTYGET, {key.Value()}), S_OK);
    EXPECT_EQ(V_I4(&result.Value()), 2);

    ASSERT_EQ(Call(dispidDisplayNames, DISPATCH_PROPERTYPUT, {key.Value(), key.Value()}), S_OK);
    ASSERT_EQ(Call(dispidDisplayNames, DISPATCH_PROPERTYGET, {key.Value()}), S_OK);
    EXPECT_STREQ(V_BSTR(&result.Value()), L"Length");
    ASSERT_EQ(Call(dispidAttributeWorkingUnits, DISPATCH_PROPERTYGET, {key.Value()}), S_OK);
    EXPECT_STREQ(V_BSTR(&result.Value()), L"");
}

} // namespace
