// IEnumVARIANT over a list of values, as For Each walks an automation collection. The list never
// changes and is shared by the enumerator, its clones and whoever made it, so a clone copies no
// values; each value handed out is the caller's own copy. The module stays loaded while one lives.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <vector>

#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ModuleUsage.h"
#include "platform/com/ScopedVariant.h"

namespace platform {

class VariantEnumerator : public RefCounted<IEnumVARIANT> {
public:
    using Values = std::shared_ptr<const std::vector<ScopedVariant>>;

    // A new enumerator at position in values; null when memory runs out.
    static ComPtr<IEnumVARIANT> Create(Values values, size_t position = 0) noexcept;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        return AnswerOwnInterface(iid, IID_IEnumVARIANT, this, object);
    }
    // Up to count values, in order; S_FALSE when fewer were left. fetched may be null for one.
    STDMETHODIMP Next(ULONG count, VARIANT* values, ULONG* fetched) override;
    // S_FALSE when fewer than count were left (the position is then at the end).
    STDMETHODIMP Skip(ULONG count) override { return Advance(count) == count ? S_OK : S_FALSE; }
    STDMETHODIMP Reset() override
    {
        m_position = 0;
        return S_OK;
    }
    // A new enumerator at this one's position.
    STDMETHODIMP Clone(IEnumVARIANT** copy) override;

private:
    VariantEnumerator(Values values, size_t position) : m_values(std::move(values)), m_position(position) {}
    // Moves up to count values on, no further than the end; how many it moved.
    size_t Advance(size_t count);

    ModuleObject m_moduleObject;
    Values m_values;
    size_t m_position;
};

} // namespace platform
