#include "ClassFactory.h"

#include <atomic>
#include <new>

#include "DocumentObject.h"
#include "Navigator.h"

namespace ruvmodel::com {
namespace {

std::atomic<long> g_locks{0};

// A factory lives as long as the module; its reference count does not matter.
template <typename Object>
class Factory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        Object* created = new (std::nothrow) Object();
        if (!created)
            return E_OUTOFMEMORY;
        HRESULT result = created->QueryInterface(iid, object);
        created->Release();
        return result;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            ++g_locks;
        else
            --g_locks;
        return S_OK;
    }
};

Factory<DocumentObject> g_documentFactory;
Factory<NavigatorObject> g_navigatorFactory;

} // namespace

IClassFactory* ClassFactoryFor(REFCLSID clsid)
{
    if (clsid == CLSID_RUVDocument)
        return &g_documentFactory;
    if (clsid == CLSID_RUVNavigator)
        return &g_navigatorFactory;
    return nullptr;
}

long ServerLocks() { return g_locks.load(); }

} // namespace ruvmodel::com
