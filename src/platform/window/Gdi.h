// Scoped GDI resources and image lists, and the XOR drag rectangle.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "platform/com/ScopedHandle.h"

namespace platform {

template <typename Object>
struct GdiObjectTraits {
    using Handle = Object;
    void Close(Object object) const { DeleteObject(object); }
};
// A GDI object (font, bitmap, brush) that is deleted when it is replaced or goes.
template <typename Object>
using GdiObject = ScopedHandle<GdiObjectTraits<Object>>;

struct ImageListTraits {
    using Handle = HIMAGELIST;
    void Close(HIMAGELIST list) const { ImageList_Destroy(list); }
};
// An image list that is destroyed when it is replaced or goes.
using ImageList = ScopedHandle<ImageListTraits>;

struct MemoryDCTraits {
    using Handle = HDC;
    void Close(HDC dc) const { DeleteDC(dc); }
};
// A memory device context (CreateCompatibleDC), deleted when it goes.
using MemoryDC = ScopedHandle<MemoryDCTraits>;

struct WindowDCTraits {
    using Handle = HDC;
    HWND window = nullptr;
    void Close(HDC dc) const { ReleaseDC(window, dc); }
};
// The device context of a window's client area (GetDC; null: the screen), released when it goes.
class ScopedClientDC : public ScopedHandle<WindowDCTraits> {
public:
    explicit ScopedClientDC(HWND window) : ScopedHandle(GetDC(window), WindowDCTraits{window}) {}
};

// Draws a rectangle outline by XOR with a halftone brush: drawing the same rectangle twice
// leaves the pixels as they were.
class DragRectPainter {
public:
    explicit DragRectPainter(HDC dc);

    void Draw(const RECT& rect, SIZE border) const;

private:
    HDC m_hDC;
    GdiObject<HBITMAP> m_pattern;
    GdiObject<HBRUSH> m_brush;
};

} // namespace platform
