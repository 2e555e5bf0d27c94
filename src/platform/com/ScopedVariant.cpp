#include "platform/com/ScopedVariant.h"

#include <new>
#include <utility>

namespace platform {

ScopedVariant::ScopedVariant(long number) : ScopedVariant()
{
    V_VT(&m_value) = VT_I4;
    V_I4(&m_value) = number;
}

ScopedVariant::ScopedVariant(short number) : ScopedVariant()
{
    V_VT(&m_value) = VT_I2;
    V_I2(&m_value) = number;
}

ScopedVariant::ScopedVariant(double number) : ScopedVariant()
{
    V_VT(&m_value) = VT_R8;
    V_R8(&m_value) = number;
}

ScopedVariant::ScopedVariant(bool flag) : ScopedVariant()
{
    V_VT(&m_value) = VT_BOOL;
    V_BOOL(&m_value) = flag ? VARIANT_TRUE : VARIANT_FALSE;
}

ScopedVariant::ScopedVariant(const wchar_t* text) : ScopedVariant()
{
    V_VT(&m_value) = VT_BSTR;
    V_BSTR(&m_value) = text ? SysAllocString(text) : nullptr;
    if (text && !V_BSTR(&m_value))
        throw std::bad_alloc();
}

ScopedVariant::ScopedVariant(const std::wstring& text) : ScopedVariant()
{
    V_VT(&m_value) = VT_BSTR;
    V_BSTR(&m_value) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!V_BSTR(&m_value))
        throw std::bad_alloc();
}

ScopedVariant::ScopedVariant(IDispatch* object) : ScopedVariant()
{
    V_VT(&m_value) = VT_DISPATCH;
    V_DISPATCH(&m_value) = object;
    if (object)
        object->AddRef();
}

ScopedVariant::ScopedVariant(IUnknown* object) : ScopedVariant()
{
    V_VT(&m_value) = VT_UNKNOWN;
    V_UNKNOWN(&m_value) = object;
    if (object)
        object->AddRef();
}

ScopedVariant ScopedVariant::Converted(const VARIANT& value, VARTYPE type)
{
    ScopedVariant converted;
    // VariantChangeType reads through a reference itself.
    if (FAILED(VariantChangeType(converted.Get(), const_cast<VARIANT*>(&value), 0, type)))
        VariantClear(converted.Get());
    return converted;
}

ScopedVariant ScopedVariant::Missing()
{
    ScopedVariant missing;
    V_VT(&missing.m_value) = VT_ERROR;
    V_ERROR(&missing.m_value) = DISP_E_PARAMNOTFOUND;
    return missing;
}

ScopedVariant::ScopedVariant(const ScopedVariant& other) : ScopedVariant()
{
    if (FAILED(VariantCopy(&m_value, const_cast<VARIANT*>(&other.m_value))))
        throw std::bad_alloc();
}

ScopedVariant::ScopedVariant(ScopedVariant&& other) noexcept : m_value(other.m_value)
{
    VariantInit(&other.m_value);
}

ScopedVariant& ScopedVariant::operator=(ScopedVariant other) noexcept
{
    std::swap(m_value, other.m_value);
    return *this;
}

VARIANT* ScopedVariant::Receive()
{
    VariantClear(&m_value);
    return &m_value;
}

VARIANT ScopedVariant::Release()
{
    VARIANT value = m_value;
    VariantInit(&m_value);
    return value;
}

std::optional<long> ScopedVariant::ToLong() const
{
    const ScopedVariant number = Converted(m_value, VT_I4);
    if (number.Type() != VT_I4)
        return std::nullopt;
    return V_I4(&number.m_value);
}

std::wstring ScopedVariant::Text() const
{
    const BSTR text = V_VT(&m_value) == VT_BSTR ? V_BSTR(&m_value) : nullptr;
    return text ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

} // namespace platform
