#include "platform/activex/VerbEnumerator.h"

#include <objbase.h>

#include <cstring>
#include <new>

namespace platform {

IEnumOLEVERB* VerbEnumerator::Create(std::vector<Verb> verbs, size_t position)
{
    return new (std::nothrow) VerbEnumerator(std::move(verbs), position);
}

STDMETHODIMP VerbEnumerator::Next(ULONG count, OLEVERB* verbs, ULONG* fetched)
{
    if (!verbs || (count > 1 && !fetched))
        return E_POINTER;
    ULONG done = 0;
    for (; done < count && m_position < m_verbs.size(); ++done, ++m_position) {
        const Verb& verb = m_verbs[m_position];
        const size_t bytes = (verb.name.size() + 1) * sizeof(wchar_t);
        auto* name = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
        if (!name) {
            for (ULONG i = 0; i < done; ++i)
                CoTaskMemFree(verbs[i].lpszVerbName);
            m_position -= done;
            if (fetched)
                *fetched = 0;
            return E_OUTOFMEMORY;
        }
        std::memcpy(name, verb.name.c_str(), bytes);
        verbs[done] = OLEVERB{verb.id, name, verb.menuFlags, verb.attributes};
    }
    if (fetched)
        *fetched = done;
    return done == count ? S_OK : S_FALSE;
}

STDMETHODIMP VerbEnumerator::Skip(ULONG count)
{
    const size_t left = m_verbs.size() - m_position;
    m_position += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
}

STDMETHODIMP VerbEnumerator::Reset()
{
    m_position = 0;
    return S_OK;
}

STDMETHODIMP VerbEnumerator::Clone(IEnumOLEVERB** copy)
{
    if (!copy)
        return E_POINTER;
    *copy = Create(m_verbs, m_position);
    return *copy ? S_OK : E_OUTOFMEMORY;
}

} // namespace platform
