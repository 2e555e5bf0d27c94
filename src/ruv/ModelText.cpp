#include "ruv/ModelText.h"

namespace ruvtext {

std::wstring OrEmpty(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

std::wstring OrNull(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(L"(null)"); }

} // namespace ruvtext
