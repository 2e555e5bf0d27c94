// Class factories of the server's two creatable classes, and the module's lock count.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace ruvmodel::com {

// The factory of RUVDocument or RUVNavigator (with a reference), or null for any other class.
IClassFactory* ClassFactoryFor(REFCLSID clsid);

// Locks taken through IClassFactory::LockServer.
long ServerLocks();

} // namespace ruvmodel::com
