// The DISPIDs of the control's own members of _DCorbel, as its type library declares them: one to
// twenty-two, in this order; and those of the events of _DCorbelEvents.
#pragma once

#include <windows.h>
#include <oaidl.h>

enum CorbelDispid : DISPID {
    dispidSelectedItemCount = 1,
    dispidShowComponentKeypoints,
    dispidComponentSequenceNos,
    dispidComponentText,
    dispidAddRUVFileByName,
    dispidAddRUVFile,
    dispidUpdateAll,
    dispidTestGetSelection,
    dispidClearSelection,
    dispidSetSelection,
    dispidAddToSelection,
    dispidRemoveFromSelection,
    dispidRemoveRUVFile,
    dispidUpdate,
    dispidShowBrokenItems,
    dispidSelectedItem,
    dispidWorkingUnits,
    dispidAttributeWorkingUnits,
    dispidMakeBold,
    dispidClearBold,
    dispidDisplayNames,
    dispidShowSpools,
};

enum CorbelEventDispid : DISPID {
    dispidEventSelectionChanged = 1,
    dispidEventDropFile,
    dispidEventPopupMenu,
    dispidEventLButtonDblClick,
};
