// Failures inside an automation call reach the caller as DISP_E_EXCEPTION with a filled
// EXCEPINFO, or as the failure itself with the thread's error information; no exception escapes.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/automation/AutomationError.h"
#include "platform/com/ScopedBstr.h"

namespace {

using platform::ComError;
using platform::ComPtr;
using platform::GuardAutomationCall;
using platform::ScopedBstr;

constexpr HRESULT kOwnCode = static_cast<HRESULT>(0x8004ABCDL);

// An EXCEPINFO that frees its strings.
struct ExcepInfo : EXCEPINFO {
    ExcepInfo() : EXCEPINFO{} {}
    ~ExcepInfo()
    {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
    }
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
};

std::wstring Text(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

ComPtr<IErrorInfo> MakeErrorInfo(const wchar_t* source, const wchar_t* description, const wchar_t* helpFile)
{
    ComPtr<ICreateErrorInfo> create;
    EXPECT_EQ(S_OK, CreateErrorInfo(create.Receive()));
    create->SetSource(const_cast<wchar_t*>(source));
    create->SetDescription(const_cast<wchar_t*>(description));
    create->SetHelpFile(const_cast<wchar_t*>(helpFile));
    create->SetHelpContext(17);
    ComPtr<IErrorInfo> info;
    create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.Receive()));
    return info;
}

TEST(AutomationErrorTest, ComErrorKeepsTheFailingObjectsOwnErrorInformation)
{
    ExcepInfo exception;
    const HRESULT hr = GuardAutomationCall(&exception, L"Corbel", []() -> HRESULT {
        throw ComError(kOwnCode, IID_IDispatch, MakeErrorInfo(L"RUVModel", L"the file is closed", L"model.chm"));
    });
    EXPECT_EQ(DISP_E_EXCEPTION, hr);
    EXPECT_EQ(kOwnCode, exception.scode);
    EXPECT_EQ(0, exception.wCode);
    EXPECT_EQ(L"RUVModel", Text(exception.bstrSource));
    EXPECT_EQ(L"the file is closed", Text(exception.bstrDescription));
    EXPECT_EQ(L"model.chm", Text(exception.bstrHelpFile));
    EXPECT_EQ(17u, exception.dwHelpContext);
}

TEST(AutomationErrorTest, FailuresWithoutTextGetOurSourceAndADescription)
{
    ExcepInfo plain;
    EXPECT_EQ(DISP_E_EXCEPTION, GuardAutomationCall(&plain, L"Corbel", []() -> HRESULT {
                  throw ComError(kOwnCode, IID_NULL, nullptr);
              }));
    EXPECT_EQ(kOwnCode, plain.scode);
    EXPECT_EQ(L"Corbel", Text(plain.bstrSource));
    EXPECT_EQ(L"Error 0x8004ABCD", Text(plain.bstrDescription));
    EXPECT_EQ(nullptr, plain.bstrHelpFile);

    ExcepInfo known;
    platform::ReportAutomationError(&known, E_INVALIDARG, L"Corbel");
    EXPECT_FALSE(Text(known.bstrDescription).empty());
    EXPECT_NE(L'\n', Text(known.bstrDescription).back());
}

TEST(AutomationErrorTest, EveryOtherExceptionIsCaughtWithAFittingCode)
{
    ExcepInfo memory;
    EXPECT_EQ(DISP_E_EXCEPTION, GuardAutomationCall(&memory, L"Corbel", []() -> HRESULT { throw std::bad_alloc(); }));
    EXPECT_EQ(E_OUTOFMEMORY, memory.scode);

    ExcepInfo other;
    EXPECT_EQ(DISP_E_EXCEPTION,
              GuardAutomationCall(&other, L"Corbel", []() -> HRESULT { throw std::runtime_error("x"); }));
    EXPECT_EQ(E_UNEXPECTED, other.scode);
}

TEST(AutomationErrorTest, WithoutAnExcepInfoTheFailureAndThreadErrorInfoAreReturned)
{
    SetErrorInfo(0, nullptr);
    const HRESULT hr = GuardAutomationCall(nullptr, L"Corbel", []() -> HRESULT {
        throw ComError(kOwnCode, IID_NULL, MakeErrorInfo(L"", L"no such item", L""));
    });
    EXPECT_EQ(kOwnCode, hr);
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(S_OK, GetErrorInfo(0, info.Receive()));
    ScopedBstr source;
    ScopedBstr description;
    info->GetSource(source.Receive());
    info->GetDescription(description.Receive());
    EXPECT_EQ(L"Corbel", source.Text());
    EXPECT_EQ(L"no such item", description.Text());
}

TEST(AutomationErrorTest, SuccessfulCallsLeaveTheExcepInfoAlone)
{
    ExcepInfo exception;
    exception.scode = 5;
    EXPECT_EQ(S_FALSE, GuardAutomationCall(&exception, L"Corbel", [] { return S_FALSE; }));
    EXPECT_EQ(5, exception.scode);
    EXPECT_EQ(nullptr, exception.bstrDescription);
}

} // namespace
