// The control's type library GUIDs, defined once for the test program.
#include <windows.h>
#include <initguid.h>

#include "RUVFileTree.h"
