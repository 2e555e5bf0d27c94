// The type library's GUIDs, defined once for the module.
#include <windows.h>
#include <initguid.h>

#include "RUVFileTree.h"
