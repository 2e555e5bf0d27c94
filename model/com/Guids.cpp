// The one place where the interface and class IDs of the object model are defined.
#include <initguid.h>

#include "RUVModel.h"
