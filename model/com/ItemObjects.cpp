// Attributes and information items, which many kinds of objects own.
#include <algorithm>

#include "Objects.h"
#include "platform/com/ScopedVariant.h"

namespace ruvmodel::com {
namespace {

class AttributeObject final : public ChildObject<IRUVAttribute> {
public:
    AttributeObject(std::shared_ptr<Session> session, ModelObject* attributes, std::shared_ptr<void> ownerNode,
                    std::optional<AttributeList>* list, std::shared_ptr<Attribute> node)
        : ChildObject(std::move(session), attributes), m_ownerNode(std::move(ownerNode)), m_list(list),
          m_node(std::move(node))
    {
    }
    long Kind() const override { return RUVKindAttribute; }
    bool Attached() const override
    {
        return m_owner->Attached() && *m_list &&
               std::find((*m_list)->items.begin(), (*m_list)->items.end(), m_node) != (*m_list)->items.end();
    }
    const std::shared_ptr<Attribute>& Node() const { return m_node; }
    std::optional<AttributeList>& List() const { return *m_list; }

    STDMETHODIMP GetName(BSTR* name) override
    {
        return Run(L"IRUVAttribute.GetName", [&] { return ReturnText(m_node->name, name); });
    }
    STDMETHODIMP IsVisible(VARIANT_BOOL* visible) override
    {
        return Run(L"IRUVAttribute.IsVisible", [&] { return ReturnBool(m_node->visible, visible); });
    }
    STDMETHODIMP GetLabel(BSTR* label) override
    {
        return Run(L"IRUVAttribute.GetLabel", [&] { return ReturnText(m_node->label, label); });
    }
    STDMETHODIMP FormatValue(BSTR text, BSTR* formatted) override
    {
        // The reference server shows values as they are written.
        return Run(L"IRUVAttribute.FormatValue", [&] { return ReturnText(text ? Text(text) : Text(), formatted); });
    }
    STDMETHODIMP GetUnits(BSTR* units) override
    {
        return Run(L"IRUVAttribute.GetUnits", [&] { return ReturnText(m_node->units, units); });
    }
    STDMETHODIMP GetValue(VARIANT* value) override
    {
        return Run(L"IRUVAttribute.GetValue", [&] { return ReturnValue(m_node->value, value); });
    }
    STDMETHODIMP IsDisplayable(VARIANT_BOOL* displayable) override
    {
        return Run(L"IRUVAttribute.IsDisplayable", [&] { return ReturnBool(m_node->displayable, displayable); });
    }

private:
    std::shared_ptr<void> m_ownerNode; // keeps the list alive
    std::optional<AttributeList>* m_list;
    std::shared_ptr<Attribute> m_node;
};

class AttributesObject final : public ChildObject<IRUVAttributes> {
public:
    AttributesObject(std::shared_ptr<Session> session, ModelObject* owner, std::shared_ptr<void> ownerNode,
                     std::optional<AttributeList>* list)
        : ChildObject(std::move(session), owner), m_ownerNode(std::move(ownerNode)), m_list(list)
    {
    }
    long Kind() const override { return RUVKindAttributes; }
    bool Attached() const override { return m_owner->Attached() && m_list->has_value(); }
    std::optional<AttributeList>& List() const { return *m_list; }

