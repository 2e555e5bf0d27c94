#include "control/CorbelApp.h"

#include <olectl.h>

#include "control/CorbelCtrl.h"
#include "control/CorbelIdentity.h"
#include "control/CorbelPropPage.h"
#include "control/SettingsPropPage.h"
#include "platform/com/Module.h"
#include "platform/com/ModuleUsage.h"
#include "platform/com/Registration.h"

namespace {

constexpr LCID kTypeLibraryLocale = 0x0409;

std::wstring ModuleString(UINT id)
{
    const wchar_t* text = nullptr;
    const int length = LoadStringW(platform::ThisModule(), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

} // namespace

CCorbelApp& CCorbelApp::Instance()
{
    static CCorbelApp app;
    return app;
}

CCorbelApp::CCorbelApp()
    : m_controlFactory(CLSID_Corbel, platform::OleControl::Create<CCorbelCtrl>),
      m_generalPageFactory(CLSID_CorbelPropPage, platform::CreateUnaggregated<CCorbelPropPage>),
      m_settingsPageFactory(CLSID_SettingsPropPage, platform::CreateUnaggregated<CSettingsPropPage>)
{
}

std::vector<platform::ClassFactory*> CCorbelApp::Factories()
{
    return {&m_controlFactory, &m_generalPageFactory, &m_settingsPageFactory};
}

HRESULT CCorbelApp::RegisterServer(const std::wstring& modulePath)
{
    if (modulePath.empty() || FAILED(platform::RegisterTypeLibrary(modulePath)))
        return SELFREG_E_TYPELIB;
    const platform::ControlClass control{
        CLSID_Corbel,          kCorbelProgId,     ModuleString(IDS_CORBEL_TYPE_NAME), IDB_TOOLBOX,
        kCorbelMiscStatus,     LIBID_QuillRUVFileTree, L"1.0"};
    HRESULT hr = platform::RegisterControlClass(control, modulePath);
    if (SUCCEEDED(hr))
        hr = platform::RegisterPropertyPageClass(CLSID_CorbelPropPage, ModuleString(IDS_GENERAL_PAGE_TYPE_NAME),
                                                 modulePath);
    if (SUCCEEDED(hr))
        hr = platform::RegisterPropertyPageClass(CLSID_SettingsPropPage,
                                                 ModuleString(IDS_SETTINGS_PAGE_TYPE_NAME), modulePath);
    return SUCCEEDED(hr) ? S_OK : SELFREG_E_CLASS;
}

HRESULT CCorbelApp::UnregisterServer()
{
    // Every class goes even when the library is not registered: a half-registered module must be
    // removable, and removing twice is no failure.
    const HRESULT library = platform::UnregisterTypeLibrary(LIBID_QuillRUVFileTree, 1, 0, kTypeLibraryLocale);
    HRESULT hr = platform::UnregisterClass(CLSID_Corbel, kCorbelProgId);
    if (SUCCEEDED(hr))
        hr = platform::UnregisterClass(CLSID_CorbelPropPage, std::wstring());
    if (SUCCEEDED(hr))
        hr = platform::UnregisterClass(CLSID_SettingsPropPage, std::wstring());
    if (FAILED(library))
        return SELFREG_E_TYPELIB;
    return SUCCEEDED(hr) ? S_OK : SELFREG_E_CLASS;
}

HRESULT CCorbelApp::GetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (platform::ClassFactory* factory : Factories()) {
        if (factory->Clsid() == clsid)
            return factory->QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CCorbelApp::CanUnloadNow() const { return platform::ModuleCanUnload() ? S_OK : S_FALSE; }
