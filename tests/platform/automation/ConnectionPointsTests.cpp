// Connection points: sinks advised and unadvised by cookie, events reaching every sink with their
// arguments in order, property notices and vetoes, enumeration, and sinks that leave while called.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <vector>

#include "platform/automation/ConnectionPoints.h"
#include "support/ComStub.h"

namespace {

using platform::ComPtr;
using teststub::DispatchStub;

// {4C1F0E7A-2B6D-4E59-9A3C-7D8E1F2A3B4C}: the test's event dispinterface.
constexpr GUID kEventsIid = {0x4c1f0e7a, 0x2b6d, 0x4e59, {0x9a, 0x3c, 0x7d, 0x8e, 0x1f, 0x2a, 0x3b, 0x4c}};

class Owner : public teststub::ComStub<IConnectionPointContainer> {
public:
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** all) override { return points.Enum(all); }
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override { return points.Find(iid, point); }

    platform::ConnectionPoints points{Unknown(), {kEventsIid, IID_IPropertyNotifySink}};
};

class Sink : public DispatchStub {
public:
    Sink() { eventInterface = kEventsIid; }
};

std::vector<long> Numbers(const DispatchStub::Call& call)
{
    std::vector<long> numbers;
    for (const auto& arg : call.args)
        numbers.push_back(arg.ToLong().value_or(-1));
    return numbers;
}

TEST(ConnectionPoints, EventsReachEverySinkInOrderUntilItLeavesAndOnlyTheRightSinksConnect)
{
    Owner owner;
    Sink first, second;
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(owner.FindConnectionPoint(kEventsIid, point.Receive()), S_OK);
    DWORD firstCookie = 0, secondCookie = 0;
    ASSERT_EQ(point->Advise(first.Unknown(), &firstCookie), S_OK);
    ASSERT_EQ(point->Advise(second.Unknown(), &secondCookie), S_OK);
    EXPECT_NE(firstCookie, secondCookie);
    EXPECT_EQ(first.references, 2u);

    // The first sink leaves from inside its own event; the second still hears it.
    first.onCall = [&](const DispatchStub::Call&) { point->Unadvise(firstCookie); };
    platform::FireEvent(*owner.points.Point(kEventsIid), 3, {10, 20});
    ASSERT_EQ(second.calls.size(), 1u);
    EXPECT_EQ(second.calls[0].id, 3);
    EXPECT_EQ(Numbers(second.calls[0]), (std::vector<long>{10, 20})) << "declaration order";
    EXPECT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(first.references, 1u) << "released once it left";

    platform::FireEvent(*owner.points.Point(kEventsIid), 4, {});
    EXPECT_EQ(first.calls.size(), 1u);
    EXPECT_EQ(second.calls.size(), 2u);
    EXPECT_EQ(point->Unadvise(firstCookie), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Unadvise(secondCookie), S_OK);
    EXPECT_EQ(second.references, 1u);

    // Only sinks of the point's interface connect; there is no point for other interfaces.
    Sink deaf;
    deaf.answersNotices = false;
    DWORD cookie = 5;
    EXPECT_EQ(owner.points.Point(IID_IPropertyNotifySink)->Advise(deaf.Unknown(), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);
    EXPECT_EQ(deaf.references, 1u);
    EXPECT_EQ(owner.FindConnectionPoint(IID_IDispatch, point.Receive()), CONNECT_E_NOCONNECTION);
    EXPECT_FALSE(point);
}

TEST(ConnectionPoints, PropertyNoticesReachAllAndOneVetoRefusesTheEdit)
{
    Owner owner;
    Sink agreeing, refusing;
    refusing.refuseEdits = true;
    platform::ConnectionPoint& point = *owner.points.Point(IID_IPropertyNotifySink);
    DWORD cookie = 0;
    ASSERT_EQ(point.Advise(agreeing.Unknown(), &cookie), S_OK);
    EXPECT_TRUE(platform::RequestPropertyEdit(point, -504));
    ASSERT_EQ(point.Advise(refusing.Unknown(), &cookie), S_OK);
    EXPECT_FALSE(platform::RequestPropertyEdit(point, -504));
    platform::NotifyPropertyChanged(point, 22);
    EXPECT_EQ(agreeing.changed, std::vector<DISPID>{22});
    EXPECT_EQ(refusing.changed, std::vector<DISPID>{22});
    EXPECT_EQ(agreeing.requested, (std::vector<DISPID>{-504, -504}));
    owner.points.UnadviseAll();
    EXPECT_EQ(agreeing.references, 1u);
    EXPECT_EQ(refusing.references, 1u);
}

TEST(ConnectionPoints, EnumerationsAreSnapshotsThatHoldTheirItems)
{
    Owner owner;
    Sink sink;
    platform::ConnectionPoint& point = *owner.points.Point(kEventsIid);
    DWORD cookie = 0;
    ASSERT_EQ(point.Advise(sink.Unknown(), &cookie), S_OK);
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(point.EnumConnections(connections.Receive()), S_OK);
    point.Unadvise(cookie);
    CONNECTDATA data[2]{};
    ULONG fetched = 0;
    EXPECT_EQ(connections->Next(2, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(data[0].dwCookie, cookie);
    data[0].pUnk->Release();
    connections.Reset();
    EXPECT_EQ(sink.references, 1u);

    ComPtr<IEnumConnectionPoints> points, clone;
    ASSERT_EQ(owner.EnumConnectionPoints(points.Receive()), S_OK);
    ASSERT_EQ(points->Skip(1), S_OK);
    ASSERT_EQ(points->Clone(clone.Receive()), S_OK);
    ComPtr<IConnectionPoint> second;
    ASSERT_EQ(clone->Next(1, second.Receive(), nullptr), S_OK);
    IID iid{};
    second->GetConnectionInterface(&iid);
    EXPECT_EQ(iid, IID_IPropertyNotifySink);
    EXPECT_EQ(clone->Next(1, second.Receive(), nullptr), S_FALSE);
    second.Reset();
    points.Reset();
    clone.Reset();
    EXPECT_EQ(owner.references, 1u) << "the points count their references on the owner";
}

} // namespace
