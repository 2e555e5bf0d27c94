// An owned BSTR, freed when it goes (the shape of std::unique_ptr: Get, Receive, Release).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace platform {

class ScopedBstr {
public:
    ScopedBstr() = default;
    explicit ScopedBstr(const wchar_t* text) : m_bstr(SysAllocString(text)) {}
    explicit ScopedBstr(const std::wstring& text)
        : m_bstr(SysAllocStringLen(text.data(), static_cast<UINT>(text.size())))
    {
    }
    ~ScopedBstr() { SysFreeString(m_bstr); }
    ScopedBstr(ScopedBstr&& other) noexcept : m_bstr(std::exchange(other.m_bstr, nullptr)) {}
    ScopedBstr& operator=(ScopedBstr&& other) noexcept
    {
        std::swap(m_bstr, other.m_bstr);
        return *this;
    }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;

    BSTR Get() const { return m_bstr; }
    // For out parameters: frees what it holds and hands out the slot.
    BSTR* Receive()
    {
        SysFreeString(std::exchange(m_bstr, nullptr));
        return &m_bstr;
    }
    BSTR Release() { return std::exchange(m_bstr, nullptr); }
    std::wstring Text() const { return m_bstr ? std::wstring(m_bstr, SysStringLen(m_bstr)) : std::wstring(); }

private:
    BSTR m_bstr = nullptr;
};

} // namespace platform
