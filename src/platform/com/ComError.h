// The COM error exception: a failing HRESULT with the interface that failed and the error
// information the object offered. Calls into external objects raise it; it never crosses a COM
// method or a window procedure (the callers at those boundaries catch it).
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <exception>
#include <new>
#include <string>

#include "platform/com/ComPtr.h"

namespace platform {

class ComError : public std::exception {
public:
    ComError(HRESULT result, const IID& iid, ComPtr<IErrorInfo> info)
        : m_result(result), m_iid(iid), m_info(std::move(info))
    {
    }

    HRESULT Result() const { return m_result; }
    const IID& Interface() const { return m_iid; }
    IErrorInfo* ErrorInfo() const { return m_info.Get(); }
    std::wstring Description() const;
    const char* what() const noexcept override { return "COM error"; }

private:
    HRESULT m_result;
    IID m_iid;
    ComPtr<IErrorInfo> m_info;
};

// The thread's error information, as an object that supports it sets it before it returns a
// failure (ISupportErrorInfo): what the caller reads with GetErrorInfo.
struct ErrorDetails {
    std::wstring source;
    std::wstring description;
    std::wstring helpFile;
    DWORD helpContext = 0;
};
void SetThreadErrorInfo(const IID& iid, const ErrorDetails& details);

// Raises result for a call of interface iid on object, with the object's error information when
// it offers some for that interface.
[[noreturn]] void RaiseComError(HRESULT result, const IID& iid = IID_NULL, IUnknown* object = nullptr);

// Raises a failing result of a call through object.
template <typename Itf>
void Check(HRESULT result, Itf* object)
{
    if (FAILED(result))
        RaiseComError(result, __uuidof(Itf), object);
}

// The pointer to call through; a null one raises E_POINTER.
template <typename T>
T* Deref(const ComPtr<T>& pointer)
{
    if (!pointer)
        RaiseComError(E_POINTER);
    return pointer.Get();
}

// The object as interface To: null when it answers E_NOINTERFACE (or is null); any other
// failure raises.
template <typename To>
ComPtr<To> QueryOrNull(IUnknown* object)
{
    ComPtr<To> result;
    if (!object)
        return result;
    HRESULT hr = object->QueryInterface(__uuidof(To), reinterpret_cast<void**>(result.Receive()));
    if (hr == E_NOINTERFACE)
        return ComPtr<To>();
    if (FAILED(hr))
        RaiseComError(hr, __uuidof(To), object);
    return result;
}

// Runs body (returning an HRESULT) where no exception may pass: one it throws becomes its result
// (a COM error's own, E_OUTOFMEMORY for memory, E_UNEXPECTED for anything else).
template <typename Body>
HRESULT ResultOf(Body body) noexcept
{
    try {
        return body();
    } catch (const ComError& error) {
        return error.Result();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace platform
