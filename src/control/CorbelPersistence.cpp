// The control's persistent properties, in their saved order.
#include "control/CorbelCtrl.h"

void CCorbelCtrl::DoPropExchange(platform::PropertyExchange& exchange)
{
    exchange.Version(kPersistenceVersion);
    OleControl::DoPropExchange(exchange);
    exchange.Bool(L"ShowComponentKeypoints", GetShowComponentKeypoints(),
                  [this](BOOL value) { SetShowComponentKeypoints(value); });
    // A stored choice other than 0 or 1 keeps the current one, as the property's setter does.
    exchange.Short(L"ComponentText", GetComponentText(), [this](short value) { SetComponentText(value); });
    exchange.Bool(L"ComponentSequenceNos", GetComponentSequenceNos(),
                  [this](BOOL value) { SetComponentSequenceNos(value); });
    exchange.Bool(L"ShowSpools", GetShowSpools(), [this](BOOL value) { SetShowSpools(value); });
}
