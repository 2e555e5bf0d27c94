// An automation object of this module whose calls by name run over a member table, as a control's
// do: its dual interface Itf, from the module's type library, is also its IDispatch; names come
// from that library and calls go through InvokeMember, failures naming source. The module stays
// loaded while one lives. A derived class implements Itf's own methods and gives the table.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "platform/automation/DispatchTable.h"
#include "platform/com/ComObject.h"
#include "platform/com/ModuleUsage.h"
#include "platform/com/TypeLibrary.h"

namespace platform {

template <typename Itf>
class TableDispatch : public RefCounted<Itf> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        return AnswerOwnInterface(iid == IID_IDispatch ? __uuidof(Itf) : iid, __uuidof(Itf), this, object);
    }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return count ? (*count = 1, S_OK) : E_POINTER; }
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info)
            return E_POINTER;
        *info = index == 0 ? ModuleTypeInfo(__uuidof(Itf)).Detach() : nullptr;
        return *info ? S_OK : DISP_E_BADINDEX;
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        const ComPtr<ITypeInfo> info = ModuleTypeInfo(__uuidof(Itf));
        return info ? info->GetIDsOfNames(names, count, ids) : TYPE_E_CANTLOADLIBRARY;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override
    {
        if (iid != IID_NULL)
            return DISP_E_UNKNOWNINTERFACE;
        return InvokeMember(Members(), id, flags, params, result, exception, argError, m_source);
    }

protected:
    explicit TableDispatch(std::wstring source) : m_source(std::move(source)) {}

    virtual const std::vector<DispatchMember>& Members() const = 0;

private:
    ModuleObject m_moduleObject;
    const std::wstring m_source;
};

} // namespace platform
