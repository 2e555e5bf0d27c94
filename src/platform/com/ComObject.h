// The IUnknown of a small COM object of ours: answering its one interface, and a reference count
// that deletes the object when the last reference goes.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <atomic>

namespace platform {

// Gives pointer for IUnknown and own, with a reference; E_NOINTERFACE for anything else.
inline HRESULT AnswerOwnInterface(REFIID iid, const IID& own, IUnknown* pointer, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid != IID_IUnknown && iid != own) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = pointer;
    pointer->AddRef();
    return S_OK;
}

// A heap object implementing Itf; its creator holds the first reference.
template <typename Itf>
class RefCounted : public Itf {
public:
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_references; }
    STDMETHODIMP_(ULONG) Release() override
    {
        const ULONG left = --m_references;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

private:
    std::atomic<ULONG> m_references{1};
};

} // namespace platform
