#include "Document.h"

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

} // namespace ruvmodel
