// The control module's resources as installers, hosts and the About box read them: version
// information, the string table and the About dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Module.h"

namespace {

std::wstring VersionValue(const std::vector<BYTE>& block, const std::wstring& name)
{
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value)
        return L"<none>";
    return std::wstring(static_cast<const wchar_t*>(value), length ? length - 1 : 0);
}

TEST(ModuleResources, VersionInformation)
{
    const std::wstring path = platform::ThisModulePath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(7, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(2, 1));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));

    EXPECT_EQ(VersionValue(block, L"FileVersion"), L"1.7.1.2");
    EXPECT_EQ(VersionValue(block, L"ProductVersion"), L"1.7.1.2");
    EXPECT_EQ(VersionValue(block, L"InternalName"), L"RUVFileTree");
    EXPECT_EQ(VersionValue(block, L"OriginalFilename"), L"RUVFileTree.OCX");
    EXPECT_EQ(VersionValue(block, L"FileDescription"), L"RUV Tree ActiveX Control Module");
    EXPECT_EQ(VersionValue(block, L"ProductName"), L"RUV Tree ActiveX Control Module");
    EXPECT_EQ(VersionValue(block, L"Comments"), L"Unicode build.");
    EXPECT_EQ(VersionValue(block, L"OLESelfRegister"), L"");
}

TEST(ModuleResources, StringsAndAboutBox)
{
    const HINSTANCE module = platform::ThisModule();
    const std::pair<UINT, const wchar_t*> strings[] = {{1, L"Corbel Control"},
                                                       {2, L"Corbel Property Page"},
                                                       {3, L"Settings Property Page"},
                                                       {200, L"General"},
                                                       {201, L"Settings"}};
    for (const auto& [id, text] : strings) {
        wchar_t loaded[128] = {};
        LoadStringW(module, id, loaded, 128);
        EXPECT_STREQ(loaded, text) << id;
    }

    HWND about = CreateDialogParamW(module, MAKEINTRESOURCEW(1), nullptr, nullptr, 0);
    ASSERT_NE(about, nullptr);
    wchar_t caption[64] = {};
    GetWindowTextW(about, caption, 64);
    EXPECT_STREQ(caption, L"About Corbel Control");
    wchar_t ok[16] = {};
    GetDlgItemTextW(about, IDOK, ok, 16);
    EXPECT_STREQ(ok, L"OK");
    EXPECT_EQ(SendDlgItemMessageW(about, IDOK, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON,
              static_cast<LRESULT>(DLGC_DEFPUSHBUTTON));
    DestroyWindow(about);
}

} // namespace
