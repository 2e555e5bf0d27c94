// What the viewer says about an object of the RUV object model: its name for the event log and
// the status bar, and its attributes for the attributes window. Objects are read through
// automation by name, as any host that knows only the type library would.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

// The object's name: its own name, its file's name, or its kind; "(none)" for no object.
std::wstring ObjectName(IDispatch* object);

// "label = value" for each attribute of the object; empty when it has none.
std::vector<std::wstring> ObjectAttributes(IDispatch* object);
