// Connection points of an object: one per outgoing interface, the sinks advised to each, and the
// firing of events (over an event dispinterface) and of property notices (IPropertyNotifySink).
// The points live inside their owner and count their references on it.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/com/ScopedVariant.h"

namespace platform {

class ConnectionPoint : public IConnectionPoint {
public:
    // owner: the object whose IConnectionPointContainer gives this point; not owned.
    ConnectionPoint(IUnknown* owner, const IID& iid) : m_owner(owner), m_iid(iid) {}
    virtual ~ConnectionPoint() = default;
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    // IUnknown: the owner's references.
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
    STDMETHODIMP_(ULONG) AddRef() override { return m_owner->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return m_owner->Release(); }

    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

    const IID& Interface() const { return m_iid; }
    // The sinks now, each as the point's interface and held: a sink may unadvise while called.
    std::vector<ComPtr<IUnknown>> Sinks() const;
    // Drops every sink (the owner is going away).
    void UnadviseAll() { m_sinks.clear(); }

private:
    IUnknown* m_owner;
    IID m_iid;
    std::map<DWORD, ComPtr<IUnknown>> m_sinks;
    DWORD m_nextCookie = 1;
};

// The points of one owner, and what its IConnectionPointContainer answers.
class ConnectionPoints {
public:
    ConnectionPoints(IUnknown* owner, const std::vector<IID>& interfaces);

    HRESULT Find(REFIID iid, IConnectionPoint** point);
    HRESULT Enum(IEnumConnectionPoints** points);
    // The point of an interface the owner was given; null for any other.
    ConnectionPoint* Point(REFIID iid);
    void UnadviseAll();

private:
    std::vector<std::unique_ptr<ConnectionPoint>> m_points;
};

// Calls member id on every sink of point (an event dispinterface) with args in declaration order.
// A sink's failure does not stop the others.
void FireEvent(const ConnectionPoint& point, DISPID id, const std::vector<ScopedVariant>& args);

// IPropertyNotifySink: every sink hears OnChanged(id); RequestEdit is true unless a sink refuses.
void NotifyPropertyChanged(const ConnectionPoint& point, DISPID id);
bool RequestPropertyEdit(const ConnectionPoint& point, DISPID id);

} // namespace platform
