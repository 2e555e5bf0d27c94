// The verbs an object offers its container (IOleObject::EnumVerbs): an IEnumOLEVERB over a fixed
// list. Each verb handed out carries its own copy of the name, which the caller frees.
#pragma once

#include <windows.h>
#include <oleidl.h>

#include <string>
#include <vector>

#include "platform/com/ComObject.h"

namespace platform {

struct Verb {
    LONG id;
    std::wstring name;
    DWORD menuFlags;
    DWORD attributes;
};

class VerbEnumerator : public RefCounted<IEnumOLEVERB> {
public:
    // Returns a new enumerator (one reference) over verbs, or null when memory runs out.
    static IEnumOLEVERB* Create(std::vector<Verb> verbs, size_t position = 0);

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        return AnswerOwnInterface(iid, IID_IEnumOLEVERB, this, object);
    }
    STDMETHODIMP Next(ULONG count, OLEVERB* verbs, ULONG* fetched) override;
    STDMETHODIMP Skip(ULONG count) override;
    STDMETHODIMP Reset() override;
    STDMETHODIMP Clone(IEnumOLEVERB** copy) override;

private:
    VerbEnumerator(std::vector<Verb> verbs, size_t position) : m_verbs(std::move(verbs)), m_position(position) {}

    std::vector<Verb> m_verbs;
    size_t m_position;
};

} // namespace platform
