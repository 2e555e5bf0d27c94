// The control's GUIDs from its type library's header, defined once for the viewer and its host library's users.
#include <windows.h>
#include <initguid.h>

#include "RUVFileTree.h"
