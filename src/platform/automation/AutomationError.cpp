#include "platform/automation/AutomationError.h"

#include <oleauto.h>

#include <cwchar>

namespace platform {

namespace {

struct ErrorText {
    HRESULT result;
    std::wstring source;
    std::wstring description;
    std::wstring helpFile;
    DWORD helpContext = 0;
};

HRESULT Report(EXCEPINFO* exception, ErrorText text)
{
    if (text.description.empty())
        text.description = SystemErrorText(text.result);
    if (exception) {
        // The caller's EXCEPINFO is output only: whatever it held is not ours to free.
        *exception = EXCEPINFO{};
        exception->scode = text.result;
        exception->bstrSource = SysAllocStringLen(text.source.data(), static_cast<UINT>(text.source.size()));
        exception->bstrDescription =
            SysAllocStringLen(text.description.data(), static_cast<UINT>(text.description.size()));
        if (!text.helpFile.empty())
            exception->bstrHelpFile = SysAllocStringLen(text.helpFile.data(), static_cast<UINT>(text.helpFile.size()));
        exception->dwHelpContext = text.helpContext;
        return DISP_E_EXCEPTION;
    }
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.Receive()))) {
        create->SetSource(const_cast<wchar_t*>(text.source.c_str()));
        create->SetDescription(const_cast<wchar_t*>(text.description.c_str()));
        if (!text.helpFile.empty())
            create->SetHelpFile(const_cast<wchar_t*>(text.helpFile.c_str()));
        create->SetHelpContext(text.helpContext);
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(info.Receive()))))
            SetErrorInfo(0, info.Get());
    }
    return text.result;
}

} // namespace

std::wstring SystemErrorText(HRESULT result)
{
    // The control framework's own errors, which the system has no text for.
    switch (result) {
    case MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 380):
        return L"Invalid property value.";
    case MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 383):
        return L"The property is read-only.";
    case MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 387):
        return L"The property cannot be set now.";
    default:
        break;
    }
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", buffer ? length : 0);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    if (text.empty()) {
        wchar_t code[32];
        std::swprintf(code, 32, L"Error 0x%08lX", static_cast<unsigned long>(result));
        text = code;
    }
    return text;
}

HRESULT ReportAutomationError(EXCEPINFO* exception, HRESULT result, const std::wstring& source,
                              std::wstring description)
{
    return Report(exception, {result, source, std::move(description), {}, 0});
}

HRESULT ReportAutomationError(EXCEPINFO* exception, const ComError& error, const std::wstring& source)
{
    ErrorText text{error.Result(), source, error.Description(), {}, 0};
    if (IErrorInfo* info = error.ErrorInfo()) {
        ScopedBstr theirSource;
        if (SUCCEEDED(info->GetSource(theirSource.Receive())) && !theirSource.Text().empty())
            text.source = theirSource.Text();
        ScopedBstr helpFile;
        if (SUCCEEDED(info->GetHelpFile(helpFile.Receive())))
            text.helpFile = helpFile.Text();
        DWORD helpContext = 0;
        if (SUCCEEDED(info->GetHelpContext(&helpContext)))
            text.helpContext = helpContext;
    }
    return Report(exception, std::move(text));
}

} // namespace platform
