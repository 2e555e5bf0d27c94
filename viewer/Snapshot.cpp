#include "Snapshot.h"

#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <string>
#include <vector>

#include "platform/window/Dpi.h"
#include "platform/window/Gdi.h"
#include "platform/window/TreeDump.h"

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

} // namespace

bool SaveWindowBitmap(HWND window, const std::wstring& path)
{
    // The menu bar and the client area; the caption and frame are the window manager's.
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    if (GetMenu(window))
        rect.top -= GetSystemMetrics(SM_CYMENU);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    // The screen's pixels where the window is: what a person sees, every child window drawn.
    const platform::ScopedClientDC screen(nullptr);
    const platform::MemoryDC memory(CreateCompatibleDC(screen.Get()));
    const platform::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    HGDIOBJ previous = SelectObject(memory.Get(), bitmap.Get());
    BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY);
    SelectObject(memory.Get(), previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD row = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(row) * static_cast<size_t>(height));
    const int lines = GetDIBits(memory.Get(), bitmap.Get(), 0, static_cast<UINT>(height), pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    if (lines != height)
        return false;

    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&header), sizeof(header));
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<std::streamsize>(pixels.size()));
    return static_cast<bool>(out);
}

bool SaveTreeText(HWND tree, const std::wstring& path)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    if (!out || !tree)
        return false;
    out << Utf8(platform::DumpTree(platform::TreeView(tree), nullptr, {.selected = true}));
    return static_cast<bool>(out);
}

bool SaveTiming(const std::wstring& path, double readMs, double buildMs, double paintMs, unsigned items)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << std::fixed << std::setprecision(1) << "read " << readMs << " ms\nbuild " << buildMs << " ms\nfirst paint "
        << paintMs << " ms\nitems " << items << "\n";
    return static_cast<bool>(out);
}

bool SaveMetrics(HWND tree, const std::wstring& path)
{
    int width = 0, height = 0;
    if (HIMAGELIST images = TreeView_GetImageList(tree, TVSIL_NORMAL))
        ImageList_GetIconSize(images, &width, &height);
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(tree, WM_GETFONT, 0, 0)), sizeof(font), &font);
    std::ofstream out(std::filesystem::path(path), std::ios::binary);
    out << "dpi " << platform::WindowDpi(tree) << "\nimages " << height << "\nrows " << TreeView_GetItemHeight(tree)
        << "\nfont " << std::abs(font.lfHeight) << "\n";
    return tree && static_cast<bool>(out);
}
