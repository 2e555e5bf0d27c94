// regsvr32 and regsvr32 /u on the built module: every key a container and a class browser look
// for, then none left. (The registered control created by ProgID is the end-to-end tests'.)
#include "RegisteredControl.h"

#include <algorithm>
#include <cwctype>

#include "platform/com/RegistryKey.h"
#include "HostedControl.h"
#include "platform/com/Registration.h"

namespace {

using platform::GuidText;

bool KeyExists(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::wstring Value(const std::wstring& path, const wchar_t* name = nullptr)
{
    return platform::RegistryKey::Open(HKEY_CLASSES_ROOT, path).Text(name).value_or(L"(missing)");
}

std::wstring Lower(std::wstring text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](wchar_t c) { return std::towlower(c); });
    return text;
}

const GUID kGeneralPage = {0x21edafa6, 0x388b, 0x4bc5, {0x85, 0xa6, 0xee, 0xef, 0xfa, 0x50, 0x59, 0x5d}};
const GUID kSettingsPage = {0x5f3d5012, 0xf8a8, 0x402f, {0x97, 0xcf, 0x92, 0x7f, 0xe4, 0x9b, 0xa9, 0xed}};

// Every key that registration makes; unregistration must remove them all.
std::vector<std::wstring> RegisteredKeys()
{
    const std::wstring control = L"CLSID\\" + GuidText(CLSID_Corbel);
    return {control,
            control + L"\\InprocServer32",
            control + L"\\ProgID",
            control + L"\\Control",
            control + L"\\ToolboxBitmap32",
            control + L"\\MiscStatus\\1",
            control + L"\\TypeLib",
            control + L"\\Version",
            L"CORBEL.CorbelCtrl.1\\CLSID",
            L"CLSID\\" + GuidText(kGeneralPage) + L"\\InprocServer32",
            L"CLSID\\" + GuidText(kSettingsPage) + L"\\InprocServer32",
            L"TypeLib\\" + GuidText(LIBID_QuillRUVFileTree) + L"\\1.0",
            L"Interface\\" + GuidText(DIID__DCorbel),
            L"Interface\\" + GuidText(DIID__DCorbelEvents)};
}

class Registration : public HostedControl {};

TEST_F(Registration, Regsvr32WritesEveryKeyAndUnregisteringLeavesNone)
{
    const std::wstring module = ControlModulePath();
    RegisteredControl registered;
    ASSERT_EQ(registered.ExitCode(), 0u);
    for (const std::wstring& key : RegisteredKeys())
        EXPECT_TRUE(KeyExists(key)) << key;

    const std::wstring classKey = L"CLSID\\" + GuidText(CLSID_Corbel);
    EXPECT_EQ(Value(classKey), L"Corbel Control");
    EXPECT_EQ(Lower(Value(classKey + L"\\InprocServer32")), Lower(module));
    EXPECT_EQ(Value(classKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Value(classKey + L"\\ProgID"), L"CORBEL.CorbelCtrl.1");
    EXPECT_EQ(Lower(Value(classKey + L"\\ToolboxBitmap32")), Lower(module + L", 1"));
    EXPECT_EQ(Value(classKey + L"\\MiscStatus\\1"), L"131473");
    EXPECT_EQ(Lower(Value(classKey + L"\\TypeLib")), Lower(GuidText(LIBID_QuillRUVFileTree)));
    EXPECT_EQ(Value(classKey + L"\\Version"), L"1.0");
    EXPECT_EQ(Value(L"CORBEL.CorbelCtrl.1"), L"Corbel Control");
    EXPECT_EQ(Value(L"CORBEL.CorbelCtrl.1\\CLSID"), GuidText(CLSID_Corbel));
    EXPECT_EQ(Value(L"CLSID\\" + GuidText(kGeneralPage)), L"Corbel Property Page");
    EXPECT_EQ(Value(L"CLSID\\" + GuidText(kSettingsPage)), L"Settings Property Page");
    EXPECT_EQ(Value(L"CLSID\\" + GuidText(kSettingsPage) + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Value(L"TypeLib\\" + GuidText(LIBID_QuillRUVFileTree) + L"\\1.0"), L"Quill RUVFile Tree Control");

    ASSERT_EQ(registered.Unregister(), 0u);
    for (const std::wstring& key : RegisteredKeys())
        EXPECT_FALSE(KeyExists(key)) << key;
    EXPECT_FALSE(KeyExists(L"CORBEL.CorbelCtrl.1"));
    EXPECT_FALSE(KeyExists(L"TypeLib\\" + GuidText(LIBID_QuillRUVFileTree)));
    // Unregistering again finds nothing to remove and still succeeds.
    EXPECT_EQ(RunRegsvr32(module, true), 0u);
}

} // namespace
