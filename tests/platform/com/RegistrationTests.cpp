// A control's and a property page's registry entries, written under a private root, read back,
// and removed without a trace.
#include <windows.h>

#include <gtest/gtest.h>

#include "../../support/RegistryText.h"
#include "platform/com/Registration.h"

namespace {

using platform::GuidText;

constexpr CLSID kControl = {0x1a2b3c4d, 0x0001, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 1}};
constexpr CLSID kPage = {0x1a2b3c4d, 0x0002, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 2}};
constexpr GUID kLibrary = {0x1a2b3c4d, 0x0003, 0x4000, {0x80, 0, 0, 0, 0, 0, 0, 3}};
const wchar_t* const kRootPath = L"Software\\RUVFileTreeTests\\Classes";

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteTreeW(HKEY_CURRENT_USER, kRootPath);
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRootPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr),
                  ERROR_SUCCESS);
    }
    void TearDown() override
    {
        RegCloseKey(root);
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\RUVFileTreeTests");
    }
    // The value, or "<none>" when the key or value is missing.
    std::wstring Value(const std::wstring& path, const wchar_t* name = nullptr)
    {
        return RegistryText(root, path, name, L"<none>");
    }
    size_t SubkeyCount()
    {
        DWORD count = 0;
        RegQueryInfoKeyW(root, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr);
        return count;
    }

    HKEY root = nullptr;
    const platform::ControlClass control{kControl, L"TEST.TestCtrl.1", L"Test Control", 1, 0x20191, kLibrary, L"1.0"};
};

TEST_F(RegistrationTest, AControlAndAPageAreRegisteredAndRemovedWithoutATrace)
{
    const std::wstring module = L"C:\\bin\\Test.ocx";
    ASSERT_EQ(platform::RegisterControlClass(control, module, root), S_OK);
    ASSERT_EQ(platform::RegisterPropertyPageClass(kPage, L"Test Page", module, root), S_OK);

    const std::wstring key = L"CLSID\\" + GuidText(kControl);
    EXPECT_EQ(Value(key), L"Test Control");
    EXPECT_EQ(Value(key + L"\\InprocServer32"), module);
    EXPECT_EQ(Value(key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Value(key + L"\\ProgID"), L"TEST.TestCtrl.1");
    EXPECT_EQ(Value(key + L"\\Control"), L"");
    EXPECT_EQ(Value(key + L"\\ToolboxBitmap32"), module + L", 1");
    EXPECT_EQ(Value(key + L"\\MiscStatus\\1"), L"131473");
    EXPECT_EQ(Value(key + L"\\TypeLib"), GuidText(kLibrary));
    EXPECT_EQ(Value(key + L"\\Version"), L"1.0");
    EXPECT_EQ(Value(L"TEST.TestCtrl.1"), L"Test Control");
    EXPECT_EQ(Value(L"TEST.TestCtrl.1\\CLSID"), GuidText(kControl));

    const std::wstring page = L"CLSID\\" + GuidText(kPage);
    EXPECT_EQ(Value(page), L"Test Page");
    EXPECT_EQ(Value(page + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_EQ(Value(page + L"\\Control"), L"<none>") << "a page is no control";

    ASSERT_EQ(platform::UnregisterClass(kControl, L"TEST.TestCtrl.1", root), S_OK);
    ASSERT_EQ(platform::UnregisterClass(kPage, L"", root), S_OK);
    EXPECT_EQ(Value(key), L"<none>");
    EXPECT_EQ(Value(L"TEST.TestCtrl.1"), L"<none>");
    HKEY classes = nullptr;
    ASSERT_EQ(RegOpenKeyExW(root, L"CLSID", 0, KEY_READ, &classes), ERROR_SUCCESS);
    DWORD left = 99;
    RegQueryInfoKeyW(classes, nullptr, nullptr, nullptr, &left, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(classes);
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(platform::UnregisterClass(kControl, L"TEST.TestCtrl.1", root), S_OK) << "already gone is no failure";
}

TEST_F(RegistrationTest, FailuresAreReportedNotSwallowed)
{
    platform::ControlClass nameless = control;
    nameless.progId.clear();
    EXPECT_EQ(platform::RegisterControlClass(nameless, L"x.ocx", root), E_INVALIDARG);
    EXPECT_EQ(SubkeyCount(), 0u);

    platform::ControlClass overlong = control;
    overlong.progId.assign(300, L'P'); // longer than a key name may be
    EXPECT_TRUE(FAILED(platform::RegisterControlClass(overlong, L"x.ocx", root)));
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
    const platform::ControlClass control{kControl, L"TEST.TestCtrl.1", L"Test Control", 1, 0, kLibrary, L"1.0"};
    auto exists = [](const std::wstring& path, REGSAM view = 0) {
        HKEY key = nullptr;
        const bool found = RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ | view, &key) == ERROR_SUCCESS;
        if (found)
            RegCloseKey(key);
        return found;
    };
    auto createOthers = [&](const std::wstring& path) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE | otherView, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    };
    createOthers(classKey);
    createOthers(otherLibrary);
    ASSERT_EQ(platform::RegisterControlClass(control, L"C:\\bin\\Test.ocx"), S_OK);

    EXPECT_EQ(platform::UnregisterClass(kControl, control.progId), S_OK);
    EXPECT_EQ(platform::UnregisterTypeLibrary(kLibrary, 1, 0, 0x409), S_OK) << "ours was never registered";
    EXPECT_FALSE(exists(classKey));
    EXPECT_TRUE(exists(classKey, otherView));
    EXPECT_TRUE(exists(control.progId)) << "the other module's class still needs its ProgID";
    EXPECT_TRUE(exists(otherLibrary));

    RegDeleteKeyExW(HKEY_CLASSES_ROOT, classKey.c_str(), otherView, 0);
    EXPECT_EQ(platform::UnregisterClass(kControl, control.progId), S_OK);
    EXPECT_FALSE(exists(control.progId)) << "the last registration takes the ProgID with it";

    RegDeleteTreeW(HKEY_CLASSES_ROOT, library.c_str());
}

TEST_F(RegistrationTest, TheModulePathNamesThisExecutable)
{
    const std::wstring path = platform::ThisModulePath();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(_wcsicmp(path.substr(path.size() - 4).c_str(), L".exe"), 0) << std::string(path.begin(), path.end());
    EXPECT_NE(GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

} // namespace
