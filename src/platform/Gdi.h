// Scoped GDI resources and the XOR drag rectangle.
#pragma once

#include <windows.h>

namespace platform {

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
