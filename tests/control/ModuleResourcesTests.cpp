// The built control module's resources that no other test reads, as one table checked in one loop:
// the version block installers read, the artwork's sizes, and the item image strips' pictures and
// transparent colour. (The strings are read by registration and the pages, the dialogs by the
// property page and automation tests.)
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
    // The same 38 pictures at each size; image 10 is unused, all magenta, which is transparent.
    {L"strip", IDB_ITEM_IMAGES, L"38 of 16 x 16 x 24, image 10 all ff00ff"},
    {L"strip", IDB_ITEM_IMAGES_20, L"38 of 20 x 20 x 24, image 10 all ff00ff"},
    {L"strip", IDB_ITEM_IMAGES_24, L"38 of 24 x 24 x 24, image 10 all ff00ff"},
    {L"strip", IDB_ITEM_IMAGES_32, L"38 of 32 x 32 x 24, image 10 all ff00ff"},
    {L"bitmap", IDB_TOOLBOX, L"16 x 15 x 4"}, // as containers expect
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
    } else if (kind == L"bitmap" || kind == L"strip") {
        platform::GdiObject<HBITMAP> bitmap(static_cast<HBITMAP>(
            LoadImageW(module, MAKEINTRESOURCEW(row.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
        BITMAP info{};
        GetObjectW(bitmap.Get(), sizeof(info), &info);
        const long size = info.bmHeight; // a strip's pictures are square: how many fit, and of what size
        if (kind == L"bitmap" || !info.bmBits || size <= 0) {
            swprintf(text, 128, L"%ld x %ld x %u", info.bmWidth, size, info.bmBitsPixel);
        } else {
            bool magenta = true; // every pixel of image 10, as blue, green, red
            for (long y = 0; y < size; ++y) {
                const auto* pixels = static_cast<const BYTE*>(info.bmBits) + y * info.bmWidthBytes + 10 * size * 3;
                for (long x = 0; x < size * 3; x += 3)
                    magenta = magenta && pixels[x] == 0xFF && pixels[x + 1] == 0 && pixels[x + 2] == 0xFF;
            }
            swprintf(text, 128, L"%g of %ld x %ld x %u, image 10 %ls ff00ff", double(info.bmWidth) / size, size, size,
                     info.bmBitsPixel, magenta ? L"all" : L"not all");
        }
        found.push_back(Line(row, text));
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
