#include "DocumentObject.h"

#include <algorithm>

#include "Reader.h"

namespace ruvmodel::com {
namespace {

Text TextOf(BSTR text) { return text ? Text(text, SysStringLen(text)) : Text(); }

template <typename List, typename Node>
void EraseFrom(List& list, const Node& node)
{
    list.erase(std::remove(list.begin(), list.end(), node), list.end());
}

const wchar_t kBrokenAttribute[] = L"IMPORT-STATUS";
const wchar_t kBrokenValue[] = L"BROKEN";

} // namespace

DocumentObject::DocumentObject(std::shared_ptr<Document> data) : m_session(std::make_shared<Session>(std::move(data)))
{
}

template <typename Body>
HRESULT DocumentObject::Edit(const wchar_t* operation, Body body)
{
    return Run(operation, [&] {
        if (!m_session)
            return Error(E_UNEXPECTED, L"no file is open");
        return body();
    });
}

STDMETHODIMP DocumentObject::Open(BSTR path)
{
    return Run(L"IRUVDocument.Open", [&] {
        try {
            auto data = std::make_shared<Document>(ReadDocumentFile(std::filesystem::path(TextOf(path))));
            // A new session: objects of an earlier file stay valid but belong to that file.
            m_session = std::make_shared<Session>(std::move(data));
            return S_OK;
        } catch (const ReadError& error) {
            const HRESULT result = error.Cause() == ReadError::kCannotOpen
                                       ? HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)
                                       : HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
            return Error(result, Widen(error.what()));
        }
    });
}

STDMETHODIMP DocumentObject::GetFile(IRUVFile** file)
{
    return Edit(L"IRUVDocument.GetFile", [&] { return ReturnObject(FileOf(m_session), file); });
}

STDMETHODIMP DocumentObject::SetAttributeValue(IDispatch* attribute, VARIANT value)
{
    return Edit(L"IRUVDocument.SetAttributeValue", [&] { return com::SetAttributeValue(m_session, attribute, value); });
}

STDMETHODIMP DocumentObject::AddAttribute(IDispatch* attributes, BSTR name, VARIANT value, BSTR units,
                                          IRUVAttribute** attribute)
{
    return Edit(L"IRUVDocument.AddAttribute", [&] {
        return com::AddAttribute(m_session, attributes, TextOf(name), value, TextOf(units), attribute);
    });
}

STDMETHODIMP DocumentObject::RemoveAttribute(IDispatch* attribute)
{
    return Edit(L"IRUVDocument.RemoveAttribute", [&] { return com::RemoveAttribute(m_session, attribute); });
}

STDMETHODIMP DocumentObject::AddPipeline(BSTR name, IRUVPipeline** pipeline)
{
    return Edit(L"IRUVDocument.AddPipeline", [&] {
        auto node = std::make_shared<Pipeline>();
        node->name = TextOf(name);
        node->allGroups.push_back(std::make_shared<ComponentGroup>());
        m_session->Data().pipelines.push_back(node);
        return ReturnObject(PipelineObjectFor(m_session, node), pipeline);
    });
}

STDMETHODIMP DocumentObject::RemovePipeline(IDispatch* pipeline)
{
    return Edit(L"IRUVDocument.RemovePipeline", [&] {
        ComPtr<PipelineObject> object = ObjectAs<PipelineObject>(pipeline);
        if (!object || object->GetSession() != m_session || !object->Attached())
            return Error(E_INVALIDARG, L"expected a pipeline of this document");
        EraseFrom(m_session->Data().pipelines, object->Node());
        return S_OK;
    });
}

STDMETHODIMP DocumentObject::AddComponent(IDispatch* pipeline, BSTR id, BSTR componentType, BSTR group,
                                          BSTR itemCode, IRUVComponent** component)
{
    return Edit(L"IRUVDocument.AddComponent", [&] {
        ComPtr<PipelineObject> object = ObjectAs<PipelineObject>(pipeline);
        if (!object || object->GetSession() != m_session || !object->Attached())
            return Error(E_INVALIDARG, L"expected a pipeline of this document");
        Pipeline& node = *object->Node();
        if (TextOf(id).empty() || node.FindComponent(TextOf(id)))
            return Error(E_INVALIDARG, L"a component needs an id that its pipeline does not have yet");
        auto added = std::make_shared<Component>();
        added->id = TextOf(id);
        added->material = std::make_shared<Material>();
        added->material->componentType = TextOf(componentType);
        added->material->group = TextOf(group);
        added->material->itemCode = TextOf(itemCode);
        node.components.push_back(added);
        // It joins the last group of all components, as the components read.
        if (node.allGroups.empty())
            node.allGroups.push_back(std::make_shared<ComponentGroup>());
        node.allGroups.back()->members.push_back(added);
        return ReturnObject(object->ComponentFor(added), component);
    });
}

STDMETHODIMP DocumentObject::RemoveComponent(IDispatch* component)
{
    return Edit(L"IRUVDocument.RemoveComponent", [&] {
        ComPtr<ComponentObject> object = ObjectAs<ComponentObject>(component);
        if (!object || object->GetSession() != m_session || !object->Attached())
            return Error(E_INVALIDARG, L"expected a component of this document");
        Pipeline& pipeline = *object->OwningPipeline()->Node();
        EraseFrom(pipeline.components, object->Node());
        for (auto& groups : {&pipeline.allGroups, &pipeline.spools}) {
            for (auto& group : *groups)
                EraseFrom(group->members, object->Node());
        }
        return S_OK;
    });
}

STDMETHODIMP DocumentObject::AddInformationItem(IDispatch* owner, BSTR name, IRUVInformationItem** item)
{
    return Edit(L"IRUVDocument.AddInformationItem",
                [&] { return com::AddInformationItem(m_session, owner, TextOf(name), item); });
}

STDMETHODIMP DocumentObject::RemoveInformationItem(IDispatch* item)
{
    return Edit(L"IRUVDocument.RemoveInformationItem", [&] { return com::RemoveInformationItem(m_session, item); });
}

STDMETHODIMP DocumentObject::SetBroken(IDispatch* component, VARIANT_BOOL broken)
{
    return Edit(L"IRUVDocument.SetBroken", [&] {
        ComPtr<ComponentObject> object = ObjectAs<ComponentObject>(component);
        if (!object || object->GetSession() != m_session || !object->Attached())
            return Error(E_INVALIDARG, L"expected a component of this document");
        std::optional<AttributeList>& attributes = object->Node()->attributes;
        if (!attributes && broken == VARIANT_FALSE)
            return S_OK; // no attributes, so not broken
        if (!attributes)
            attributes.emplace();
        std::shared_ptr<Attribute> status = attributes->Find(kBrokenAttribute);
        if (broken != VARIANT_FALSE) {
            if (!status) {
                status = std::make_shared<Attribute>();
                status->name = kBrokenAttribute;
                status->label = kBrokenAttribute;
                attributes->items.push_back(status);
            }
            status->value = Text(kBrokenValue);
        } else if (status) {
            EraseFrom(attributes->items, status);
        }
        return S_OK;
    });
}

} // namespace ruvmodel::com
