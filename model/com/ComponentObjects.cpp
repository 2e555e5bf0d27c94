// A component, its material and its keypoints.
#include <algorithm>

#include "Objects.h"

namespace ruvmodel::com {
namespace {

class MaterialObject final : public ChildObject<IRUVMaterial> {
public:
    MaterialObject(std::shared_ptr<Session> session, ComponentObject* component, std::shared_ptr<Material> node)
        : ChildObject(std::move(session), component), m_component(component), m_node(std::move(node))
    {
    }
    long Kind() const override { return RUVKindMaterial; }
    bool Attached() const override { return m_owner->Attached() && m_component->Node()->material == m_node; }

    STDMETHODIMP GetItemCode(BSTR* code) override { return TextResult(L"IRUVMaterial.GetItemCode", m_node->itemCode, code); }
    STDMETHODIMP GetDescription(BSTR* description) override
    {
        return TextResult(L"IRUVMaterial.GetDescription", m_node->description, description);
    }
    STDMETHODIMP GetGroup(BSTR* group) override { return TextResult(L"IRUVMaterial.GetGroup", m_node->group, group); }
    STDMETHODIMP GetSKEY(BSTR* skey) override { return TextResult(L"IRUVMaterial.GetSKEY", m_node->skey, skey); }
    STDMETHODIMP GetComponentType(BSTR* type) override
    {
        return TextResult(L"IRUVMaterial.GetComponentType", m_node->componentType, type);
    }
    STDMETHODIMP GetWeight(double* kilograms) override
    {
        return Run(L"IRUVMaterial.GetWeight", [&] { return ReturnDouble(m_node->weight, kilograms); });
    }
    STDMETHODIMP GetAttributes(IRUVAttributes** attributes) override
    {
        return Run(L"IRUVMaterial.GetAttributes",
                   [&] { return ReturnObject(AttributesOf(m_session, this, m_node, &m_node->attributes), attributes); });
    }
    STDMETHODIMP GetConfiguration(BSTR* configuration) override
    {
        return TextResult(L"IRUVMaterial.GetConfiguration", m_node->configuration, configuration);
    }
    STDMETHODIMP GetPressureRating(BSTR* rating) override
    {
        return TextResult(L"IRUVMaterial.GetPressureRating", m_node->pressureRating, rating);
    }
    STDMETHODIMP GetConstructionMaterial(BSTR* material) override
    {
        return TextResult(L"IRUVMaterial.GetConstructionMaterial", m_node->constructionMaterial, material);
    }
    STDMETHODIMP GetPipeline(IRUVPipeline** pipeline) override
    {
        return Run(L"IRUVMaterial.GetPipeline",
                   [&] { return ReturnObject(ComPtr<PipelineObject>(m_component->OwningPipeline()), pipeline); });
    }

private:
    HRESULT TextResult(const wchar_t* operation, const Text& text, BSTR* out)
    {
        return Run(operation, [&] { return ReturnText(text, out); });
    }

    ComponentObject* m_component;
    std::shared_ptr<Material> m_node;
};

using KeypointList = std::optional<std::vector<std::shared_ptr<Keypoint>>>;

class KeypointObject final : public ChildObject<IRUVKeypoint> {
public:
    KeypointObject(std::shared_ptr<Session> session, ModelObject* keypoints, std::shared_ptr<Component> component,
                   std::shared_ptr<Keypoint> node)
        : ChildObject(std::move(session), keypoints), m_component(std::move(component)), m_node(std::move(node))
    {
    }
    long Kind() const override { return RUVKindKeypoint; }
    bool Attached() const override
    {
        const KeypointList& list = m_component->keypoints;
        return m_owner->Attached() && list && std::find(list->begin(), list->end(), m_node) != list->end();
    }

