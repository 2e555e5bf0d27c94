#include "platform/activex/PropertyExchange.h"

#include <cstring>

#include "platform/com/ComError.h"
#include "platform/activex/StockFont.h"
#include "platform/com/ScopedVariant.h"

namespace platform {

namespace {

void Check(HRESULT result)
{
    if (FAILED(result))
        RaiseComError(result);
}

ScopedVariant Make(VARTYPE type, long value)
{
    if (type == VT_I4)
        return ScopedVariant(value);
    if (type == VT_I2)
        return ScopedVariant(static_cast<short>(value));
    return ScopedVariant(value != 0);
}

// A value read back in the type it was asked in.
long Extract(const VARIANT& variant)
{
    switch (V_VT(&variant)) {
    case VT_I4:
        return V_I4(&variant);
    case VT_I2:
        return V_I2(&variant);
    default:
        return V_BOOL(&variant) != VARIANT_FALSE ? TRUE : FALSE;
    }
}

// The largest font record a stream may claim: a font object saves well under a kilobyte.
constexpr DWORD kLargestFont = 64 * 1024;

// A value a bag may give for a number or a switch: a scalar, or a reference to one. An object is
// refused rather than converted, since converting it would call into the object for its default
// value (a bag's object may answer with itself, without end); arrays and records hold no number.
bool IsPlainValue(const VARIANT& value)
{
    const VARTYPE type = V_VT(&value);
    if (type == (VT_BYREF | VT_VARIANT))
        return V_VARIANTREF(&value) && !(V_VT(V_VARIANTREF(&value)) & VT_BYREF) && IsPlainValue(*V_VARIANTREF(&value));
    switch (type & ~VT_BYREF) {
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8:
    case VT_INT: case VT_UINT: case VT_R4: case VT_R8: case VT_CY: case VT_DATE: case VT_BSTR: case VT_BOOL:
    case VT_DECIMAL:
        return !(type & VT_BYREF) || V_BYREF(&value);
    default:
        return false;
    }
}

ComPtr<IStream> MemoryStream()
{
    ComPtr<IStream> stream;
    Check(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()));
    return stream;
}

} // namespace

void PropertyExchange::Version(DWORD current)
{
    if (m_mode == Mode::Reset)
        return;
    if (m_mode == Mode::Save) {
        Write(L"_Version", Make(VT_I4, static_cast<long>(current)));
        return;
    }
    const std::optional<ScopedVariant> stored = Read(L"_Version", VT_I4);
    if (!stored)
        return; // a property bag without a version is taken as current
    // An older version has the same layout so far and is read as it is.
    if (static_cast<DWORD>(V_I4(&stored->Value())) > current)
        RaiseComError(kNewerFormat);
}

template <typename Value>
void PropertyExchange::Exchange(const wchar_t* name, VARTYPE type, Value current, std::function<void(Value)> set,
                                Value fallback, std::function<bool(Value)> valid)
{
    if (m_mode == Mode::Save) {
        Write(name, Make(type, current));
        return;
    }
    Value value = fallback;
    if (m_mode == Mode::Load) {
        if (const std::optional<ScopedVariant> stored = Read(name, type))
            value = static_cast<Value>(Extract(stored->Value()));
        if (valid && !valid(value))
            RaiseComError(kDataCorrupt);
    }
    m_pending.push_back([set, value] { set(value); });
}

void PropertyExchange::Long(const wchar_t* name, long current, std::function<void(long)> set, long fallback,
                            std::function<bool(long)> valid)
{
    Exchange<long>(name, VT_I4, current, std::move(set), fallback, std::move(valid));
}

void PropertyExchange::Short(const wchar_t* name, short current, std::function<void(short)> set, short fallback,
                             std::function<bool(short)> valid)
{
    Exchange<short>(name, VT_I2, current, std::move(set), fallback, std::move(valid));
}

void PropertyExchange::Bool(const wchar_t* name, BOOL current, std::function<void(BOOL)> set, BOOL fallback)
{
    Exchange<BOOL>(name, VT_BOOL, current, std::move(set), fallback, nullptr);
}

void PropertyExchange::Font(const wchar_t* name, IFont* current, std::function<void(IFont*)> set)
{
    if (m_mode == Mode::Save) {
        Write(name, ScopedVariant(static_cast<IUnknown*>(current)));
        return;
    }
    ComPtr<IFont> font;
    if (m_mode == Mode::Load) {
        if (const std::optional<ScopedVariant> stored = Read(name, VT_UNKNOWN)) {
            if (stored->Type() == VT_UNKNOWN || stored->Type() == VT_DISPATCH)
                font = QueryOrNull<IFont>(V_UNKNOWN(&stored->Value()));
            if (!font)
                RaiseComError(DISP_E_TYPEMISMATCH);
        }
    }
    m_pending.push_back([set, font] { set(font.Get()); });
}

