// A property bag as a container keeps one: values by name, in memory. It can be told to fail
// reading one name, as a damaged document would.
#pragma once

#include <map>
#include <string>

#include "AutomationClient.h"
#include "TestContainer.h"
#include "platform/com/ComObject.h"

namespace hosttest {

class MemoryBag : public Counted<IPropertyBag> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        return platform::AnswerOwnInterface(iid, IID_IPropertyBag, this, object);
    }
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override
    {
        if (failing == name)
            return E_FAIL;
        const auto found = values.find(name);
        if (found == values.end())
            return E_INVALIDARG;
        return VariantCopy(value, const_cast<VARIANT*>(&found->second.Value()));
    }
    STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override
    {
        Value copy;
        VariantCopy(copy.Get(), value);
        values[name] = copy;
        return S_OK;
    }

    std::map<std::wstring, Value> values;
    std::wstring failing;
};

} // namespace hosttest
