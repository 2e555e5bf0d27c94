// An owned EXCEPINFO, the error report of an IDispatch::Invoke: its strings are freed when it goes.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace platform {

class ScopedExcepInfo {
public:
    ScopedExcepInfo() = default;
    ~ScopedExcepInfo() { Clear(); }
    ScopedExcepInfo(const ScopedExcepInfo&) = delete;
    ScopedExcepInfo& operator=(const ScopedExcepInfo&) = delete;

    // For Invoke's out parameter: clears what it holds and hands out the slot.
    EXCEPINFO* Receive()
    {
        Clear();
        return &m_info;
    }
    // The report's error code, with a deferred report filled in first.
    SCODE Code()
    {
        FillIn();
        return m_info.scode;
    }
    std::wstring Description()
    {
        FillIn();
        return m_info.bstrDescription ? std::wstring(m_info.bstrDescription, SysStringLen(m_info.bstrDescription))
                                      : std::wstring();
    }
    std::wstring Source()
    {
        FillIn();
        return m_info.bstrSource ? std::wstring(m_info.bstrSource, SysStringLen(m_info.bstrSource)) : std::wstring();
    }
    const EXCEPINFO& Info()
    {
        FillIn();
        return m_info;
    }

private:
    void FillIn()
    {
        if (m_info.pfnDeferredFillIn && m_info.pfnDeferredFillIn(&m_info) == S_OK)
            m_info.pfnDeferredFillIn = nullptr;
    }
    void Clear()
    {
        SysFreeString(m_info.bstrSource);
        SysFreeString(m_info.bstrDescription);
        SysFreeString(m_info.bstrHelpFile);
        m_info = EXCEPINFO{};
    }

    EXCEPINFO m_info{};
};

} // namespace platform