    STDMETHODIMP GetName(BSTR* name) override
    {
        return Run(L"IRUVKeypoint.GetName", [&] { return ReturnText(m_node->name, name); });
    }
    STDMETHODIMP GetBore(double* bore) override
    {
        return Run(L"IRUVKeypoint.GetBore", [&] { return ReturnDouble(m_node->bore, bore); });
    }
    STDMETHODIMP IsInternal(VARIANT_BOOL* internal) override
    {
        return Run(L"IRUVKeypoint.IsInternal", [&] { return ReturnBool(m_node->internal, internal); });
    }
    STDMETHODIMP GetEndType(BSTR* code) override
    {
        return Run(L"IRUVKeypoint.GetEndType", [&] { return ReturnText(m_node->endType, code); });
    }
    STDMETHODIMP GetPosition(double* x, double* y, double* z) override
    {
        return Run(L"IRUVKeypoint.GetPosition", [&] {
            if (!x || !y || !z)
                return E_POINTER;
            *x = m_node->position.x;
            *y = m_node->position.y;
            *z = m_node->position.z;
            return S_OK;
        });
    }
    STDMETHODIMP GetBoreUnits(BSTR* units) override
    {
        return Run(L"IRUVKeypoint.GetBoreUnits", [&] { return ReturnText(m_node->boreUnits, units); });
    }

private:
    std::shared_ptr<Component> m_component;
    std::shared_ptr<Keypoint> m_node;
};

class KeypointsObject final : public ChildObject<IRUVKeypoints> {
public:
    KeypointsObject(std::shared_ptr<Session> session, ComponentObject* component)
        : ChildObject(std::move(session), component), m_component(component->Node())
    {
    }
    long Kind() const override { return RUVKindKeypoints; }
    bool Attached() const override { return m_owner->Attached() && m_component->keypoints.has_value(); }

    STDMETHODIMP Item(VARIANT index, IRUVKeypoint** keypoint) override
    {
        return Run(L"IRUVKeypoints.Item", [&] {
            const KeypointList& list = m_component->keypoints;
            const std::optional<size_t> position = list ? PositionOf(index, list->size()) : std::nullopt;
            if (!position)
                return Error(E_INVALIDARG, L"no keypoint at that index");
            std::shared_ptr<Keypoint> node = (*list)[*position];
            auto object = m_session->Find<KeypointObject>(Session::Key{node.get(), nullptr, kRoleNode}, [&] {
                return new KeypointObject(m_session, this, m_component, node);
            });
            return ReturnObject(object, keypoint);
        });
    }
    STDMETHODIMP GetCount(long* count) override
    {
        return Run(L"IRUVKeypoints.GetCount", [&] {
            const KeypointList& list = m_component->keypoints;
            return ReturnLong(list ? static_cast<long>(list->size()) : 0, count);
        });
    }

private:
    std::shared_ptr<Component> m_component;
};

} // namespace

bool ComponentObject::Attached() const
{
    const auto& components = m_pipeline->Node()->components;
    return m_pipeline->Attached() && std::find(components.begin(), components.end(), m_node) != components.end();
}

STDMETHODIMP ComponentObject::GetAttributes(IRUVAttributes** attributes)
{
    return Run(L"IRUVComponent.GetAttributes",
               [&] { return ReturnObject(AttributesOf(m_session, this, m_node, &m_node->attributes), attributes); });
}

STDMETHODIMP ComponentObject::GetInformationItems(IRUVInformationItems** items)
{
    return Run(L"IRUVComponent.GetInformationItems", [&] {
        return ReturnObject(InformationItemsOf(m_session, this, m_node, &m_node->informationItems), items);
    });
}

STDMETHODIMP ComponentObject::GetKeypoints(IRUVKeypoints** keypoints)
{
    return Run(L"IRUVComponent.GetKeypoints", [&] {
        if (!m_node->keypoints)
            return ReturnObject(ComPtr<KeypointsObject>(), keypoints);
        auto object = m_session->Find<KeypointsObject>(Session::Key{m_node.get(), nullptr, kRoleKeypoints},
                                                       [&] { return new KeypointsObject(m_session, this); });
        return ReturnObject(object, keypoints);
    });
}

STDMETHODIMP ComponentObject::GetMaterial(IRUVMaterial** material)
{
    return Run(L"IRUVComponent.GetMaterial", [&] {
        std::shared_ptr<Material> node = m_node->material;
        if (!node)
            return ReturnObject(ComPtr<MaterialObject>(), material);
        auto object = m_session->Find<MaterialObject>(Session::Key{node.get(), nullptr, kRoleNode},
                                                      [&] { return new MaterialObject(m_session, this, node); });
        return ReturnObject(object, material);
    });
}

STDMETHODIMP ComponentObject::GetPipeline(IRUVPipeline** pipeline)
{
    return Run(L"IRUVComponent.GetPipeline", [&] { return ReturnObject(ComPtr<PipelineObject>(m_pipeline), pipeline); });
}

STDMETHODIMP ComponentObject::GetFlyText(BSTR* text)
{
    return Run(L"IRUVComponent.GetFlyText", [&] { return ReturnText(m_node->flyText, text); });
}

} // namespace ruvmodel::com
