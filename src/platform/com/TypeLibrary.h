// The type library that is a resource of this module (a server, or a test program that embeds the
// same resource): loaded once and kept for the life of the module, with the type information of
// its interfaces and classes looked up once each.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "platform/com/ComPtr.h"

namespace platform {

// Null when the module carries no type library.
ComPtr<ITypeLib> ModuleTypeLibrary();
// The type information of guid in that library; null when it has none.
ComPtr<ITypeInfo> ModuleTypeInfo(REFGUID guid);

// The type information of guid in the type library of file (a system module, such as oleacc.dll);
// of a dual interface, its interface part, through which DispInvoke calls an object's methods.
// Null when the library or the type is missing.
ComPtr<ITypeInfo> LibraryTypeInfo(const wchar_t* file, REFGUID guid);

} // namespace platform
