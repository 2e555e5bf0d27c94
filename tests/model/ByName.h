// Objects of the reference model called by name, as a script host calls them: one line per step
// for tests that walk the model (the kit's typed getters cover files, pipelines and components).
#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/automation/DispatchDriver.h"
#include "platform/com/ComPtr.h"

namespace byname {

inline platform::ScopedVariant Call(IUnknown* object, const wchar_t* name, std::vector<platform::ScopedVariant> args = {})
{
    const platform::ComPtr<IDispatch> dispatch = platform::ComPtr<IUnknown>(object).Query<IDispatch>();
    platform::DispatchResult result = platform::DispatchDriver(dispatch.Get()).Call(name, std::move(args));
    EXPECT_EQ(result.hr, S_OK) << std::string(name, name + wcslen(name)) << " failed";
    return std::move(result.value);
}

// The object the call returns.
inline platform::ComPtr<IDispatch> Get(IUnknown* object, const wchar_t* name, std::vector<platform::ScopedVariant> args = {})
{
    return platform::ComPtr<IDispatch>(Call(object, name, std::move(args)).Object());
}

} // namespace byname
