#include "platform/com/ComError.h"
#include "platform/com/ScopedBstr.h"

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

void SetThreadErrorInfo(const IID& iid, const ErrorDetails& details)
{
    ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(create.Receive())))
        return;
    create->SetGUID(iid);
    create->SetSource(const_cast<wchar_t*>(details.source.c_str()));
    create->SetDescription(const_cast<wchar_t*>(details.description.c_str()));
    if (!details.helpFile.empty())
        create->SetHelpFile(const_cast<wchar_t*>(details.helpFile.c_str()));
    create->SetHelpContext(details.helpContext);
    if (ComPtr<IErrorInfo> info = create.Query<IErrorInfo>())
        SetErrorInfo(0, info.Get());
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
