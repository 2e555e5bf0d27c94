#include "platform/window/Gdi.h"

namespace platform {

DragRectPainter::DragRectPainter(HDC dc) : m_hDC(dc)
{
    // Every other pixel, alternating per row.
    static const WORD kHalftone[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
    m_pattern.Reset(CreateBitmap(8, 8, 1, 1, kHalftone));
    if (m_pattern)
        m_brush.Reset(CreatePatternBrush(m_pattern.Get()));
}

void DragRectPainter::Draw(const RECT& rect, SIZE border) const
{
    if (!m_hDC || !m_brush)
        return;
    HGDIOBJ previous = SelectObject(m_hDC, m_brush.Get());
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    // Top, bottom, then the two sides between them, so that no pixel is inverted twice.
    PatBlt(m_hDC, rect.left, rect.top, width, border.cy, PATINVERT);
    if (height > border.cy)
        PatBlt(m_hDC, rect.left, rect.bottom - border.cy, width, border.cy, PATINVERT);
    if (height > 2 * border.cy) {
        PatBlt(m_hDC, rect.left, rect.top + border.cy, border.cx, height - 2 * border.cy, PATINVERT);
        if (width > border.cx)
            PatBlt(m_hDC, rect.right - border.cx, rect.top + border.cy, border.cx, height - 2 * border.cy, PATINVERT);
    }
    SelectObject(m_hDC, previous);
}

} // namespace platform
