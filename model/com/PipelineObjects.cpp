// A pipeline and what hangs directly under it: its components object, component groups and their
// members, and its sheets.
#include <algorithm>

#include "Objects.h"

namespace ruvmodel::com {
namespace {

template <typename List, typename Node>
bool Contains(const List& list, const Node& node)
{
    return std::find(list.begin(), list.end(), node) != list.end();
}

// A member of a group: it names one component.
class GroupMemberObject final : public ChildObject<IRUVGroupMember> {
public:
    GroupMemberObject(std::shared_ptr<Session> session, ModelObject* group, PipelineObject* pipeline,
                      std::shared_ptr<Component> component, std::function<bool()> stillMember)
        : ChildObject(std::move(session), group), m_pipeline(pipeline), m_component(std::move(component)),
          m_stillMember(std::move(stillMember))
    {
    }
    long Kind() const override { return RUVKindGroupMember; }
    bool Attached() const override { return m_owner->Attached() && m_stillMember(); }

    STDMETHODIMP GetComponent(VARIANT* component) override
    {
        return Run(L"IRUVGroupMember.GetComponent", [&] {
            if (!component)
                return E_POINTER;
            *component = platform::ScopedVariant(m_pipeline->ComponentFor(m_component).Get()).Release();
            return S_OK;
        });
    }

private:
    PipelineObject* m_pipeline;
    std::shared_ptr<Component> m_component;
    std::function<bool()> m_stillMember;
};

// Shared by the pipeline's components object and its component groups: an indexed list of
// members. Members(): the components in order.
template <typename Derived>
class MemberList : public ChildObject<IRUVComponentGroup> {
public:
    STDMETHODIMP Item(long index, IRUVGroupMember** member) override
    {
        return Run(L"IRUVComponentGroup.Item", [&] {
            const auto& members = static_cast<Derived*>(this)->Members();
            if (index < 0 || static_cast<size_t>(index) >= members.size())
                return Error(E_INVALIDARG, L"no member at that index");
            std::shared_ptr<Component> component = members[static_cast<size_t>(index)];
            auto object = m_session->template Find<GroupMemberObject>(
                Session::Key{static_cast<Derived*>(this)->Identity(), component.get(), kRoleMember}, [&] {
                    Derived* self = static_cast<Derived*>(this);
                    return new GroupMemberObject(m_session, self, m_pipeline, component, [self, component] {
                        return Contains(self->Members(), component);
                    });
                });
            return ReturnObject(object, member);
        });
    }
    STDMETHODIMP GetCount(long* count) override
    {
        return Run(L"IRUVComponentGroup.GetCount", [&] {
            return ReturnLong(static_cast<long>(static_cast<Derived*>(this)->Members().size()), count);
        });
    }

protected:
    MemberList(std::shared_ptr<Session> session, ModelObject* owner, PipelineObject* pipeline)
        : ChildObject(std::move(session), owner), m_pipeline(pipeline)
    {
    }

    PipelineObject* m_pipeline;
};

// What GetComponents of a pipeline returns: all its components as one group.
class ComponentsObject final : public MemberList<ComponentsObject> {
public:
    ComponentsObject(std::shared_ptr<Session> session, PipelineObject* pipeline)
        : MemberList(std::move(session), pipeline, pipeline)
    {
    }
    long Kind() const override { return RUVKindComponents; }
    bool Attached() const override { return m_owner->Attached(); }
    const std::vector<std::shared_ptr<Component>>& Members() const { return m_pipeline->Node()->components; }
    const void* Identity() const { return this; }

