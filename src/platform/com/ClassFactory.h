// The class factory of one creatable class: it lives as long as the module, creates a new object
// per request (aggregated when an outer object is given) and holds the module's locks.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <functional>

namespace platform {

class ClassFactory : public IClassFactory {
public:
    // Creates an object aggregated by outer (or not, for null) and answers iid.
    using Creator = std::function<HRESULT(IUnknown* outer, REFIID iid, void** object)>;

    ClassFactory(const CLSID& clsid, Creator create) : m_clsid(clsid), m_create(std::move(create)) {}
    virtual ~ClassFactory() = default;
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    const CLSID& Clsid() const { return m_clsid; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    // The factory is not reference counted: it goes with the module.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    CLSID m_clsid;
    Creator m_create;
};

// The creator of a class that cannot be aggregated: a new Object (its creator holds the first
// reference, which is given up here) answering iid.
template <typename Object>
HRESULT CreateUnaggregated(IUnknown* outer, REFIID iid, void** object)
{
    if (outer)
        return CLASS_E_NOAGGREGATION;
    auto* created = new Object();
    const HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

} // namespace platform