    STDMETHODIMP Item(VARIANT index, IRUVAttribute** attribute) override
    {
        return Run(L"IRUVAttributes.Item", [&] {
            std::shared_ptr<Attribute> node = Find(index);
            if (!node)
                return Error(E_INVALIDARG, L"no such attribute");
            auto object = m_session->Find<AttributeObject>(Session::Key{node.get(), nullptr, kRoleNode}, [&] {
                return new AttributeObject(m_session, this, m_ownerNode, m_list, node);
            });
            return ReturnObject(object, attribute);
        });
    }
    STDMETHODIMP GetCount(long* count) override
    {
        return Run(L"IRUVAttributes.GetCount",
                   [&] { return ReturnLong(*m_list ? static_cast<long>((*m_list)->items.size()) : 0, count); });
    }
    STDMETHODIMP Exists(VARIANT index, VARIANT_BOOL* exists) override
    {
        return Run(L"IRUVAttributes.Exists", [&] { return ReturnBool(Find(index) != nullptr, exists); });
    }

private:
    // By name (a text) or by 0-based position (a number).
    std::shared_ptr<Attribute> Find(const VARIANT& index) const
    {
        if (!*m_list)
            return nullptr;
        const AttributeList& list = **m_list;
        const VARIANT& value = (V_VT(&index) == (VT_VARIANT | VT_BYREF)) ? *V_VARIANTREF(&index) : index;
        if (V_VT(&value) == VT_BSTR || V_VT(&value) == (VT_BSTR | VT_BYREF)) {
            BSTR name = V_VT(&value) == VT_BSTR ? V_BSTR(&value) : *V_BSTRREF(&value);
            return list.Find(name ? Text(name, SysStringLen(name)) : Text());
        }
        const std::optional<size_t> position = PositionOf(value, list.items.size());
        return position ? list.items[*position] : nullptr;
    }

    std::shared_ptr<void> m_ownerNode;
    std::optional<AttributeList>* m_list;
};

class InformationItemObject final : public ChildObject<IRUVInformationItem> {
public:
    InformationItemObject(std::shared_ptr<Session> session, ModelObject* items, long kind,
                          std::shared_ptr<void> ownerNode, std::optional<InformationItemList>* list,
                          std::shared_ptr<InformationItem> node)
        : ChildObject(std::move(session), items), m_kind(kind), m_ownerNode(std::move(ownerNode)), m_list(list),
          m_node(std::move(node))
    {
    }
    long Kind() const override { return m_kind; }
    bool Attached() const override
    {
        return m_owner->Attached() && *m_list && std::find((*m_list)->begin(), (*m_list)->end(), m_node) != (*m_list)->end();
    }
    const std::shared_ptr<InformationItem>& Node() const { return m_node; }
    std::optional<InformationItemList>& List() const { return *m_list; }

    STDMETHODIMP GetAttributes(IRUVAttributes** attributes) override
    {
        return Run(L"IRUVInformationItem.GetAttributes",
                   [&] { return ReturnObject(AttributesOf(m_session, this, m_node, &m_node->attributes), attributes); });
    }
    STDMETHODIMP GetPoint(BSTR name, long index, double* x, double* y, double* z) override
    {
        return Run(L"IRUVInformationItem.GetPoint", [&] {
            if (!x || !y || !z)
                return E_POINTER;
            auto found = m_node->points.find(name ? Text(name) : Text());
            if (found == m_node->points.end() || index < 0 || static_cast<size_t>(index) >= found->second.size())
                return Error(E_INVALIDARG, L"no point of that name and index");
            const Point& point = found->second[static_cast<size_t>(index)];
            *x = point.x;
            *y = point.y;
            *z = point.z;
            return S_OK;
        });
    }
    STDMETHODIMP GetName(BSTR* name) override
    {
        return Run(L"IRUVInformationItem.GetName", [&] { return ReturnText(m_node->name, name); });
    }
    STDMETHODIMP HasPoint(BSTR name, VARIANT_BOOL* has) override
    {
        return Run(L"IRUVInformationItem.HasPoint", [&] {
            auto found = m_node->points.find(name ? Text(name) : Text());
            const bool present = found != m_node->points.end() && !found->second.empty();
            if (present && faults::HasPointTrue() != 0 && has) {
                *has = faults::HasPointTrue();
                return S_OK;
            }
            return ReturnBool(present, has);
        });
    }

private:
    long m_kind;
    std::shared_ptr<void> m_ownerNode;
    std::optional<InformationItemList>* m_list;
    std::shared_ptr<InformationItem> m_node;
};

class InformationItemsObject final : public ChildObject<IRUVInformationItems> {
public:
    InformationItemsObject(std::shared_ptr<Session> session, ModelObject* owner, std::shared_ptr<void> ownerNode,
                           std::optional<InformationItemList>* list)
        : ChildObject(std::move(session), owner), m_ownerNode(std::move(ownerNode)), m_list(list)
    {
    }
    long Kind() const override { return RUVKindInformationItems; }
    bool Attached() const override { return m_owner->Attached() && m_list->has_value(); }

