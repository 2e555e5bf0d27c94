// Registration of a control and a property page: every entry the table of expected keys names,
// written under a private root and removed without a trace; failures reported; and, on a 64-bit
// Windows, one bitness's removal leaving the other's shared entries.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/com/RegistryKey.h"
#include "platform/com/Registration.h"
#include "support/RegistryKeys.h"

namespace {

using platform::GuidText;
using platform::RegistryKey;

constexpr CLSID kControl = {0x1a2b3c4d, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 1}};
constexpr CLSID kPage = {0x1a2b3c4d, 0x0002, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 2}};
constexpr GUID kLibrary = {0x1a2b3c4d, 0x0003, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 3}};
const wchar_t* const kTestKeys = L"Software\\RUVFileTreeTests";
const platform::ControlClass kTestControl{kControl, L"TEST.TestCtrl.1", L"Test Control", 1, 0x20191, kLibrary, L"1.0"};

class Registration : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestKeys);
        HRESULT hr = E_FAIL;
        root = RegistryKey::Create(HKEY_CURRENT_USER, std::wstring(kTestKeys) + L"\\Classes", hr);
        ASSERT_EQ(hr, S_OK);
    }
    void TearDown() override
    {
        root.Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestKeys);
    }

    RegistryKey root;
};

TEST_F(Registration, AControlAndAPageAreRegisteredAndRemovedWithoutATrace)
{
    const std::wstring module = L"C:\\bin\\Test.ocx";
    ASSERT_EQ(platform::RegisterControlClass(kTestControl, module, root.Get()), S_OK);
    ASSERT_EQ(platform::RegisterPropertyPageClass(kPage, L"Test Page", module, root.Get()), S_OK);
    auto expected = registrykeys::ControlClass(kTestControl, module);
    for (const auto& key : registrykeys::PropertyPageClass(kPage, L"Test Page", module))
        expected.push_back(key);
    for (const auto& key : expected)
        EXPECT_EQ(RegistryKey::Open(root.Get(), key.path).Text(key.name), key.value) << key.path;
    EXPECT_FALSE(RegistryKey::Exists(root.Get(), L"CLSID\\" + GuidText(kPage) + L"\\Control")) << "a page is no control";

    ASSERT_EQ(platform::UnregisterClass(kControl, kTestControl.progId, root.Get()), S_OK);
    ASSERT_EQ(platform::UnregisterClass(kPage, L"", root.Get()), S_OK);
    EXPECT_EQ(RegistryKey::Open(root.Get(), L"CLSID").SubkeyCount(), 0u);
    EXPECT_EQ(root.SubkeyCount(), 1u) << "only the CLSID key itself stays";
    EXPECT_EQ(platform::UnregisterClass(kControl, kTestControl.progId, root.Get()), S_OK) << "already gone is no failure";
}

TEST_F(Registration, FailuresAreReportedNotSwallowed)
{
    platform::ControlClass nameless = kTestControl;
    nameless.progId.clear();
    EXPECT_EQ(platform::RegisterControlClass(nameless, L"x.ocx", root.Get()), E_INVALIDARG);
    EXPECT_EQ(root.SubkeyCount(), 0u);

    platform::ControlClass overlong = kTestControl;
    overlong.progId.assign(300, L'P'); // longer than a key name may be
    EXPECT_TRUE(FAILED(platform::RegisterControlClass(overlong, L"x.ocx", root.Get())));
}

// On 64-bit Windows the other bitness's module registers the same class in the other registry
// view, sharing the ProgID and the type library key with us: removing ours must leave theirs.
TEST(RegistryViews, UnregisteringOneBitnessLeavesTheOthersProgIdAndTypeLibrary)
{
    constexpr bool is64Bit = sizeof(void*) == 8;
    const REGSAM otherView = is64Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    const std::wstring classKey = L"CLSID\\" + GuidText(kControl);
    const std::wstring library = L"TypeLib\\" + GuidText(kLibrary);
    const std::wstring otherLibrary = library + (is64Bit ? L"\\1.0\\409\\win32" : L"\\1.0\\409\\win64");
    HRESULT hr = E_FAIL;
    RegistryKey::Create(HKEY_CLASSES_ROOT, classKey, hr, otherView);
    ASSERT_EQ(hr, S_OK);
    RegistryKey::Create(HKEY_CLASSES_ROOT, otherLibrary, hr, otherView);
    ASSERT_EQ(hr, S_OK);
    ASSERT_EQ(platform::RegisterControlClass(kTestControl, L"C:\\bin\\Test.ocx"), S_OK);

    EXPECT_EQ(platform::UnregisterClass(kControl, kTestControl.progId), S_OK);
    EXPECT_EQ(platform::UnregisterTypeLibrary(kLibrary, 1, 0, 0x409), S_OK) << "ours was never registered";
    EXPECT_FALSE(RegistryKey::Exists(HKEY_CLASSES_ROOT, classKey));
    EXPECT_TRUE(RegistryKey::Exists(HKEY_CLASSES_ROOT, classKey, otherView));
    EXPECT_TRUE(RegistryKey::Exists(HKEY_CLASSES_ROOT, kTestControl.progId)) << "the other module's class still needs it";
    EXPECT_TRUE(RegistryKey::Exists(HKEY_CLASSES_ROOT, otherLibrary));

    RegDeleteKeyExW(HKEY_CLASSES_ROOT, classKey.c_str(), otherView, 0);
    EXPECT_EQ(platform::UnregisterClass(kControl, kTestControl.progId), S_OK);
    EXPECT_FALSE(RegistryKey::Exists(HKEY_CLASSES_ROOT, kTestControl.progId)) << "the last registration takes it";
    RegDeleteTreeW(HKEY_CLASSES_ROOT, library.c_str());
}

} // namespace
