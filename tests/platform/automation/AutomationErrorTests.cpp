// Failures inside an automation call reach the caller as DISP_E_EXCEPTION with a filled
// EXCEPINFO, or, for a caller without one, as the failure itself with the thread's error
// information; no exception escapes.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "platform/automation/AutomationError.h"
#include "platform/com/ScopedBstr.h"
#include "platform/com/ScopedExcepInfo.h"

namespace {

using platform::ComError;
using platform::ComPtr;
using platform::GuardAutomationCall;

constexpr HRESULT kOwnCode = static_cast<HRESULT>(0x8004ABCDL);

ComPtr<IErrorInfo> MakeErrorInfo(const wchar_t* source, const wchar_t* description, const wchar_t* helpFile)
{
    platform::SetThreadErrorInfo(IID_NULL, {source, description, helpFile, 17});
    ComPtr<IErrorInfo> info;
    GetErrorInfo(0, info.Receive());
    return info;
}

struct Failure {
    const char* what;
    std::function<HRESULT()> body;
    HRESULT scode;
    const wchar_t* source;
    const wchar_t* description; // null: the system's text, whatever it is
    const wchar_t* helpFile;
};

TEST(AutomationError, EveryFailureBecomesTheCallsExceptionReport)
{
    const Failure failures[] = {
        {"a COM error keeps the failing object's own information",
         []() -> HRESULT {
             throw ComError(kOwnCode, IID_IDispatch, MakeErrorInfo(L"RUVModel", L"the file is closed", L"model.chm"));
         },
         kOwnCode, L"RUVModel", L"the file is closed", L"model.chm"},
        {"a bare COM error gets our source and its code as text",
         []() -> HRESULT { throw ComError(kOwnCode, IID_NULL, nullptr); }, kOwnCode, L"Corbel", L"Error 0x8004ABCD", L""},
        {"a known failure gets the system's text",
         []() -> HRESULT { throw ComError(E_INVALIDARG, IID_NULL, nullptr); }, E_INVALIDARG, L"Corbel", nullptr, L""},
        {"memory", []() -> HRESULT { throw std::bad_alloc(); }, E_OUTOFMEMORY, L"Corbel", nullptr, L""},
        {"anything else", []() -> HRESULT { throw std::runtime_error("x"); }, E_UNEXPECTED, L"Corbel", nullptr, L""},
    };
    for (const Failure& failure : failures) {
        SCOPED_TRACE(failure.what);
        platform::ScopedExcepInfo exception;
        EXPECT_EQ(GuardAutomationCall(exception.Receive(), L"Corbel", failure.body), DISP_E_EXCEPTION);
        EXPECT_EQ(exception.Code(), failure.scode);
        EXPECT_EQ(exception.Info().wCode, 0);
        EXPECT_EQ(exception.Source(), failure.source);
        const std::wstring description = exception.Description();
        if (failure.description) {
            EXPECT_EQ(description, failure.description);
        }
        EXPECT_FALSE(description.empty() || description.back() == L'\n') << "a text without a line break";
        const BSTR helpFile = exception.Info().bstrHelpFile;
        EXPECT_EQ(std::wstring(helpFile ? helpFile : L""), failure.helpFile);

        // A caller without an EXCEPINFO gets the failure itself, the same text as error information.
        SetErrorInfo(0, nullptr);
        EXPECT_EQ(GuardAutomationCall(nullptr, L"Corbel", failure.body), failure.scode);
        ComPtr<IErrorInfo> info;
        platform::ScopedBstr source, text;
        ASSERT_EQ(GetErrorInfo(0, info.Receive()), S_OK);
        info->GetSource(source.Receive());
        info->GetDescription(text.Receive());
        EXPECT_EQ(source.Text() + L": " + text.Text(), std::wstring(failure.source) + L": " + description);
    }
}

TEST(AutomationError, SuccessfulCallsLeaveTheExcepInfoAlone)
{
    platform::ScopedExcepInfo exception;
    EXCEPINFO* info = exception.Receive();
    info->scode = 5;
    EXPECT_EQ(GuardAutomationCall(info, L"Corbel", [] { return S_FALSE; }), S_FALSE);
    EXPECT_EQ(info->scode, 5);
    EXPECT_EQ(info->bstrDescription, nullptr);
}

} // namespace
