// Texts that come from the object model: BSTRs made into wide strings.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace ruvtext {

// A BSTR's text; a null BSTR reads as empty.
std::wstring OrEmpty(BSTR text);
// A BSTR's text as a "%s" argument: a null BSTR is written "(null)".
std::wstring OrNull(BSTR text);

} // namespace ruvtext
