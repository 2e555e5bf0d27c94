#include "ControlEvents.h"

#include <ocidl.h>

#include "platform/ComError.h"

bool ControlEvents::Connect(IUnknown* control)
{
    Disconnect();
    auto container = platform::QueryOrNull<IConnectionPointContainer>(control);
    if (!container || FAILED(container->FindConnectionPoint(m_events, m_point.Receive())))
        return false;
    if (FAILED(m_point->Advise(static_cast<IDispatch*>(this), &m_cookie))) {
        m_point.Reset();
        return false;
    }
    return true;
}

void ControlEvents::Disconnect()
{
    if (m_point)
        m_point->Unadvise(m_cookie);
    m_point.Reset();
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
    std::vector<platform::DispatchValue> args;
    for (UINT i = params ? params->cArgs : 0; i > 0; --i) {
        platform::DispatchValue arg;
        VariantCopyInd(&arg.Raw(), &params->rgvarg[i - 1]);
        args.push_back(arg);
    }
    // The host's handler is host code: nothing it throws may reach the control.
    try {
        if (m_handler)
            m_handler(id, args);
    } catch (...) {
    }
    return S_OK;
}