    STDMETHODIMP Item(VARIANT index, IRUVInformationItem** item) override
    {
        return Run(L"IRUVInformationItems.Item", [&] {
            const std::optional<size_t> position = *m_list ? PositionOf(index, (*m_list)->size()) : std::nullopt;
            if (!position)
                return Error(E_INVALIDARG, L"no information item at that index");
            std::shared_ptr<InformationItem> node = (**m_list)[*position];
            const long kind = m_owner->Kind() == RUVKindComponent ? RUVKindComponentInformationItem : RUVKindPipelineInformationItem;
            auto object = m_session->Find<InformationItemObject>(Session::Key{node.get(), nullptr, kRoleNode}, [&] {
                return new InformationItemObject(m_session, this, kind, m_ownerNode, m_list, node);
            });
            return ReturnObject(object, item);
        });
    }
    STDMETHODIMP GetCount(long* count) override
    {
        return Run(L"IRUVInformationItems.GetCount",
                   [&] { return ReturnLong(*m_list ? static_cast<long>((*m_list)->size()) : 0, count); });
    }

private:
    std::shared_ptr<void> m_ownerNode;
    std::optional<InformationItemList>* m_list;
};

} // namespace

ComPtr<IRUVAttributes> AttributesOf(const std::shared_ptr<Session>& session, ModelObject* owner,
                                    std::shared_ptr<void> ownerNode, std::optional<AttributeList>* list)
{
    if (!*list)
        return ComPtr<IRUVAttributes>();
    auto object = session->Find<AttributesObject>(Session::Key{list, nullptr, kRoleAttributes}, [&] {
        return new AttributesObject(session, owner, std::move(ownerNode), list);
    });
    return ComPtr<IRUVAttributes>(object.Get());
}

ComPtr<IRUVInformationItems> InformationItemsOf(const std::shared_ptr<Session>& session, ModelObject* owner,
                                                std::shared_ptr<void> ownerNode,
                                                std::optional<InformationItemList>* list)
{
    if (!*list)
        return ComPtr<IRUVInformationItems>();
    auto object = session->Find<InformationItemsObject>(Session::Key{list, nullptr, kRoleInformationItems}, [&] {
        return new InformationItemsObject(session, owner, std::move(ownerNode), list);
    });
    return ComPtr<IRUVInformationItems>(object.Get());
}

} // namespace ruvmodel::com