void PropertyExchange::Apply()
{
    std::vector<std::function<void()>> pending = std::move(m_pending);
    m_pending.clear();
    for (auto& set : pending)
        set();
}

void StreamExchange::WriteBytes(const void* data, ULONG size)
{
    ULONG written = 0;
    Check(m_stream->Write(data, size, &written));
    if (written != size)
        RaiseComError(STG_E_MEDIUMFULL);
}

void StreamExchange::ReadBytes(void* data, ULONG size)
{
    ULONG read = 0;
    Check(m_stream->Read(data, size, &read));
    if (read != size)
        RaiseComError(kDataTruncated);
}

void StreamExchange::Write(const wchar_t*, const ScopedVariant& variant)
{
    const VARIANT& value = variant.Value();
    switch (V_VT(&value)) {
    case VT_I2: {
        const short number = V_I2(&value);
        WriteBytes(&number, sizeof(number));
        return;
    }
    case VT_UNKNOWN: {
        // The font's own stream, after its size.
        ComPtr<IPersistStream> persist = QueryOrNull<IPersistStream>(V_UNKNOWN(&value));
        if (!persist)
            RaiseComError(E_NOINTERFACE);
        ComPtr<IStream> memory = MemoryStream();
        Check(persist->Save(memory.Get(), FALSE));
        ULARGE_INTEGER end{};
        Check(memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_CUR, &end));
        const auto size = static_cast<DWORD>(end.QuadPart);
        std::vector<BYTE> bytes(size);
        Check(memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr));
        ULONG read = 0;
        Check(memory->Read(bytes.data(), size, &read));
        WriteBytes(&size, sizeof(size));
        WriteBytes(bytes.data(), size);
        return;
    }
    default: {
        const LONG number = Extract(value);
        WriteBytes(&number, sizeof(number));
        return;
    }
    }
}

std::optional<ScopedVariant> StreamExchange::Read(const wchar_t*, VARTYPE type)
{
    switch (type) {
    case VT_I2: {
        short number = 0;
        ReadBytes(&number, sizeof(number));
        return ScopedVariant(number);
    }
    case VT_UNKNOWN: {
        DWORD size = 0;
        ReadBytes(&size, sizeof(size));
        if (size > kLargestFont)
            RaiseComError(kDataCorrupt);
        std::vector<BYTE> bytes(size);
        ReadBytes(bytes.data(), size);
        ComPtr<IStream> memory = MemoryStream();
        Check(memory->Write(bytes.data(), size, nullptr));
        Check(memory->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr));
        FONTDESC description = StockFont::DefaultDescription();
        ComPtr<IFont> font;
        Check(OleCreateFontIndirect(&description, IID_IFont, reinterpret_cast<void**>(font.Receive())));
        ComPtr<IPersistStream> persist = QueryOrNull<IPersistStream>(font.Get());
        if (!persist || FAILED(persist->Load(memory.Get())))
            RaiseComError(kDataCorrupt);
        return ScopedVariant(static_cast<IUnknown*>(font.Get()));
    }
    default: {
        LONG number = 0;
        ReadBytes(&number, sizeof(number));
        return Make(type, number);
    }
    }
}

void PropertyBagExchange::Write(const wchar_t* name, const ScopedVariant& value)
{
    Check(m_bag->Write(name, const_cast<VARIANT*>(&value.Value())));
}

std::optional<ScopedVariant> PropertyBagExchange::Read(const wchar_t* name, VARTYPE type)
{
    // The type asks the bag for a conversion; an object hint must not carry a stray pointer.
    ScopedVariant stored;
    std::memset(stored.Get(), 0, sizeof(VARIANT));
    V_VT(stored.Get()) = type;
    const HRESULT hr = m_bag->Read(name, stored.Get(), m_log);
    if (hr == E_INVALIDARG || (SUCCEEDED(hr) && stored.Type() == VT_EMPTY))
        return std::nullopt; // not in the bag
    Check(hr);
    if (type == VT_UNKNOWN)
        return stored;
    if (!IsPlainValue(stored.Value()))
        RaiseComError(DISP_E_TYPEMISMATCH);
    ScopedVariant converted = ScopedVariant::Converted(stored.Value(), type);
    if (converted.Type() != type)
        RaiseComError(DISP_E_TYPEMISMATCH);
    return converted;
}

} // namespace platform
