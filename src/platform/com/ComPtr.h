// A counted reference to a COM interface.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace platform {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(T* p) : m_p(p) // takes a new reference
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(const ComPtr& other) : ComPtr(other.m_p) {}
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ~ComPtr() { Reset(); }
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }

    // Adopts a pointer whose reference the caller already owns.
    static ComPtr Attach(T* p)
    {
        ComPtr result;
        result.m_p = p;
        return result;
    }
    T* Detach() { return std::exchange(m_p, nullptr); }
    void Reset()
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }
    // For out parameters: releases what it holds and hands out the slot.
    T** Receive()
    {
        Reset();
        return &m_p;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    template <typename U>
    ComPtr<U> Query() const
    {
        ComPtr<U> result;
        if (m_p)
            m_p->QueryInterface(__uuidof(U), reinterpret_cast<void**>(result.Receive()));
        return result;
    }

private:
    T* m_p = nullptr;
};

} // namespace platform
