// The stock Font property of a control: a font object (IFont / IFontDisp) that hosts and scripts
// may replace or change in place, with the control told of every change.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <string>

#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"

namespace platform {

class StockFont {
public:
    // onChanged runs after the font was replaced or one of its properties changed.
    explicit StockFont(std::function<void()> onChanged);
    ~StockFont();
    StockFont(const StockFont&) = delete;
    StockFont& operator=(const StockFont&) = delete;

    // A clone of font becomes the control's font (the caller's object is not shared, as the
    // control would otherwise change the host's font in place); null restores the default.
    HRESULT Set(IFont* font);
    // The font object itself, with a reference, for the Font property's get.
    ComPtr<IFontDisp> Get() const;
    // The font's GDI handle: the font object owns it, valid until the next change.
    HFONT Handle() const;
    // The default: 8-point "MS Shell Dlg".
    static FONTDESC DefaultDescription();

private:
    // Tells the owner about changes made through the font object.
    class Listener : public IPropertyNotifySink {
    public:
        explicit Listener(StockFont& owner) : m_owner(owner) {}
        virtual ~Listener() = default;
        Listener(const Listener&) = delete;
        Listener& operator=(const Listener&) = delete;
        STDMETHODIMP QueryInterface(REFIID iid, void** object) override
        {
            return AnswerOwnInterface(iid, IID_IPropertyNotifySink, this, object);
        }
        // Lives inside the owner: references are not counted.
        STDMETHODIMP_(ULONG) AddRef() override { return 2; }
        STDMETHODIMP_(ULONG) Release() override { return 1; }
        STDMETHODIMP OnChanged(DISPID) override;
        STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

    private:
        StockFont& m_owner;
    };

    void Connect();
    void Disconnect();

    std::function<void()> m_onChanged;
    Listener m_listener{*this};
    ComPtr<IFont> m_font;
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

} // namespace platform
