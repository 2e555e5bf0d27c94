#include "Snapshot.h"

#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/window/Gdi.h"

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

HTREEITEM Next(HWND tree, HTREEITEM item, UINT relation)
{
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

void WriteItems(HWND tree, HTREEITEM first, int depth, std::ofstream& out)
{
    for (HTREEITEM item = first; item; item = Next(tree, item, TVGN_NEXT)) {
        wchar_t text[512] = {};
        TVITEMW data{};
        data.mask = TVIF_TEXT | TVIF_STATE;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = 512;
        data.stateMask = TVIS_SELECTED;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&data));
        out << std::string(static_cast<size_t>(depth) * 2, ' ') << Utf8(text)
            << ((data.state & TVIS_SELECTED) ? "  [selected]" : "") << "\n";
        WriteItems(tree, Next(tree, item, TVGN_CHILD), depth + 1, out);
    }
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
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    platform::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen, width, height));
    HGDIOBJ previous = SelectObject(memory, bitmap.Get());
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);

    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    const DWORD row = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(static_cast<size_t>(row) * static_cast<size_t>(height));
    const int lines = GetDIBits(memory, bitmap.Get(), 0, static_cast<UINT>(height), pixels.data(),
                                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
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
    WriteItems(tree, Next(tree, nullptr, TVGN_ROOT), 0, out);
    return static_cast<bool>(out);
}
