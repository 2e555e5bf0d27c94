#include "platform/com/ClassFactory.h"

#include "platform/com/ComError.h"
#include "platform/com/ComObject.h"
#include "platform/com/ModuleUsage.h"

namespace platform {

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** object)
{
    return AnswerOwnInterface(iid, IID_IClassFactory, this, object);
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    // An aggregated object is handed out only as its inner IUnknown.
    if (outer && iid != IID_IUnknown)
        return CLASS_E_NOAGGREGATION;
    return ResultOf([&] { return m_create(outer, iid, object); });
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock)
{
    LockModule(lock != FALSE);
    return S_OK;
}

} // namespace platform
