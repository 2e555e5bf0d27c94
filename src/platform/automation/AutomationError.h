// The automation boundary's error reporting: a failure inside an automation call becomes that
// call's error, DISP_E_EXCEPTION with the failure's HRESULT, source and description in the
// caller's EXCEPINFO, and no exception crosses into the caller.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <new>
#include <string>

#include "platform/com/ComError.h"

namespace platform {

// Fills exception with result, source and description (the system's text for result when
// description is empty) and returns DISP_E_EXCEPTION. A caller without an EXCEPINFO gets result
// itself, with the same text as the thread's error information. When the report's texts cannot
// be allocated, the call's error is E_OUTOFMEMORY, with no EXCEPINFO filled in.
HRESULT ReportAutomationError(EXCEPINFO* exception, HRESULT result, const std::wstring& source,
                              std::wstring description = std::wstring());

// The same for a COM error: its own error information (source, description, help) wins over ours.
HRESULT ReportAutomationError(EXCEPINFO* exception, const ComError& error, const std::wstring& source);

// The system's message for result, without the trailing line break; "Error 0x8XXXXXXX" when the
// system has none.
std::wstring SystemErrorText(HRESULT result);

// A COM error that we describe in words: its error information holds the description and no
// source, so that the boundary that reports it names itself as the source.
ComError DescribedError(HRESULT result, const IID& iid, const std::wstring& description);

// Runs body (returning an HRESULT) and reports any exception it throws through exception.
template <typename Body>
HRESULT GuardAutomationCall(EXCEPINFO* exception, const std::wstring& source, Body body) noexcept
{
    try {
        return body();
    } catch (const ComError& error) {
        return ReportAutomationError(exception, error, source);
    } catch (const std::bad_alloc&) {
        return ReportAutomationError(exception, E_OUTOFMEMORY, source);
    } catch (...) {
        return ReportAutomationError(exception, E_UNEXPECTED, source);
    }
}

} // namespace platform
