// The viewer's menu commands, as WM_COMMAND identifiers.
#pragma once

#include <windows.h>

enum ViewerCommand : UINT {
    idOpen = 100,
    idRefresh,
    idExit,
    idBroken,
    idSpools,
    idKeypoints,
    idSequenceNos,
    idComponentType,
    idFlyText,
    idMillimetres,
    idMetres,
    idFeetInches,
    idInches,
    idKilograms,
    idPounds,
    idProperties,
    idAbout,
    idCopy,
    idSelectAll,
    idPopupAttributes,
    idPopupSelect,
    idPopupBold,
    idPopupClearBold,
    idPopupUpdate,
    idCloseFirst = 1000, // File > Close > one item per open file
};
