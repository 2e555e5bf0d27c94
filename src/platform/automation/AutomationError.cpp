#include "platform/automation/AutomationError.h"
#include "platform/com/ScopedBstr.h"

#include <oleauto.h>

#include <cwchar>

namespace platform {

namespace {

HRESULT Report(EXCEPINFO* exception, HRESULT result, ErrorDetails text)
{
    if (text.description.empty())
        text.description = SystemErrorText(result);
    if (!exception) {
        SetThreadErrorInfo(IID_NULL, text);
        return result;
    }
    // The caller's EXCEPINFO is output only: whatever it held is not ours to free.
    *exception = EXCEPINFO{};
    ScopedBstr source(text.source), description(text.description), helpFile;
    if (!text.helpFile.empty())
        helpFile = ScopedBstr(text.helpFile);
    if (!source.Get() || !description.Get() || (!text.helpFile.empty() && !helpFile.Get()))
        return E_OUTOFMEMORY; // a report without its texts would read as no report
    exception->scode = result;
    exception->bstrSource = source.Release();
    exception->bstrDescription = description.Release();
    exception->bstrHelpFile = helpFile.Release();
    exception->dwHelpContext = text.helpContext;
    return DISP_E_EXCEPTION;
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

ComError DescribedError(HRESULT result, const IID& iid, const std::wstring& description)
{
    ComPtr<ICreateErrorInfo> create;
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(CreateErrorInfo(create.Receive()))) {
        create->SetGUID(iid);
        create->SetDescription(const_cast<wchar_t*>(description.c_str()));
        info = create.Query<IErrorInfo>();
    }
    return ComError(result, iid, info);
}

HRESULT ReportAutomationError(EXCEPINFO* exception, HRESULT result, const std::wstring& source,
                              std::wstring description)
{
    return Report(exception, result, {source, std::move(description), {}, 0});
}

HRESULT ReportAutomationError(EXCEPINFO* exception, const ComError& error, const std::wstring& source)
{
    ErrorDetails text{source, error.Description(), {}, 0};
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
    return Report(exception, error.Result(), std::move(text));
}

} // namespace platform
