// The class factories of the server's two creatable classes.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace ruvmodel::com {

// The factory of RUVDocument or RUVNavigator, or null for any other class. Factories live as
// long as the module.
IClassFactory* ClassFactoryFor(REFCLSID clsid);

} // namespace ruvmodel::com
