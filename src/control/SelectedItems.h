// The collection that the control's SelectedItems property returns (IRUVSelectedItems): the
// selected objects as they were when a host read the property, with Count, Item (from 0, the
// default member) and _NewEnum for For Each. Its calls by name go through a member table, as the
// control's own do, with the names from the type library.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "platform/com/ComPtr.h"
#include "platform/com/ScopedVariant.h"

// A new collection over objects (each an object value), holding a reference on each of them for as
// long as the collection or one of its enumerators lives; source names the control in its errors.
platform::ComPtr<IDispatch> MakeSelectedItems(std::vector<platform::ScopedVariant> objects, std::wstring source);
