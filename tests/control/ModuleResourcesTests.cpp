// The control module's resources as installers, hosts and the About box read them: version
// information, the artwork, the string table and the About dialog.
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

// A bitmap resource as stored: its size, colour depth and bits, valid while this lives.
struct LoadedBitmap {
    LoadedBitmap(HINSTANCE module, int id)
        : handle(LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION))
    {
        EXPECT_NE(handle, nullptr) << id;
        if (handle)
            GetObjectW(handle, sizeof(info), &info);
    }
    ~LoadedBitmap()
    {
        if (handle)
            DeleteObject(handle);
    }
    LoadedBitmap(const LoadedBitmap&) = delete;
    LoadedBitmap& operator=(const LoadedBitmap&) = delete;

    HANDLE handle;
    BITMAP info{};
};

TEST(ModuleResources, ArtworkHasTheLayoutTheControlReliesOn)
{
    const HINSTANCE module = platform::ThisModule();
    const LoadedBitmap loadedStrip(module, 202);
    const BITMAP& strip = loadedStrip.info;
    EXPECT_EQ(strip.bmWidth, 38 * 16) << "38 item images of 16 x 16";
    EXPECT_EQ(strip.bmHeight, 16);
    EXPECT_EQ(strip.bmBitsPixel, 24);
    // Image 10 is unused: all of it is the transparent colour, magenta.
    const auto* bits = static_cast<const BYTE*>(strip.bmBits);
    if (bits) {
        const BYTE* pixel = bits + 10 * 16 * 3;
        EXPECT_EQ(pixel[0], 255); // blue
        EXPECT_EQ(pixel[1], 0);   // green
        EXPECT_EQ(pixel[2], 255); // red
    }

    const LoadedBitmap loadedToolbox(module, 1);
    const BITMAP& toolbox = loadedToolbox.info;
    EXPECT_EQ(toolbox.bmWidth, 16);
    EXPECT_EQ(toolbox.bmHeight, 15);
    EXPECT_EQ(toolbox.bmBitsPixel, 4);

    for (int size : {16, 32}) {
        HANDLE icon = LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0);
        EXPECT_NE(icon, nullptr) << size;
        DestroyIcon(static_cast<HICON>(icon));
    }
}

} // namespace
