#include "platform/automation/ConnectionPoints.h"

#include "platform/com/ComObject.h"
#include "platform/com/ScopedVariant.h"

#include <algorithm>
#include <new>

namespace platform {

namespace {

// An enumerator over a snapshot taken when it was made.
template <typename Enum, typename Item, const IID& kIid>
class SnapshotEnumerator : public RefCounted<Enum> {
public:
    using Copy = void (*)(const Item& from, Item& to); // adds the reference the caller will release
    using Free = void (*)(Item& item);

    SnapshotEnumerator(std::vector<Item> items, Copy copy, Free free)
        : m_items(std::move(items)), m_copy(copy), m_free(free)
    {
    }
    ~SnapshotEnumerator() override
    {
        for (Item& item : m_items)
            m_free(item);
    }
    SnapshotEnumerator(const SnapshotEnumerator&) = delete;
    SnapshotEnumerator& operator=(const SnapshotEnumerator&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        return AnswerOwnInterface(iid, kIid, this, object);
    }

    STDMETHODIMP Next(ULONG count, Item* out, ULONG* fetched) override
    {
        if (!out || (count > 1 && !fetched))
            return E_POINTER;
        ULONG done = 0;
        for (; done < count && m_position < m_items.size(); ++done)
            m_copy(m_items[m_position++], out[done]);
        if (fetched)
            *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override
    {
        const size_t left = m_items.size() - m_position;
        m_position += std::min<size_t>(count, left);
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Enum** clone) override
    {
        if (!clone)
            return E_POINTER;
        std::vector<Item> copies(m_items.size());
        for (size_t i = 0; i < m_items.size(); ++i)
            m_copy(m_items[i], copies[i]);
        auto* made = new (std::nothrow) SnapshotEnumerator(std::move(copies), m_copy, m_free);
        if (!made) {
            *clone = nullptr;
            return E_OUTOFMEMORY;
        }
        made->m_position = m_position;
        *clone = made;
        return S_OK;
    }

private:
    std::vector<Item> m_items;
    Copy m_copy;
    Free m_free;
    size_t m_position = 0;
};

void CopyConnection(const CONNECTDATA& from, CONNECTDATA& to)
{
    to = from;
    to.pUnk->AddRef();
}
void FreeConnection(CONNECTDATA& item) { item.pUnk->Release(); }
void CopyPoint(IConnectionPoint* const& from, IConnectionPoint*& to)
{
    to = from;
    to->AddRef();
}
void FreePoint(IConnectionPoint*& item) { item->Release(); }

using ConnectionsEnumerator = SnapshotEnumerator<IEnumConnections, CONNECTDATA, IID_IEnumConnections>;
using PointsEnumerator = SnapshotEnumerator<IEnumConnectionPoints, IConnectionPoint*, IID_IEnumConnectionPoints>;

} // namespace

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** object)
{
    return AnswerOwnInterface(iid, IID_IConnectionPoint, this, object);
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid)
{
    if (!iid)
        return E_POINTER;
    *iid = m_iid;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container)
        return E_POINTER;
    return m_owner->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container));
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!cookie)
        return E_POINTER;
    *cookie = 0;
    if (!sink)
        return E_POINTER;
    ComPtr<IUnknown> typed;
    if (FAILED(sink->QueryInterface(m_iid, reinterpret_cast<void**>(typed.Receive()))) || !typed)
        return CONNECT_E_CANNOTCONNECT;
    if (m_nextCookie == 0)
        return CONNECT_E_ADVISELIMIT;
    *cookie = m_nextCookie++;
    m_sinks.emplace(*cookie, std::move(typed));
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie)
{
    auto found = m_sinks.find(cookie);
    if (found == m_sinks.end())
        return CONNECT_E_NOCONNECTION;
    ComPtr<IUnknown> leaving = std::move(found->second); // released after the map is consistent
    m_sinks.erase(found);
    return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** connections)
{
    if (!connections)
        return E_POINTER;
    std::vector<CONNECTDATA> items;
    for (const auto& [cookie, sink] : m_sinks) {
        items.push_back(CONNECTDATA{sink.Get(), cookie});
        sink->AddRef();
    }
    *connections = new (std::nothrow) ConnectionsEnumerator(std::move(items), CopyConnection, FreeConnection);
    return *connections ? S_OK : E_OUTOFMEMORY;
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() const
{
    std::vector<ComPtr<IUnknown>> sinks;
    for (const auto& entry : m_sinks)
        sinks.push_back(entry.second);
    return sinks;
}

ConnectionPoints::ConnectionPoints(IUnknown* owner, const std::vector<IID>& interfaces)
{
    for (const IID& iid : interfaces)
        m_points.push_back(std::make_unique<ConnectionPoint>(owner, iid));
}

ConnectionPoint* ConnectionPoints::Point(REFIID iid)
{
    for (const auto& point : m_points) {
        if (point->Interface() == iid)
            return point.get();
    }
    return nullptr;
}

HRESULT ConnectionPoints::Find(REFIID iid, IConnectionPoint** point)
{
    if (ConnectionPoint* found = Point(iid))
        return found->QueryInterface(IID_IConnectionPoint, reinterpret_cast<void**>(point));
    if (point)
        *point = nullptr;
    return point ? CONNECT_E_NOCONNECTION : E_POINTER;
}

HRESULT ConnectionPoints::Enum(IEnumConnectionPoints** points)
{
    if (!points)
        return E_POINTER;
    std::vector<IConnectionPoint*> items;
    for (const auto& point : m_points) {
        items.push_back(point.get());
        point->AddRef();
    }
    *points = new (std::nothrow) PointsEnumerator(std::move(items), CopyPoint, FreePoint);
    return *points ? S_OK : E_OUTOFMEMORY;
}

void ConnectionPoints::UnadviseAll()
{
    for (const auto& point : m_points)
        point->UnadviseAll();
}

void FireEvent(const ConnectionPoint& point, DISPID id, const std::vector<ScopedVariant>& args)
{
    // Borrowed from args, which own them, in the reversed order of a call.
    std::vector<VARIANT> reversed;
    for (auto arg = args.rbegin(); arg != args.rend(); ++arg)
        reversed.push_back(arg->Value());
    for (const ComPtr<IUnknown>& sink : point.Sinks()) {
        // The sink was advised as the event dispinterface, which is an IDispatch.
        auto* dispatch = static_cast<IDispatch*>(static_cast<IUnknown*>(sink.Get()));
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }
}

void NotifyPropertyChanged(const ConnectionPoint& point, DISPID id)
{
    for (const ComPtr<IUnknown>& sink : point.Sinks())
        static_cast<IPropertyNotifySink*>(sink.Get())->OnChanged(id);
}

bool RequestPropertyEdit(const ConnectionPoint& point, DISPID id)
{
    for (const ComPtr<IUnknown>& sink : point.Sinks()) {
        if (static_cast<IPropertyNotifySink*>(sink.Get())->OnRequestEdit(id) == S_FALSE)
            return false;
    }
    return true;
}

} // namespace platform
