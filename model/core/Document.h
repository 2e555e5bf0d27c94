// The reference object model's data: one RUV file as plain C++ objects. Portable, no Windows
// headers; the COM objects over it (model/com) give each of these objects one identity.
//
// Objects that the COM layer hands out live in shared_ptr, so that a COM object keeps its data
// alive after an edit removed it from the document. A collection that may be absent altogether
// (the model answers null for it) is a std::optional.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace ruvmodel {

using Text = std::wstring;

// An attribute's value as the file gives it: nothing, a text, a number or a flag.
using Value = std::variant<std::monostate, Text, double, bool>;

struct Attribute {
    Text name;
    Text label;
    Text units;
    Value value;
    bool visible = true;
    bool displayable = true;
};

struct AttributeList {
    std::vector<std::shared_ptr<Attribute>> items;

    // The attribute of that name (exact comparison), or null.
    std::shared_ptr<Attribute> Find(const Text& name) const;
};

struct Point {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

struct InformationItem {
    Text name;
    std::optional<AttributeList> attributes = AttributeList{};
    std::map<Text, std::vector<Point>> points; // named point lists, e.g. "Master"
};

using InformationItemList = std::vector<std::shared_ptr<InformationItem>>;

struct Keypoint {
    Text name;
    double bore = 0.0;
    Text boreUnits;
    bool internal = false;
    Text endType;
    Point position; // millimetres
};

struct Material {
    Text itemCode;
    Text description;
    Text group;
    Text skey;
    Text componentType;
    double weight = 0.0; // kilograms
    Text configuration;
    Text pressureRating;
    Text constructionMaterial;
    std::optional<AttributeList> attributes = AttributeList{};
};

struct Component {
    Text id; // unique within its pipeline; groups name their members by it
    Text flyText;
    std::optional<AttributeList> attributes = AttributeList{};
    std::optional<std::vector<std::shared_ptr<Keypoint>>> keypoints = std::vector<std::shared_ptr<Keypoint>>{};
    std::optional<InformationItemList> informationItems = InformationItemList{};
    std::shared_ptr<Material> material; // null: the component has none
};

struct ComponentGroup {
    Text name;
    std::vector<std::shared_ptr<Component>> members;
};

struct Pipeline {
    Text name;
    std::optional<AttributeList> attributes = AttributeList{};
    std::optional<InformationItemList> informationItems = InformationItemList{};
    std::vector<std::shared_ptr<Component>> components;
    std::vector<std::shared_ptr<ComponentGroup>> allGroups; // every component, in order
    std::vector<std::shared_ptr<ComponentGroup>> spools;
    std::vector<long> sheets;

    std::shared_ptr<Component> FindComponent(const Text& id) const;

    // The spool view: the spools, then one unnamed group of the components that are in no spool
    // (the erection items), when there are any. The groups keep their identity across calls.
    const std::vector<std::shared_ptr<ComponentGroup>>& SpoolView();

private:
    std::vector<std::shared_ptr<ComponentGroup>> m_spoolView;
    std::shared_ptr<ComponentGroup> m_unspooled = std::make_shared<ComponentGroup>();
};

struct TypeDictionary {
    std::map<Text, std::map<Text, Text>> componentTypes; // type → property → text
    std::map<Text, std::map<Text, Text>> groups;         // group → property → text
    std::map<Text, Text> endTypes;                       // code → description
};

struct Document {
    Text path;
    std::optional<AttributeList> attributes = AttributeList{};
    TypeDictionary types;
    std::vector<std::shared_ptr<Pipeline>> pipelines;
};

} // namespace ruvmodel
