// The members of the control's automation interface _DCorbel that its logic serves, as a table
// for Invoke: DISPIDs, parameter counts, conversions and results. The stock members (BorderStyle,
// Appearance, Enabled, Font, AboutBox) belong to the ActiveX shell.
#pragma once

#include <vector>

#include "resources/RUVFileTreeDispids.h"
#include "platform/automation/DispatchTable.h"

class CCorbelCtrl;

std::vector<platform::DispatchMember> CorbelMembers(CCorbelCtrl& control);
