// An owned VARIANT: made from a typed value, copied with VariantCopy, cleared when it goes.
// The constructors convert implicitly, so that argument lists read as the values they hold.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <optional>
#include <string>

namespace platform {

class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&m_value); }
    ScopedVariant(long number);
    ScopedVariant(int number) : ScopedVariant(static_cast<long>(number)) {}
    ScopedVariant(short number);
    ScopedVariant(double number);
    ScopedVariant(bool flag);
    ScopedVariant(const wchar_t* text); // a null text is a null BSTR
    ScopedVariant(const std::wstring& text);
    ScopedVariant(IDispatch* object);   // holds a reference; null is Nothing
    ScopedVariant(IUnknown* object);
    // Of the given type, when value converts to it; Empty otherwise.
    static ScopedVariant Converted(const VARIANT& value, VARTYPE type);
    // An optional argument left out, as callers pass it.
    static ScopedVariant Missing();

    ScopedVariant(const ScopedVariant& other);
    ScopedVariant(ScopedVariant&& other) noexcept;
    ScopedVariant& operator=(ScopedVariant other) noexcept;
    ~ScopedVariant() { VariantClear(&m_value); }

    const VARIANT& Value() const { return m_value; }
    // The VARIANT itself, for a call that reads or changes it in place (a by-reference argument).
    VARIANT* Get() { return &m_value; }
    // For out parameters: clears what it holds and hands out the slot.
    VARIANT* Receive();
    // Hands the value over to the caller, who clears it; this one is Empty after.
    VARIANT Release();

    VARTYPE Type() const { return V_VT(&m_value); }
    // The value as a number, when it converts to one.
    std::optional<long> ToLong() const;
    // True only for a Boolean true.
    bool IsTrue() const { return V_VT(&m_value) == VT_BOOL && V_BOOL(&m_value) != VARIANT_FALSE; }
    // The text of a string; empty for anything else.
    std::wstring Text() const;
    // The object of an IDispatch value; null for anything else. Not a new reference.
    IDispatch* Object() const { return V_VT(&m_value) == VT_DISPATCH ? V_DISPATCH(&m_value) : nullptr; }

private:
    VARIANT m_value;
};

} // namespace platform
