// What the source files of the RUV display share: the display itself, model texts, and the calls
// into the object model.
#pragma once

#include "platform/com/ComError.h"
#include "platform/com/ScopedBstr.h"
#include "platform/com/ScopedVariant.h"
#include "ruv/ModelCall.h"
#include "ruv/ModelText.h"
#include "ruv/RUV3TreeDisplay.h"

using platform::QueryOrNull;
using platform::ScopedBstr;
using platform::ScopedVariant;

// The value of an attribute as text: a VT_BSTR value as it is, another converted to VT_BSTR (a
// failed conversion raises its error, naming IRUVAttribute::GetValue).
std::wstring AttributeText(const platform::ComPtr<IRUVAttribute>& attribute);
