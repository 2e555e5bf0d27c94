#include "platform/activex/StockFont.h"

namespace platform {

STDMETHODIMP StockFont::Listener::OnChanged(DISPID)
{
    if (m_owner.m_onChanged)
        m_owner.m_onChanged();
    return S_OK;
}

FONTDESC StockFont::DefaultDescription()
{
    static wchar_t face[] = L"MS Shell Dlg";
    FONTDESC description{};
    description.cbSizeofstruct = sizeof(FONTDESC);
    description.lpstrName = face;
    description.cySize.int64 = 8 * 10000; // points in units of 1/10000
    description.sWeight = FW_NORMAL;
    description.sCharset = DEFAULT_CHARSET;
    return description;
}

StockFont::StockFont(std::function<void()> onChanged) : m_onChanged(std::move(onChanged))
{
    FONTDESC description = DefaultDescription();
    if (SUCCEEDED(OleCreateFontIndirect(&description, IID_IFont, reinterpret_cast<void**>(m_font.Receive()))))
        Connect();
}

StockFont::~StockFont() { Disconnect(); }

void StockFont::Connect()
{
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(m_font->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.Receive()))))
        return;
    if (SUCCEEDED(container->FindConnectionPoint(IID_IPropertyNotifySink, m_point.Receive())) &&
        FAILED(m_point->Advise(&m_listener, &m_cookie)))
        m_point.Reset();
}

void StockFont::Disconnect()
{
    if (m_point)
        m_point->Unadvise(m_cookie);
    m_point.Reset();
    m_cookie = 0;
}

HRESULT StockFont::Set(IFont* font)
{
    ComPtr<IFont> replacement;
    HRESULT hr = S_OK;
    if (font) {
        hr = font->Clone(replacement.Receive());
    } else {
        FONTDESC description = DefaultDescription();
        hr = OleCreateFontIndirect(&description, IID_IFont, reinterpret_cast<void**>(replacement.Receive()));
    }
    if (FAILED(hr) || !replacement)
        return FAILED(hr) ? hr : E_FAIL; // the current font stays
    Disconnect();
    m_font = std::move(replacement);
    Connect();
    if (m_onChanged)
        m_onChanged();
    return S_OK;
}

ComPtr<IFontDisp> StockFont::Get() const
{
    ComPtr<IFontDisp> font;
    if (m_font)
        m_font->QueryInterface(IID_IFontDisp, reinterpret_cast<void**>(font.Receive()));
    return font;
}

HFONT StockFont::Handle() const
{
    HFONT handle = nullptr;
    if (m_font)
        m_font->get_hFont(&handle);
    return handle;
}

} // namespace platform
