// The creatable document class (RUVDocument): opens an RUV file and edits it.
#pragma once

#include "Objects.h"

namespace ruvmodel::com {

class DocumentObject final : public DispatchObject<IRUVDocument> {
public:
    DocumentObject() = default;
    // A document over data built in code (tests).
    explicit DocumentObject(std::shared_ptr<Document> data);

    STDMETHODIMP Open(BSTR path) override;
    STDMETHODIMP GetFile(IRUVFile** file) override;
    STDMETHODIMP SetAttributeValue(IDispatch* attribute, VARIANT value) override;
    STDMETHODIMP AddAttribute(IDispatch* attributes, BSTR name, VARIANT value, BSTR units,
                              IRUVAttribute** attribute) override;
    STDMETHODIMP RemoveAttribute(IDispatch* attribute) override;
    STDMETHODIMP AddPipeline(BSTR name, IRUVPipeline** pipeline) override;
    STDMETHODIMP RemovePipeline(IDispatch* pipeline) override;
    STDMETHODIMP AddComponent(IDispatch* pipeline, BSTR id, BSTR componentType, BSTR group, BSTR itemCode,
                              IRUVComponent** component) override;
    STDMETHODIMP RemoveComponent(IDispatch* component) override;
    STDMETHODIMP AddInformationItem(IDispatch* owner, BSTR name, IRUVInformationItem** item) override;
    STDMETHODIMP RemoveInformationItem(IDispatch* item) override;
    STDMETHODIMP SetBroken(IDispatch* component, VARIANT_BOOL broken) override;

private:
    // Runs an edit: a file must be open.
    template <typename Body>
    HRESULT Edit(const wchar_t* operation, Body body);

    std::shared_ptr<Session> m_session;
};

} // namespace ruvmodel::com
