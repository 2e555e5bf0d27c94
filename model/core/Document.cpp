#include "Document.h"

#include <set>

namespace ruvmodel {

std::shared_ptr<Attribute> AttributeList::Find(const Text& name) const
{
    for (const auto& attribute : items) {
        if (attribute->name == name)
            return attribute;
    }
    return nullptr;
}

std::shared_ptr<Component> Pipeline::FindComponent(const Text& id) const
{
    for (const auto& component : components) {
        if (component->id == id)
            return component;
    }
    return nullptr;
}

const std::vector<std::shared_ptr<ComponentGroup>>& Pipeline::SpoolView()
{
    std::set<const Component*> spooled;
    for (const auto& spool : spools) {
        for (const auto& member : spool->members)
            spooled.insert(member.get());
    }
    m_unspooled->members.clear();
    for (const auto& component : components) {
        if (!spooled.count(component.get()))
            m_unspooled->members.push_back(component);
    }
    m_spoolView = spools;
    if (!m_unspooled->members.empty())
        m_spoolView.push_back(m_unspooled);
    return m_spoolView;
}

} // namespace ruvmodel
