#include "platform/com/ComError.h"

#include <oleauto.h>

namespace platform {

std::wstring ComError::Description() const
{
    if (!m_info)
        return std::wstring();
    ScopedBstr description;
    m_info->GetDescription(description.Receive());
    return description.Text();
}

void RaiseComError(HRESULT result, const IID& iid, IUnknown* object)
{
    ComPtr<IErrorInfo> info;
    if (object) {
        ComPtr<ISupportErrorInfo> support;
        if (SUCCEEDED(object->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(support.Receive()))) &&
            support->InterfaceSupportsErrorInfo(iid) == S_OK) {
            if (GetErrorInfo(0, info.Receive()) != S_OK)
                info.Reset();
        }
    }
    throw ComError(result, iid, info);
}

} // namespace platform
