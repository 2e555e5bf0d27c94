#include "TestContainer.h"

#include "support/TopWindow.h"
#include "platform/com/ComObject.h"

namespace hosttest {

HWND TestSite::Window()
{
    static HWND window = MakeTopWindow(L"TestContainerWindow", L"Test container");
    return window;
}

TestSite::TestSite() : ControlSite(Window()) { Move(RECT{20, 30, 320, 330}); }

STDMETHODIMP TestSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR name)
{
    Log(object ? "SetActiveObject" : "SetActiveObject(null)");
    return ControlSite::SetActiveObject(object, name);
}

STDMETHODIMP NoticeSink::QueryInterface(REFIID iid, void** object)
{
    return platform::AnswerOwnInterface(iid, IID_IPropertyNotifySink, this, object);
}

DWORD Advise(IUnknown* object, const IID& iid, IUnknown* sink)
{
    DWORD cookie = 0;
    if (auto point = ConnectionPointOf(object, iid))
        point->Advise(sink, &cookie);
    return cookie;
}

void Unadvise(IUnknown* object, const IID& iid, DWORD cookie)
{
    if (auto point = ConnectionPointOf(object, iid))
        point->Unadvise(cookie);
}

} // namespace hosttest
