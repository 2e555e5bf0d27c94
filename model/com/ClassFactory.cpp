#include "ClassFactory.h"

#include "DocumentObject.h"
#include "Navigator.h"
#include "platform/com/ClassFactory.h"

namespace ruvmodel::com {

IClassFactory* ClassFactoryFor(REFCLSID clsid)
{
    static platform::ClassFactory document(CLSID_RUVDocument, platform::CreateUnaggregated<DocumentObject>);
    static platform::ClassFactory navigator(CLSID_RUVNavigator, platform::CreateUnaggregated<NavigatorObject>);
    for (platform::ClassFactory* factory : {&document, &navigator}) {
        if (factory->Clsid() == clsid)
            return factory;
    }
    return nullptr;
}

} // namespace ruvmodel::com
