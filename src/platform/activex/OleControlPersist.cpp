// Persistence: streams, property bags and storages, and a new control's reset, all through the
// control's one exchange routine.
#include "platform/activex/OleControl.h"

namespace platform {

namespace {

bool ZeroOrOne(short value) { return value == 0 || value == 1; }
bool NotNegative(long value) { return value >= 0; }

} // namespace

void OleControl::DoPropExchange(PropertyExchange& exchange)
{
    exchange.Long(L"_ExtentX", m_extent.cx, [this](long cx) { m_extent.cx = cx; }, kDefaultControlExtent.cx,
                  NotNegative);
    exchange.Long(L"_ExtentY", m_extent.cy, [this](long cy) { m_extent.cy = cy; }, kDefaultControlExtent.cy,
                  NotNegative);
    // Loaded stock values are the control's own state: no request-edit, no notices.
    for (auto [name, member] : {std::pair{L"BorderStyle", &m_borderStyle}, std::pair{L"Appearance", &m_appearance}}) {
        exchange.Short(
            name, *member,
            [this, member](short value) {
                *member = value;
                ApplyWindowStyles();
            },
            0, ZeroOrOne);
    }
    exchange.Bool(
        L"Enabled", m_enabled,
        [this](BOOL enabled) {
            m_enabled = enabled ? TRUE : FALSE;
            if (m_hWnd)
                EnableWindow(m_hWnd, m_enabled);
        },
        TRUE);
    ComPtr<IFont> font = QueryOrNull<IFont>(m_font.Get().Get());
    exchange.Font(L"Font", font.Get(), [this](IFont* stored) {
        // Without a font of its own the control takes the container's again.
        m_fontSetByHost = stored != nullptr;
        SetFontQuietly(stored);
        ApplyAmbientFont();
    });
}

HRESULT OleControl::Exchange(PropertyExchange& exchange) noexcept
{
    return ResultOf([&] {
        DoPropExchange(exchange);
        if (exchange.IsLoading()) {
            m_initialized = true;
            exchange.Apply();
            SetModifiedFlag(false);
        }
        return S_OK;
    });
}

STDMETHODIMP OleControl::InitNew()
{
    ResetExchange reset;
    return Exchange(reset);
}

void OleControl::EnsureInitialized()
{
    if (m_initialized)
        return;
    m_quietNotices = true;
    InitNew();
    m_quietNotices = false;
}

STDMETHODIMP OleControl::Load(LPSTREAM stream)
{
    if (!stream)
        return E_POINTER;
    StreamExchange load(PropertyExchange::Mode::Load, stream);
    return Exchange(load);
}

STDMETHODIMP OleControl::Save(LPSTREAM stream, BOOL clearDirty)
{
    if (!stream)
        return E_POINTER;
    StreamExchange save(PropertyExchange::Mode::Save, stream);
    const HRESULT hr = Exchange(save);
    if (SUCCEEDED(hr) && clearDirty)
        SetModifiedFlag(false);
    return hr;
}

STDMETHODIMP OleControl::GetSizeMax(ULARGE_INTEGER* size)
{
    if (!size)
        return E_POINTER;
    // The exact size: the properties saved into memory.
    ComPtr<IStream> memory;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, memory.Receive());
    if (SUCCEEDED(hr)) {
        StreamExchange save(PropertyExchange::Mode::Save, memory.Get());
        hr = Exchange(save);
    }
    if (SUCCEEDED(hr))
        hr = memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, size);
    return hr;
}

STDMETHODIMP OleControl::Load(IPropertyBag* bag, IErrorLog* log)
{
    if (!bag)
        return E_POINTER;
    PropertyBagExchange load(PropertyExchange::Mode::Load, bag, log);
    return Exchange(load);
}

STDMETHODIMP OleControl::Save(IPropertyBag* bag, BOOL clearDirty, BOOL)
{
    if (!bag)
        return E_POINTER;
    PropertyBagExchange save(PropertyExchange::Mode::Save, bag);
    const HRESULT hr = Exchange(save);
    if (SUCCEEDED(hr) && clearDirty)
        SetModifiedFlag(false);
    return hr;
}

STDMETHODIMP OleControl::InitNew(IStorage* storage)
{
    return storage ? InitNew() : E_POINTER;
}

STDMETHODIMP OleControl::Load(IStorage* storage)
{
    if (!storage)
        return E_POINTER;
    ComPtr<IStream> contents;
    const HRESULT hr = storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, contents.Receive());
    return FAILED(hr) ? hr : Load(contents.Get());
}

STDMETHODIMP OleControl::Save(IStorage* storage, BOOL)
{
    if (!storage)
        return E_POINTER;
    ComPtr<IStream> contents;
    const HRESULT hr = storage->CreateStream(L"Contents", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                             contents.Receive());
    return FAILED(hr) ? hr : Save(contents.Get(), TRUE);
}

} // namespace platform