    STDMETHODIMP GetName(BSTR* name) override
    {
        return Run(L"IRUVComponentGroup.GetName", [&] { return ReturnText(m_pipeline->Node()->name, name); });
    }
};

using GroupList = std::vector<std::shared_ptr<ComponentGroup>>;
// The groups of one view of a pipeline, as they are now.
using GroupView = std::function<const GroupList&()>;

class GroupObject final : public MemberList<GroupObject> {
public:
    GroupObject(std::shared_ptr<Session> session, ModelObject* groups, PipelineObject* pipeline,
                std::shared_ptr<ComponentGroup> node, GroupView view)
        : MemberList(std::move(session), groups, pipeline), m_node(std::move(node)), m_view(std::move(view))
    {
    }
    long Kind() const override { return RUVKindComponentGroup; }
    bool Attached() const override { return m_owner->Attached() && Contains(m_view(), m_node); }
    const std::vector<std::shared_ptr<Component>>& Members() const { return m_node->members; }
    const void* Identity() const { return m_node.get(); }

    STDMETHODIMP GetName(BSTR* name) override
    {
        return Run(L"IRUVComponentGroup.GetName", [&] { return ReturnText(m_node->name, name); });
    }

private:
    std::shared_ptr<ComponentGroup> m_node;
    GroupView m_view;
};

class GroupsObject final : public ChildObject<IRUVComponentGroups> {
public:
    GroupsObject(std::shared_ptr<Session> session, PipelineObject* pipeline, GroupView view)
        : ChildObject(std::move(session), pipeline), m_pipeline(pipeline), m_view(std::move(view))
    {
    }
    long Kind() const override { return RUVKindComponentGroups; }
    bool Attached() const override { return m_owner->Attached(); }

    STDMETHODIMP Item(long index, IRUVComponentGroup** group) override
    {
        return Run(L"IRUVComponentGroups.Item", [&] {
            const GroupList& list = m_view();
            if (index < 0 || static_cast<size_t>(index) >= list.size())
                return Error(E_INVALIDARG, L"no group at that index");
            std::shared_ptr<ComponentGroup> node = list[static_cast<size_t>(index)];
            auto object = m_session->Find<GroupObject>(Session::Key{node.get(), nullptr, kRoleNode}, [&] {
                return new GroupObject(m_session, this, m_pipeline, node, m_view);
            });
            return ReturnObject(object, group);
        });
    }
    STDMETHODIMP GetCount(long* count) override
    {
        return Run(L"IRUVComponentGroups.GetCount", [&] { return ReturnLong(static_cast<long>(m_view().size()), count); });
    }

private:
    PipelineObject* m_pipeline;
    GroupView m_view;
};

class SheetObject final : public ChildObject<IRUVSheet> {
public:
    SheetObject(std::shared_ptr<Session> session, ModelObject* sheets, std::shared_ptr<Pipeline> pipeline, size_t index)
        : ChildObject(std::move(session), sheets), m_pipeline(std::move(pipeline)), m_index(index)
    {
    }
    long Kind() const override { return RUVKindSheet; }
    bool Attached() const override { return m_owner->Attached() && m_index < m_pipeline->sheets.size(); }

    STDMETHODIMP GetNumber(long* number) override
    {
        return Run(L"IRUVSheet.GetNumber", [&] {
            if (m_index >= m_pipeline->sheets.size())
                return Error(E_UNEXPECTED, L"the sheet was removed");
            return ReturnLong(m_pipeline->sheets[m_index], number);
        });
    }

private:
    std::shared_ptr<Pipeline> m_pipeline;
    size_t m_index;
};

class SheetsObject final : public ChildObject<IRUVSheets> {
public:
    SheetsObject(std::shared_ptr<Session> session, PipelineObject* pipeline)
        : ChildObject(std::move(session), pipeline), m_pipeline(pipeline->Node())
    {
    }
    long Kind() const override { return RUVKindSheets; }
    bool Attached() const override { return m_owner->Attached(); }

