// The control's events as a host hears them: a sink on the control's event interface that hands
// each event, with its arguments in declaration order, to the host's handler.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <atomic>
#include <functional>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/com/ScopedVariant.h"

// The connection point of object for the outgoing interface iid; null when it has none.
platform::ComPtr<IConnectionPoint> ConnectionPointOf(IUnknown* object, const IID& iid);

class ControlEvents : public IDispatch {
public:
    using Handler = std::function<void(DISPID id, const std::vector<platform::ScopedVariant>& args)>;

    ControlEvents(const IID& events, Handler handler) : m_events(events), m_handler(std::move(handler)) {}
    virtual ~ControlEvents() = default;
    ControlEvents(const ControlEvents&) = delete;
    ControlEvents& operator=(const ControlEvents&) = delete;

    long References() const { return m_references; }
    // Advises this sink on control's event connection point; false when the control has none.
    // Only the cookie is kept: a held connection point would keep the control alive.
    bool Connect(IUnknown* control);
    // Unadvises from control; a control released without it lets go of its sinks itself.
    void Disconnect(IUnknown* control);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++m_references); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--m_references); }
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

private:
    IID m_events;
    Handler m_handler;
    std::atomic<long> m_references{0};
    DWORD m_cookie = 0;
};
