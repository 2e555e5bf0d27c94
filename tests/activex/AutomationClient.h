// The tests' names for the platform's dispatch driver: a script host's view of the control.
#pragma once

#include "platform/automation/DispatchDriver.h"
#include "platform/com/ScopedVariant.h"

namespace hosttest {

using Value = platform::ScopedVariant;
using CallResult = platform::DispatchResult;
using AutomationClient = platform::DispatchDriver;

} // namespace hosttest
