// One stub COM object for tests, in the place of a fake per test file: it answers IUnknown and the
// interfaces it implements, counts its references (for tests to check) and never deletes itself
// (it lives on the test's stack or in its fixture). A test derives from it and implements the
// methods of its interfaces; DispatchStub below is the usual case, a sink that records calls.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <functional>
#include <vector>

#include "platform/com/ScopedVariant.h"

namespace teststub {

template <typename First, typename... Others>
class ComStub : public First, public Others... {
public:
    ComStub() = default;
    virtual ~ComStub() = default;
    ComStub(const ComStub&) = delete;
    ComStub& operator=(const ComStub&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown)
            *object = static_cast<First*>(this);
        else
            Answer<First, Others...>(iid, object);
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }

    IUnknown* Unknown() { return static_cast<First*>(this); }

    ULONG references = 1; // the test's own

private:
    template <typename Itf, typename... Rest>
    void Answer(REFIID iid, void** object)
    {
        if (iid == __uuidof(Itf))
            *object = static_cast<Itf*>(this);
        else if constexpr (sizeof...(Rest) > 0)
            Answer<Rest...>(iid, object);
    }
};

// An event sink and property-notice sink: records each Invoke (the member and its arguments in
// declaration order) and each notice, and can refuse edits. It answers an event dispinterface's
// IID (eventInterface) as its IDispatch, as a host's sink does.
class DispatchStub : public ComStub<IDispatch, IPropertyNotifySink> {
public:
    struct Call {
        DISPID id;
        std::vector<platform::ScopedVariant> args;
    };

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (object && iid == eventInterface && iid != IID_NULL) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        if (object && iid == IID_IPropertyNotifySink && !answersNotices) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return ComStub::QueryInterface(iid, object);
    }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        Call call{id, {}};
        for (UINT i = params ? params->cArgs : 0; i > 0; --i) {
            platform::ScopedVariant arg;
            VariantCopyInd(arg.Get(), &params->rgvarg[i - 1]);
            call.args.push_back(std::move(arg));
        }
        calls.push_back(std::move(call));
        if (onCall)
            onCall(calls.back());
        return S_OK;
    }
    STDMETHODIMP OnChanged(DISPID id) override
    {
        changed.push_back(id);
        return S_OK;
    }
    STDMETHODIMP OnRequestEdit(DISPID id) override
    {
        requested.push_back(id);
        return refuseEdits ? S_FALSE : S_OK;
    }

    IID eventInterface = IID_NULL;
    bool answersNotices = true;
    std::vector<Call> calls;
    std::vector<DISPID> changed, requested;
    bool refuseEdits = false;
    std::function<void(const Call&)> onCall; // runs inside Invoke, after the call is recorded
};

} // namespace teststub