namespace ruvmodel::com {
namespace {

const IID& kDocumentIid = IID_IRUVDocument;

// The object behind a pointer when it is of class T and of this session.
template <typename T>
ComPtr<T> OfSession(const std::shared_ptr<Session>& session, IUnknown* unknown)
{
    ComPtr<T> object = ObjectAs<T>(unknown);
    if (object && object->GetSession() != session)
        return ComPtr<T>();
    return object;
}

HRESULT NotOfThisDocument(const wchar_t* what)
{
    return Fail(E_INVALIDARG, std::wstring(L"expected ") + what + L" of this document", kDocumentIid);
}

} // namespace

bool ValueFromVariant(const VARIANT& variant, Value& value)
{
    platform::ScopedVariant plain;
    if (FAILED(VariantCopyInd(plain.Get(), const_cast<VARIANT*>(&variant))))
        return false;
    switch (plain.Type()) {
    case VT_EMPTY:
    case VT_NULL:
        value = std::monostate{};
        return true;
    case VT_BSTR:
        value = plain.Text();
        return true;
    case VT_BOOL:
        value = plain.IsTrue();
        return true;
    default: {
        const platform::ScopedVariant number = platform::ScopedVariant::Converted(plain.Value(), VT_R8);
        if (number.Type() != VT_R8)
            return false;
        value = V_R8(&number.Value());
        return true;
    }
    }
}

HRESULT SetAttributeValue(const std::shared_ptr<Session>& session, IUnknown* attribute, const VARIANT& value)
{
    ComPtr<AttributeObject> object = OfSession<AttributeObject>(session, attribute);
    if (!object || !object->Attached())
        return NotOfThisDocument(L"an attribute");
    Value converted;
    if (!ValueFromVariant(value, converted))
        return Fail(E_INVALIDARG, L"an attribute value is empty, a text, a number or true or false", kDocumentIid);
    object->Node()->value = converted;
    return S_OK;
}

HRESULT AddAttribute(const std::shared_ptr<Session>& session, IUnknown* attributes, const Text& name,
                     const VARIANT& value, const Text& units, IRUVAttribute** added)
{
    ComPtr<AttributesObject> object = OfSession<AttributesObject>(session, attributes);
    if (!object || !object->Attached())
        return NotOfThisDocument(L"an attributes collection");
    if (name.empty() || object->List()->Find(name))
        return Fail(E_INVALIDARG, L"an attribute needs a name that its collection does not have yet", kDocumentIid);
    auto node = std::make_shared<Attribute>();
    node->name = name;
    node->label = name;
    node->units = units;
    if (!ValueFromVariant(value, node->value))
        return Fail(E_INVALIDARG, L"an attribute value is empty, a text, a number or true or false", kDocumentIid);
    object->List()->items.push_back(node);
    const platform::ScopedVariant last(static_cast<long>(object->List()->items.size() - 1));
    return added ? object->Item(last.Value(), added) : S_OK;
}

HRESULT RemoveAttribute(const std::shared_ptr<Session>& session, IUnknown* attribute)
{
    ComPtr<AttributeObject> object = OfSession<AttributeObject>(session, attribute);
    if (!object || !object->Attached())
        return NotOfThisDocument(L"an attribute");
    auto& items = object->List()->items;
    items.erase(std::remove(items.begin(), items.end(), object->Node()), items.end());
    return S_OK;
}

HRESULT AddInformationItem(const std::shared_ptr<Session>& session, IUnknown* owner, const Text& name,
                           IRUVInformationItem** added)
{
    ComPtr<IRUVInformationItems> items;
    std::optional<InformationItemList>* list = nullptr;
    // An owner that an edit removed from the file takes no new items, as no removed object does.
    ComPtr<PipelineObject> pipeline = OfSession<PipelineObject>(session, owner);
    ComPtr<ComponentObject> component = pipeline ? nullptr : OfSession<ComponentObject>(session, owner);
    if ((pipeline && !pipeline->Attached()) || (component && !component->Attached()))
        return NotOfThisDocument(L"a pipeline or a component");
    if (pipeline) {
        list = &pipeline->Node()->informationItems;
        if (!*list)
            list->emplace();
        items = InformationItemsOf(session, pipeline.Get(), pipeline->Node(), list);
    } else if (component) {
        list = &component->Node()->informationItems;
        if (!*list)
            list->emplace();
        items = InformationItemsOf(session, component.Get(), component->Node(), list);
    } else {
        return NotOfThisDocument(L"a pipeline or a component");
    }
    auto node = std::make_shared<InformationItem>();
    node->name = name;
    (*list)->push_back(node);
    const platform::ScopedVariant last(static_cast<long>((*list)->size() - 1));
    return added ? items->Item(last.Value(), added) : S_OK;
}

HRESULT RemoveInformationItem(const std::shared_ptr<Session>& session, IUnknown* item)
{
    ComPtr<InformationItemObject> object = OfSession<InformationItemObject>(session, item);
    if (!object || !object->Attached())
        return NotOfThisDocument(L"an information item");
    auto& items = *object->List();
    items.erase(std::remove(items.begin(), items.end(), object->Node()), items.end());
    return S_OK;
}

} // namespace ruvmodel::com
