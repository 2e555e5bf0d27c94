#include "platform/automation/VariantEnumerator.h"

#include <algorithm>
#include <new>

namespace platform {

ComPtr<IEnumVARIANT> VariantEnumerator::Create(Values values, size_t position) noexcept
{
    return ComPtr<IEnumVARIANT>::Attach(new (std::nothrow) VariantEnumerator(std::move(values), position));
}

STDMETHODIMP VariantEnumerator::Clone(IEnumVARIANT** copy)
{
    if (!copy)
        return E_POINTER;
    *copy = Create(m_values, m_position).Detach();
    return *copy ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP VariantEnumerator::Next(ULONG count, VARIANT* values, ULONG* fetched)
{
    if (!values || (!fetched && count != 1))
        return E_POINTER;
    const size_t start = m_position;
    const auto first = m_values->begin() + static_cast<std::ptrdiff_t>(start);
    ULONG given = 0;
    HRESULT hr = S_OK;
    try {
        // Copied first, handed over after: when a copy fails, nothing is handed out or passed.
        std::vector<ScopedVariant> copies(first, first + static_cast<std::ptrdiff_t>(Advance(count)));
        for (ScopedVariant& copy : copies)
            values[given++] = copy.Release();
        hr = given == count ? S_OK : S_FALSE;
    } catch (const std::bad_alloc&) {
        m_position = start;
        hr = E_OUTOFMEMORY;
    }
    if (fetched)
        *fetched = given;
    return hr;
}

size_t VariantEnumerator::Advance(size_t count)
{
    const size_t moved = std::min(count, m_values->size() - m_position);
    m_position += moved;
    return moved;
}

} // namespace platform
