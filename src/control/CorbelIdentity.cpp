// The control's identities, defined once for the module: its class, interfaces and type library,
// its miscellaneous status and the property pages it offers.
#include "control/CorbelCtrl.h"
#include "control/CorbelIdentity.h"

const CLSID CLSID_CorbelPropPage = {0x21edafa6, 0x388b, 0x4bc5, {0x85, 0xa6, 0xee, 0xef, 0xfa, 0x50, 0x59, 0x5d}};
const CLSID CLSID_SettingsPropPage = {0x5f3d5012, 0xf8a8, 0x402f, {0x97, 0xcf, 0x92, 0x7f, 0xe4, 0x9b, 0xa9, 0xed}};

const platform::ControlIdentity& CCorbelCtrl::ClassIdentity()
{
    static const platform::ControlIdentity identity{
        CLSID_Corbel,
        DIID__DCorbel,
        DIID__DCorbelEvents,
        LIBID_QuillRUVFileTree,
        1,
        0,
        kCorbelMiscStatus,
        IDS_CORBEL_TYPE_NAME,
        {CLSID_CorbelPropPage, CLSID_CFontPropPage, CLSID_SettingsPropPage},
        L"RUVFileTreeControl",
        kCorbelProgId,
    };
    return identity;
}