    STDMETHODIMP Item(long index, IRUVSheet** sheet) override
    {
        return Run(L"IRUVSheets.Item", [&] {
            if (index < 0 || static_cast<size_t>(index) >= m_pipeline->sheets.size())
                return Error(E_INVALIDARG, L"no sheet at that index");
            const auto position = static_cast<size_t>(index);
            auto object = m_session->Find<SheetObject>(
                Session::Key{m_pipeline.get(), reinterpret_cast<const void*>(position + 1), kRoleSheet},
                [&] { return new SheetObject(m_session, this, m_pipeline, position); });
            return ReturnObject(object, sheet);
        });
    }
    STDMETHODIMP GetCount(long* count) override
    {
        return Run(L"IRUVSheets.GetCount", [&] { return ReturnLong(static_cast<long>(m_pipeline->sheets.size()), count); });
    }

private:
    std::shared_ptr<Pipeline> m_pipeline;
};

} // namespace

ComPtr<PipelineObject> PipelineObjectFor(const std::shared_ptr<Session>& session, const std::shared_ptr<Pipeline>& node)
{
    ComPtr<PipelinesObject> pipelines = PipelinesOf(session);
    return session->Find<PipelineObject>(Session::Key{node.get(), nullptr, kRoleNode},
                                         [&] { return new PipelineObject(session, pipelines.Get(), node); });
}

bool PipelineObject::Attached() const { return Contains(m_session->Data().pipelines, m_node); }

ComPtr<ComponentObject> PipelineObject::ComponentFor(const std::shared_ptr<Component>& component)
{
    return m_session->Find<ComponentObject>(Session::Key{component.get(), nullptr, kRoleNode},
                                            [&] { return new ComponentObject(m_session, this, component); });
}

STDMETHODIMP PipelineObject::GetComponents(IDispatch** components)
{
    return Run(L"IRUVPipeline.GetComponents", [&] {
        auto object = m_session->Find<ComponentsObject>(Session::Key{m_node.get(), nullptr, kRoleComponents},
                                                        [&] { return new ComponentsObject(m_session, this); });
        return ReturnObject(object, components);
    });
}

STDMETHODIMP PipelineObject::GetInformationItems(IRUVInformationItems** items)
{
    return Run(L"IRUVPipeline.GetInformationItems", [&] {
        return ReturnObject(InformationItemsOf(m_session, this, m_node, &m_node->informationItems), items);
    });
}

STDMETHODIMP PipelineObject::GetAttributes(IRUVAttributes** attributes)
{
    return Run(L"IRUVPipeline.GetAttributes",
               [&] { return ReturnObject(AttributesOf(m_session, this, m_node, &m_node->attributes), attributes); });
}

STDMETHODIMP PipelineObject::GetName(BSTR* name)
{
    return Run(L"IRUVPipeline.GetName", [&] { return ReturnText(m_node->name, name); });
}

STDMETHODIMP PipelineObject::GetComponentGroups(long what, long how, IRUVComponentGroups** groups)
{
    return Run(L"IRUVPipeline.GetComponentGroups", [&] {
        // (3, 1): every component, in groups; (3, 8): the spools, then the components in none.
        GroupView view;
        Role role = kRoleAllGroups;
        std::shared_ptr<Pipeline> node = m_node;
        if (what == 3 && how == 1) {
            view = [node]() -> const GroupList& { return node->allGroups; };
        } else if (what == 3 && how == 8) {
            view = [node]() -> const GroupList& { return node->SpoolView(); };
            role = kRoleSpools;
        } else {
            return Error(E_INVALIDARG, L"component groups are (3, 1) for all components and (3, 8) for spools");
        }
        auto object = m_session->Find<GroupsObject>(Session::Key{m_node.get(), nullptr, role},
                                                    [&] { return new GroupsObject(m_session, this, view); });
        return ReturnObject(object, groups);
    });
}

STDMETHODIMP PipelineObject::GetSheets(IRUVSheets** sheets)
{
    return Run(L"IRUVPipeline.GetSheets", [&] {
        auto object = m_session->Find<SheetsObject>(Session::Key{m_node.get(), nullptr, kRoleSheets},
                                                    [&] { return new SheetsObject(m_session, this); });
        return ReturnObject(object, sheets);
    });
}

STDMETHODIMP PipelineObject::GetFile(IRUVFile** file)
{
    return Run(L"IRUVPipeline.GetFile", [&] { return ReturnObject(FileOf(m_session), file); });
}

} // namespace ruvmodel::com
