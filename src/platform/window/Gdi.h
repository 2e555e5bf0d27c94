// Scoped GDI resources and image lists, and the XOR drag rectangle.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace platform {

// A GDI object (font, bitmap, brush) that is deleted when it is replaced or goes.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : m_handle(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return m_handle; }
    void Reset(Handle handle = nullptr)
    {
        if (m_handle)
            DeleteObject(m_handle);
        m_handle = handle;
    }

private:
    Handle m_handle = nullptr;
};

// An image list that is destroyed when it is replaced or goes.
class ImageList {
public:
    ImageList() = default;
    ~ImageList() { Reset(); }
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    HIMAGELIST Get() const { return m_handle; }
    void Reset(HIMAGELIST handle = nullptr)
    {
        if (m_handle)
            ImageList_Destroy(m_handle);
        m_handle = handle;
    }

private:
    HIMAGELIST m_handle = nullptr;
};

class ScopedClientDC {
public:
    explicit ScopedClientDC(HWND hwnd) : m_hWnd(hwnd), m_hDC(GetDC(hwnd)) {}
    ~ScopedClientDC()
    {
        if (m_hDC)
            ReleaseDC(m_hWnd, m_hDC);
    }
    ScopedClientDC(const ScopedClientDC&) = delete;
    ScopedClientDC& operator=(const ScopedClientDC&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HWND m_hWnd;
    HDC m_hDC;
};

// Draws a rectangle outline by XOR with a halftone brush: drawing the same rectangle twice
// leaves the pixels as they were.
class DragRectPainter {
public:
    explicit DragRectPainter(HDC dc);
    ~DragRectPainter();
    DragRectPainter(const DragRectPainter&) = delete;
    DragRectPainter& operator=(const DragRectPainter&) = delete;

    void Draw(const RECT& rect, SIZE border) const;

private:
    HDC m_hDC;
    HBITMAP m_hPattern = nullptr;
    HBRUSH m_hBrush = nullptr;
};

} // namespace platform
