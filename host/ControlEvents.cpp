#include "host/ControlEvents.h"

#include <ocidl.h>

#include "platform/com/ComError.h"
#include "platform/com/ScopedVariant.h"

platform::ComPtr<IConnectionPoint> ConnectionPointOf(IUnknown* object, const IID& iid)
{
    platform::ComPtr<IConnectionPoint> point;
    if (auto container = platform::QueryOrNull<IConnectionPointContainer>(object))
        container->FindConnectionPoint(iid, point.Receive());
    return point;
}

bool ControlEvents::Connect(IUnknown* control)
{
    Disconnect(control);
    auto point = ConnectionPointOf(control, m_events);
    return point && SUCCEEDED(point->Advise(static_cast<IDispatch*>(this), &m_cookie));
}

void ControlEvents::Disconnect(IUnknown* control)
{
    if (!m_cookie)
        return;
    if (auto point = ConnectionPointOf(control, m_events))
        point->Unadvise(m_cookie);
    m_cookie = 0;
}

STDMETHODIMP ControlEvents::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IDispatch && iid != m_events) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP ControlEvents::GetTypeInfoCount(UINT* count)
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP ControlEvents::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*)
{
    std::vector<platform::ScopedVariant> args;
    for (UINT i = params ? params->cArgs : 0; i > 0; --i) {
        platform::ScopedVariant arg;
        VariantCopyInd(arg.Get(), &params->rgvarg[i - 1]);
        args.push_back(std::move(arg));
    }
    // The host's handler is host code: nothing it throws may reach the control.
    try {
        if (m_handler)
            m_handler(id, args);
    } catch (...) {
    }
    return S_OK;
}
