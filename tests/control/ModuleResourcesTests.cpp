// The built control module's resources as installers, hosts, the About box and the property
// pages read them: version information, the artwork, the string table and the dialogs.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogTemplate.h"

#ifndef RUV_CONTROL_PATH
#error "RUV_CONTROL_PATH must name the built RUVFileTree.ocx"
#endif

namespace {

HMODULE Module()
{
    static HMODULE module = LoadLibraryW(RUV_CONTROL_PATH);
    return module;
}

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
    const std::wstring path = RUV_CONTROL_PATH;
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
    const HINSTANCE module = Module();
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
    const HINSTANCE module = Module();
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

void ExpectItem(const DialogItem& item, const wchar_t* className, int id, const wchar_t* text, DWORD style,
                RECT place)
{
    EXPECT_EQ(item.className, className) << id;
    EXPECT_EQ(item.id, id);
    EXPECT_EQ(item.text, text) << id;
    EXPECT_EQ(item.style & ~WS_CHILD & ~WS_VISIBLE, style) << id;
    EXPECT_TRUE(EqualRect(&item.place, &place)) << id << ": " << item.place.left << "," << item.place.top << " "
                                                << item.place.right << "x" << item.place.bottom;
}

constexpr DWORD kDropDownList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kCheckBox = BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP;

TEST(ModuleResources, PropertyPageDialogsAreChildDialogsWithTheirControls)
{
    const DialogTemplate general = ReadDialogTemplate(Module(), 200);
    EXPECT_NE(general.style & WS_CHILD, 0u);
    EXPECT_TRUE(EqualRect(&general.place, std::data({RECT{0, 0, 250, 62}})));
    EXPECT_EQ(general.fontSize, 8);
    EXPECT_EQ(general.fontName, L"MS Sans Serif");
    ASSERT_EQ(general.items.size(), 5u);
    ExpectItem(general.items[0], L"ComboBox", 201, L"", kDropDownList, {57, 5, 65, 50});
    ExpectItem(general.items[1], L"Static", -1, L"Appearance", SS_LEFT | WS_GROUP, {8, 7, 48, 8});
    ExpectItem(general.items[2], L"Static", -1, L"Border", SS_LEFT | WS_GROUP, {8, 26, 42, 8});
    ExpectItem(general.items[3], L"ComboBox", 202, L"", kDropDownList, {57, 23, 65, 37});
    ExpectItem(general.items[4], L"Button", 203, L"Enabled", kCheckBox, {8, 45, 58, 8});

    const DialogTemplate settings = ReadDialogTemplate(Module(), 204);
    EXPECT_NE(settings.style & WS_CHILD, 0u);
    EXPECT_TRUE(EqualRect(&settings.place, std::data({RECT{0, 0, 250, 110}})));
    EXPECT_EQ(settings.fontName, L"MS Sans Serif");
    ASSERT_EQ(settings.items.size(), 5u);
    ExpectItem(settings.items[0], L"Button", 204, L"Show Component Keypoints :", kCheckBox, {7, 7, 133, 10});
    ExpectItem(settings.items[1], L"Button", 205, L"Show Sequence Numbers :", kCheckBox, {7, 21, 133, 10});
    ExpectItem(settings.items[2], L"ComboBox", 206, L"", kDropDownList, {72, 35, 70, 55});
    ExpectItem(settings.items[3], L"Static", -1, L"Component Text :", SS_CENTER | WS_GROUP, {7, 37, 59, 8});
    ExpectItem(settings.items[4], L"Button", 207, L"Show Spools :", kCheckBox, {7, 51, 133, 10});
}

TEST(ModuleResources, AboutDialogAsTabled)
{
    const DialogTemplate about = ReadDialogTemplate(Module(), 1);
    EXPECT_TRUE(EqualRect(&about.place, std::data({RECT{34, 22, 260, 55}})));
    EXPECT_EQ(about.caption, L"About Corbel Control");
    EXPECT_EQ(about.fontSize, 8);
    EXPECT_EQ(about.fontName, L"MS Sans Serif");
    ASSERT_EQ(about.items.size(), 4u);
    EXPECT_EQ(about.items[0].className, L"Static");
    EXPECT_EQ(about.items[0].style & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(about.items[0].text, L"#1") << "icon 1";
    EXPECT_EQ(about.items[0].place.left, 10);
    EXPECT_EQ(about.items[0].place.top, 10);
    ExpectItem(about.items[1], L"Static", -1, L"Corbel Control, Version 1.0", SS_LEFT | WS_GROUP, {40, 10, 170, 8});
    EXPECT_TRUE(EqualRect(&about.items[2].place, std::data({RECT{40, 25, 170, 8}})));
    ExpectItem(about.items[3], L"Button", IDOK, L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, {221, 7, 32, 14});
}

} // namespace
