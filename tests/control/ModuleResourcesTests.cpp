// The built control module's resources that no other test reads, as one table checked in one loop:
// the version block installers read and the artwork's sizes and transparent colour. (The strings
// are read by registration and the pages, the dialogs by the property page and automation tests.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/RUVFileTreeResources.h"
#include "platform/window/Gdi.h"

namespace {

struct Row {
    const wchar_t* kind;
    int id;
    const wchar_t* text;
};

const Row kResources[] = {
    {L"version", 0, L"1.7.1.2 dll"},
    {L"version", 0, L"FileVersion 1.7.1.2"},
    {L"version", 0, L"OLESelfRegister "}, // installers register a module that has it
    {L"bitmap", IDB_ITEM_IMAGES, L"608 x 16 x 24, image 10 all ff00ff"}, // 38 images; magenta is transparent
    {L"bitmap", IDB_TOOLBOX, L"16 x 15 x 4"},
    {L"icon", IDI_CONTROL, L"16 32"},
};

std::wstring Line(const Row& row, const std::wstring& text)
{
    return std::wstring(row.kind) + L" " + std::to_wstring(row.id) + L": " + text;
}

// The module's side of a row.
void Read(HMODULE module, const std::vector<BYTE>& version, const Row& row, std::vector<std::wstring>& found)
{
    const std::wstring kind = row.kind;
    wchar_t text[128] = {};
    if (kind == L"version") {
        const std::wstring name = std::wstring(row.text).substr(0, std::wstring(row.text).find(L' '));
        void* value = nullptr;
        UINT length = 0;
        if (name == L"1.7.1.2" && VerQueryValueW(version.data(), L"\\", &value, &length)) {
            const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
            swprintf(text, 128, L"%u.%u.%u.%u %ls", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                     HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS),
                     fixed->dwFileType == VFT_DLL ? L"dll" : L"other");
        } else if (VerQueryValueW(version.data(), (L"\\StringFileInfo\\040904B0\\" + name).c_str(), &value, &length)) {
            swprintf(text, 128, L"%ls %.*ls", name.c_str(), length ? length - 1 : 0, static_cast<wchar_t*>(value));
        }
        found.push_back(Line(row, text));
    } else if (kind == L"bitmap") {
        platform::GdiObject<HBITMAP> bitmap(static_cast<HBITMAP>(
            LoadImageW(module, MAKEINTRESOURCEW(row.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        BITMAP info{};
        GetObjectW(bitmap.Get(), sizeof(info), &info);
        swprintf(text, 128, L"%ld x %ld x %u", info.bmWidth, info.bmHeight, info.bmBitsPixel);
        std::wstring line = text;
        if (row.id == IDB_ITEM_IMAGES && info.bmBits) {
            const auto* pixels = static_cast<const BYTE*>(info.bmBits) + 10 * 16 * 3; // blue, green, red
            bool magenta = true;
            for (int x = 0; x < 16 * 3; x += 3)
                magenta = magenta && pixels[x] == 0xFF && pixels[x + 1] == 0 && pixels[x + 2] == 0xFF;
            line += magenta ? L", image 10 all ff00ff" : L", image 10 not all ff00ff";
        }
        found.push_back(Line(row, line));
    } else if (kind == L"icon") {
        std::wstring sizes;
        for (int size : {16, 32}) {
            if (LoadImageW(module, MAKEINTRESOURCEW(row.id), IMAGE_ICON, size, size, LR_SHARED))
                sizes += (sizes.empty() ? L"" : L" ") + std::to_wstring(size);
        }
        found.push_back(Line(row, sizes));
    }
}

TEST(ModuleResources, WhatInstallersAndTheTreeReadFromTheModule)
{
    HMODULE module = LoadLibraryW(RUV_CONTROL_PATH);
    ASSERT_NE(module, nullptr);
    DWORD handle = 0;
    std::vector<BYTE> version(GetFileVersionInfoSizeW(RUV_CONTROL_PATH, &handle));
    ASSERT_TRUE(GetFileVersionInfoW(RUV_CONTROL_PATH, 0, static_cast<DWORD>(version.size()), version.data()));
    std::vector<std::wstring> found, expected;
    for (const Row& row : kResources) {
        expected.push_back(Line(row, row.text));
        Read(module, version, row, found);
    }
    for (size_t i = 0; i < std::max(found.size(), expected.size()); ++i)
        EXPECT_EQ(i < found.size() ? found[i] : L"(none)", i < expected.size() ? expected[i] : L"(none)");
}

} // namespace
