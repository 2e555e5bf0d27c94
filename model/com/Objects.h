// The COM objects over one document: one class per interface of the object model.
#pragma once

#include "ComBase.h"

namespace ruvmodel::com {

// Roles tell apart several objects over one model object in the session's cache.
enum Role : int {
    kRoleNode,
    kRoleFile,
    kRolePipelines,
    kRoleTypeDictionary,
    kRoleAttributes,
    kRoleInformationItems,
    kRoleKeypoints,
    kRoleComponents,
    kRoleAllGroups,
    kRoleSpools,
    kRoleMember,
    kRoleSheets,
    kRoleSheet,
};

// An object inside another: it keeps its owner alive and names it to the navigator.
template <typename Itf>
class ChildObject : public DualObject<Itf> {
public:
    ModelObject* Owner() const override { return m_owner; }

protected:
    ChildObject(std::shared_ptr<Session> session, ModelObject* owner)
        : DualObject<Itf>(std::move(session)), m_owner(owner), m_ownerReference(owner ? owner->Dispatch() : nullptr)
    {
    }

    ModelObject* m_owner;

private:
    ComPtr<IDispatch> m_ownerReference;
};

class FileObject;
class PipelineObject;
class ComponentObject;

// The file object of a session: there is one per document.
ComPtr<FileObject> FileOf(const std::shared_ptr<Session>& session);

class FileObject final : public DualObject<IRUVFile> {
public:
    explicit FileObject(std::shared_ptr<Session> session) : DualObject(std::move(session)) {}
    long Kind() const override { return RUVKindFile; }
    ModelObject* Owner() const override { return nullptr; }
    bool Attached() const override { return true; }

    STDMETHODIMP GetPipelines(IRUVPipelines** pipelines) override;
    STDMETHODIMP GetFileName(BSTR* path) override;
    STDMETHODIMP GetTypeDictionary(IDispatch** dictionary) override;
    STDMETHODIMP GetAttributes(IRUVAttributes** attributes) override;
};

class PipelinesObject;
ComPtr<PipelinesObject> PipelinesOf(const std::shared_ptr<Session>& session);

class PipelinesObject final : public ChildObject<IRUVPipelines> {
public:
    PipelinesObject(std::shared_ptr<Session> session, FileObject* file) : ChildObject(std::move(session), file) {}
    long Kind() const override { return RUVKindPipelines; }
    bool Attached() const override { return true; }

    STDMETHODIMP Item(VARIANT index, IRUVPipeline** pipeline) override;
    STDMETHODIMP GetCount(long* count) override;
};

class TypeDictionaryObject final : public ChildObject<IRUVTypeDictionary> {
public:
    TypeDictionaryObject(std::shared_ptr<Session> session, FileObject* file) : ChildObject(std::move(session), file) {}
    long Kind() const override { return RUVKindTypeDictionary; }
    bool Attached() const override { return true; }

    STDMETHODIMP GetComponentTypeProperty(BSTR type, BSTR property, BSTR* value) override;
    STDMETHODIMP GetGroupProperty(BSTR group, BSTR property, BSTR* value) override;
    STDMETHODIMP GetEndTypeDescription(BSTR code, BSTR* description) override;
};

class PipelineObject final : public ChildObject<IRUVPipeline> {
public:
    PipelineObject(std::shared_ptr<Session> session, ModelObject* pipelines, std::shared_ptr<Pipeline> node)
        : ChildObject(std::move(session), pipelines), m_node(std::move(node))
    {
    }
    long Kind() const override { return RUVKindPipeline; }
    bool Attached() const override;
    const std::shared_ptr<Pipeline>& Node() const { return m_node; }
    ComPtr<ComponentObject> ComponentFor(const std::shared_ptr<Component>& component);

    STDMETHODIMP GetComponents(IDispatch** components) override;
    STDMETHODIMP GetInformationItems(IRUVInformationItems** items) override;
    STDMETHODIMP GetAttributes(IRUVAttributes** attributes) override;
    STDMETHODIMP GetName(BSTR* name) override;
    STDMETHODIMP GetComponentGroups(long what, long how, IRUVComponentGroups** groups) override;
    STDMETHODIMP GetSheets(IRUVSheets** sheets) override;
    STDMETHODIMP GetFile(IRUVFile** file) override;

private:
    std::shared_ptr<Pipeline> m_node;
};

ComPtr<PipelineObject> PipelineObjectFor(const std::shared_ptr<Session>& session, const std::shared_ptr<Pipeline>& node);

class ComponentObject final : public ChildObject<IRUVComponent> {
public:
    ComponentObject(std::shared_ptr<Session> session, PipelineObject* pipeline, std::shared_ptr<Component> node)
        : ChildObject(std::move(session), pipeline), m_pipeline(pipeline), m_node(std::move(node))
    {
    }
    long Kind() const override { return RUVKindComponent; }
    bool Attached() const override;
    const std::shared_ptr<Component>& Node() const { return m_node; }
    PipelineObject* OwningPipeline() const { return m_pipeline; }

    STDMETHODIMP GetAttributes(IRUVAttributes** attributes) override;
    STDMETHODIMP GetInformationItems(IRUVInformationItems** items) override;
    STDMETHODIMP GetKeypoints(IRUVKeypoints** keypoints) override;
    STDMETHODIMP GetMaterial(IRUVMaterial** material) override;
    STDMETHODIMP GetPipeline(IRUVPipeline** pipeline) override;
    STDMETHODIMP GetFlyText(BSTR* text) override;

private:
    PipelineObject* m_pipeline;
    std::shared_ptr<Component> m_node;
};

// Attributes of any owner; the list may belong to a file, pipeline, component, material or
// information item, whose node the object keeps alive.
ComPtr<IRUVAttributes> AttributesOf(const std::shared_ptr<Session>& session, ModelObject* owner,
                                    std::shared_ptr<void> ownerNode, std::optional<AttributeList>* list);

// Information items of a pipeline or a component.
ComPtr<IRUVInformationItems> InformationItemsOf(const std::shared_ptr<Session>& session, ModelObject* owner,
                                                std::shared_ptr<void> ownerNode, std::optional<InformationItemList>* list);

// The model object behind a pointer when it is of class T (with a reference), else null.
template <typename T>
ComPtr<T> ObjectAs(IUnknown* unknown)
{
    ModelObject* object = ModelObjectOf(unknown);
    if (!object)
        return ComPtr<T>();
    T* typed = dynamic_cast<T*>(object);
    ComPtr<T> result(typed);
    object->ReleaseObject();
    return result;
}

} // namespace ruvmodel::com

namespace ruvmodel::com {

// Edits of attributes and information items (the document object's methods call these). Each
// checks that the objects belong to session and names what is wrong otherwise.
HRESULT SetAttributeValue(const std::shared_ptr<Session>& session, IUnknown* attribute, const VARIANT& value);
HRESULT AddAttribute(const std::shared_ptr<Session>& session, IUnknown* attributes, const Text& name,
                     const VARIANT& value, const Text& units, IRUVAttribute** added);
HRESULT RemoveAttribute(const std::shared_ptr<Session>& session, IUnknown* attribute);
HRESULT AddInformationItem(const std::shared_ptr<Session>& session, IUnknown* owner, const Text& name,
                           IRUVInformationItem** added);
HRESULT RemoveInformationItem(const std::shared_ptr<Session>& session, IUnknown* item);

// A VARIANT as an attribute value: empty or null, text, number or flag.
bool ValueFromVariant(const VARIANT& variant, Value& value);

} // namespace ruvmodel::com
