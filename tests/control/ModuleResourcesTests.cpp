// The built control module's resources as installers, hosts, the About box and the property
// pages read them: the version block, the strings, the controls of the dialogs with the texts the
// user sees, and the artwork's sizes and transparent colour.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwctype>
#include <string>
#include <vector>

#include "resources/RUVFileTreeResources.h"
#include "support/TopWindow.h"
#include "platform/window/Gdi.h"

namespace {

HMODULE Module()
{
    static HMODULE module = LoadLibraryW(RUV_CONTROL_PATH);
    return module;
}

TEST(ModuleResources, VersionBlock)
{
    DWORD handle = 0;
    std::vector<BYTE> block(GetFileVersionInfoSizeW(RUV_CONTROL_PATH, &handle));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(GetFileVersionInfoW(RUV_CONTROL_PATH, 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(7, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(2, 1));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_DLL));
    const std::pair<const wchar_t*, const wchar_t*> values[] = {
        {L"FileVersion", L"1.7.1.2"},
        {L"ProductVersion", L"1.7.1.2"},
        {L"InternalName", L"RUVFileTree"},
        {L"OriginalFilename", L"RUVFileTree.OCX"},
        {L"FileDescription", L"RUV Tree ActiveX Control Module"},
        {L"ProductName", L"RUV Tree ActiveX Control Module"},
        {L"Comments", L"Unicode build."},
        {L"OLESelfRegister", L""}, // installers register the module when the value is there
    };
    for (const auto& [name, expected] : values) {
        void* value = nullptr;
        const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        ASSERT_TRUE(VerQueryValueW(block.data(), path.c_str(), &value, &length) && value) << name;
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value), length ? length - 1 : 0), expected) << name;
    }
}

// A dialog's control as the user and the code that binds it see it: its ID, its class and kind
// (the low bits of its style: button, check box, drop-down list, text alignment or icon) and its
// text. The icon's text says whether the icon was found.
struct DialogControl {
    int dialog;
    int id;
    const wchar_t* kind;
    DWORD style;
    const wchar_t* text;
};

const DialogControl kDialogControls[] = {
    {IDD_ABOUT, -1, L"Static", SS_ICON, L"(icon)"},
    {IDD_ABOUT, -1, L"Static", SS_LEFT, L"Corbel Control, Version 1.0"},
    {IDD_ABOUT, -1, L"Static", SS_LEFT, L"Shows RUV piping files as one tree."},
    {IDD_ABOUT, IDOK, L"Button", BS_DEFPUSHBUTTON, L"OK"},
    {IDD_GENERAL_PAGE, IDC_APPEARANCE, L"ComboBox", CBS_DROPDOWNLIST, L""},
    {IDD_GENERAL_PAGE, -1, L"Static", SS_LEFT, L"Appearance"},
    {IDD_GENERAL_PAGE, -1, L"Static", SS_LEFT, L"Border"},
    {IDD_GENERAL_PAGE, IDC_BORDER_STYLE, L"ComboBox", CBS_DROPDOWNLIST, L""},
    {IDD_GENERAL_PAGE, IDC_ENABLED, L"Button", BS_AUTOCHECKBOX, L"Enabled"},
    {IDD_SETTINGS_PAGE, IDC_SHOW_KEYPOINTS, L"Button", BS_AUTOCHECKBOX, L"Show Component Keypoints :"},
    {IDD_SETTINGS_PAGE, IDC_SEQUENCE_NUMBERS, L"Button", BS_AUTOCHECKBOX, L"Show Sequence Numbers :"},
    {IDD_SETTINGS_PAGE, IDC_COMPONENT_TEXT, L"ComboBox", CBS_DROPDOWNLIST, L""},
    {IDD_SETTINGS_PAGE, -1, L"Static", SS_CENTER, L"Component Text :"},
    {IDD_SETTINGS_PAGE, IDC_SHOW_SPOOLS, L"Button", BS_AUTOCHECKBOX, L"Show Spools :"},
};

std::wstring Describe(int dialog, int id, std::wstring kind, DWORD style, const std::wstring& text)
{
    for (wchar_t& c : kind)
        c = static_cast<wchar_t>(std::towlower(c));
    return std::to_wstring(dialog) + L"/" + std::to_wstring(id) + L" " + kind + L" " + std::to_wstring(style & 0x0F) +
           L" '" + text + L"'";
}

TEST(ModuleResources, StringsAndTheControlsOfTheDialogs)
{
    const std::pair<UINT, const wchar_t*> strings[] = {
        {IDS_CORBEL_TYPE_NAME, L"Corbel Control"},
        {IDS_GENERAL_PAGE_TYPE_NAME, L"Corbel Property Page"},
        {IDS_SETTINGS_PAGE_TYPE_NAME, L"Settings Property Page"},
        {IDS_GENERAL_PAGE_CAPTION, L"General"},
        {IDS_SETTINGS_PAGE_CAPTION, L"Settings"},
    };
    for (const auto& [id, text] : strings) {
        wchar_t loaded[128] = {};
        LoadStringW(Module(), id, loaded, 128);
        EXPECT_STREQ(loaded, text) << id;
    }

    static HWND parent = MakeTopWindow(L"ModuleResourcesParent", L"Dialogs");
    std::vector<std::wstring> found, expected;
    for (const DialogControl& control : kDialogControls)
        expected.push_back(Describe(control.dialog, control.id, control.kind, control.style, control.text));
    // The About box is a captioned pop-up; the pages are child dialogs that a property frame holds.
    for (const auto& [dialog, child, caption] : {std::tuple{IDD_ABOUT, false, L"About Corbel Control"},
                                                 std::tuple{IDD_GENERAL_PAGE, true, L""},
                                                 std::tuple{IDD_SETTINGS_PAGE, true, L""}}) {
        HWND window = CreateDialogParamW(Module(), MAKEINTRESOURCEW(dialog), parent, nullptr, 0);
        ASSERT_NE(window, nullptr) << dialog;
        EXPECT_EQ((GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) != 0, child) << dialog;
        wchar_t text[128] = {};
        GetWindowTextW(window, text, 128);
        EXPECT_STREQ(text, caption);
        for (HWND item = GetWindow(window, GW_CHILD); item; item = GetWindow(item, GW_HWNDNEXT)) {
            wchar_t kind[32] = {};
            GetClassNameW(item, kind, 32);
            const auto style = static_cast<DWORD>(GetWindowLongPtrW(item, GWL_STYLE));
            GetWindowTextW(item, text, 128);
            if ((style & SS_TYPEMASK) == SS_ICON && std::wstring(kind) == L"Static")
                wcscpy(text, SendMessageW(item, STM_GETICON, 0, 0) ? L"(icon)" : L"(no icon)");
            found.push_back(Describe(dialog, static_cast<short>(GetDlgCtrlID(item)), kind, style, text));
        }
        DestroyWindow(window);
    }
    EXPECT_EQ(found, expected);
}

TEST(ModuleResources, ArtworkHasTheSizesAndTransparentColourTheControlReliesOn)
{
    auto bitmap = [](int id) {
        platform::GdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
            LoadImageW(Module(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        BITMAP info{};
        EXPECT_TRUE(loaded && GetObjectW(loaded.Get(), sizeof(info), &info)) << id;
        return std::pair{std::move(loaded), info};
    };
    const auto [strip, images] = bitmap(IDB_ITEM_IMAGES);
    EXPECT_EQ(images.bmWidth, 38 * 16) << "38 item images of 16 x 16";
    EXPECT_EQ(images.bmHeight, 16);
    ASSERT_EQ(images.bmBitsPixel, 24);
    // Image 10 is unused: all of it is the transparent colour, magenta (blue, green, red).
    const BYTE* pixel = static_cast<const BYTE*>(images.bmBits) + 10 * 16 * 3;
    EXPECT_EQ(RGB(pixel[2], pixel[1], pixel[0]), RGB(255, 0, 255));
    const auto [toolboxBitmap, toolbox] = bitmap(IDB_TOOLBOX);
    EXPECT_EQ(toolbox.bmWidth * 100 + toolbox.bmHeight, 16 * 100 + 15) << "16 x 15";
    EXPECT_EQ(toolbox.bmBitsPixel, 4);
    for (int size : {16, 32})
        EXPECT_NE(LoadImageW(Module(), MAKEINTRESOURCEW(IDI_CONTROL), IMAGE_ICON, size, size, LR_SHARED), nullptr) << size;
}

} // namespace
