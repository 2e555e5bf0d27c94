#include "Reader.h"

#include <cmath>
#include <fstream>
#include <unordered_map>
#include <initializer_list>
#include <iterator>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

namespace ruvmodel {
namespace {

using Json = nlohmann::json;

constexpr int kFormatVersion = 1;

const char* KindOf(const Json& json)
{
    switch (json.type()) {
    case Json::value_t::null: return "null";
    case Json::value_t::object: return "an object";
    case Json::value_t::array: return "an array";
    case Json::value_t::string: return "a string";
    case Json::value_t::boolean: return "true or false";
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float: return "a number";
    default: return "something else";
    }
}

// One place in the document: its JSON value and its path (a JSON pointer), for messages.
class Field {
public:
    Field(const Json& json, std::string path, const std::string& fileName)
        : m_json(json), m_path(std::move(path)), m_fileName(fileName)
    {
    }

    [[noreturn]] void Fail(const std::string& expected) const
    {
        throw ReadError(m_fileName + ": at " + (m_path.empty() ? "/" : m_path) + ": expected " + expected +
                        ", found " + KindOf(m_json));
    }

    bool IsNull() const { return m_json.is_null(); }

    // Fields of an object: the ones named here may appear, any other is an error.
    void AllowOnly(std::initializer_list<const char*> keys) const
    {
        ExpectObject();
        std::set<std::string> allowed(keys.begin(), keys.end());
        for (auto it = m_json.begin(); it != m_json.end(); ++it) {
            if (!allowed.count(it.key()))
                throw ReadError(m_fileName + ": at " + Child(it.key()) + ": unexpected field");
        }
    }

    Field Require(const char* key) const
    {
        ExpectObject();
        auto found = m_json.find(key);
        if (found == m_json.end())
            throw ReadError(m_fileName + ": at " + (m_path.empty() ? "/" : m_path) + ": expected the field \"" +
                            key + "\"");
        return Field(*found, Child(key), m_fileName);
    }

    std::optional<Field> Optional(const char* key) const
    {
        ExpectObject();
        auto found = m_json.find(key);
        if (found == m_json.end())
            return std::nullopt;
        return Field(*found, Child(key), m_fileName);
    }

    Text AsText() const
    {
        if (!m_json.is_string())
            Fail("a string");
        return Widen(m_json.get_ref<const std::string&>());
    }

    double AsNumber() const
    {
        if (!m_json.is_number())
            Fail("a number");
        return m_json.get<double>();
    }

    long AsLong() const
    {
        if (m_json.is_number_float()) {
            // 1.0 is a whole number too.
            const double value = m_json.get<double>();
            if (!(value == std::floor(value)) || value > 2147483647.0 || value < -2147483648.0)
                Fail("a whole number between -2147483648 and 2147483647");
            return static_cast<long>(value);
        }
        if (!m_json.is_number_integer() && !m_json.is_number_unsigned())
            Fail("a whole number");
        if (m_json.is_number_unsigned() ? m_json.get<unsigned long long>() > 2147483647ULL
                                        : (m_json.get<long long>() > 2147483647LL || m_json.get<long long>() < -2147483648LL))
            Fail("a whole number between -2147483648 and 2147483647");
        return static_cast<long>(m_json.get<long long>());
    }

    bool AsBool() const
    {
        if (!m_json.is_boolean())
            Fail("true or false");
        return m_json.get<bool>();
    }

    std::vector<Field> AsArray() const
    {
        if (!m_json.is_array())
            Fail("an array");
        std::vector<Field> items;
        for (size_t i = 0; i < m_json.size(); ++i)
            items.emplace_back(m_json[i], m_path + "/" + std::to_string(i), m_fileName);
        return items;
    }

    std::vector<std::pair<Text, Field>> AsMembers() const
    {
        ExpectObject();
        std::vector<std::pair<Text, Field>> members;
        for (auto it = m_json.begin(); it != m_json.end(); ++it)
            members.emplace_back(Widen(it.key()), Field(it.value(), Child(it.key()), m_fileName));
        return members;
    }

    const std::string& Path() const { return m_path; }
    const std::string& FileName() const { return m_fileName; }

private:
    void ExpectObject() const
    {
        if (!m_json.is_object())
            Fail("an object");
    }

    // A JSON pointer escapes "~" and "/" in keys.
    std::string Child(const std::string& key) const
    {
        std::string escaped;
        for (char c : key) {
            if (c == '~')
                escaped += "~0";
            else if (c == '/')
                escaped += "~1";
            else
                escaped += c;
        }
        return m_path + "/" + escaped;
    }

    const Json& m_json;
    std::string m_path;
    const std::string& m_fileName;
};

Text OptionalText(const Field& object, const char* key, const Text& fallback = Text())
{
    auto field = object.Optional(key);
    return field ? field->AsText() : fallback;
}

Value ReadValue(const Field& field)
{
    if (field.IsNull())
        return std::monostate{};
    try {
        return field.AsText();
    } catch (const ReadError&) {
    }
    try {
        return field.AsNumber();
    } catch (const ReadError&) {
    }
    try {
        return field.AsBool();
    } catch (const ReadError&) {
    }
    field.Fail("a string, a number, true, false or null");
}

std::shared_ptr<Attribute> ReadAttribute(const Field& field)
{
    field.AllowOnly({"name", "label", "value", "units", "visible", "displayable"});
    auto attribute = std::make_shared<Attribute>();
    attribute->name = field.Require("name").AsText();
    attribute->label = OptionalText(field, "label", attribute->name);
    attribute->value = ReadValue(field.Require("value"));
    attribute->units = OptionalText(field, "units");
    if (auto visible = field.Optional("visible"))
        attribute->visible = visible->AsBool();
    if (auto displayable = field.Optional("displayable"))
        attribute->displayable = displayable->AsBool();
    return attribute;
}

// A list field: absent gives an empty list, null gives none at all.
template <typename List, typename Add>
std::optional<List> ReadOptionalList(const Field& owner, const char* key, Add add)
{
    auto field = owner.Optional(key);
    if (!field)
        return List{};
    if (field->IsNull())
        return std::nullopt;
    List list;
    for (const Field& item : field->AsArray())
        add(list, item);
    return list;
}

std::optional<AttributeList> ReadAttributes(const Field& owner)
{
    std::set<Text> names;
    return ReadOptionalList<AttributeList>(owner, "attributes", [&names](AttributeList& list, const Field& item) {
        auto attribute = ReadAttribute(item);
        if (!names.insert(attribute->name).second)
            throw ReadError(item.FileName() + ": at " + item.Path() + "/name: expected a name not used before in this list, found \"" +
                            Narrow(attribute->name) + "\" again");
        list.items.push_back(attribute);
    });
}

Point ReadPoint(const Field& field)
{
    auto coordinates = field.AsArray();
    if (coordinates.size() != 3)
        field.Fail("an array of three numbers [x, y, z]");
    return Point{coordinates[0].AsNumber(), coordinates[1].AsNumber(), coordinates[2].AsNumber()};
}

std::shared_ptr<InformationItem> ReadInformationItem(const Field& field)
{
    field.AllowOnly({"name", "attributes", "points"});
    auto item = std::make_shared<InformationItem>();
    item->name = field.Require("name").AsText();
    item->attributes = ReadAttributes(field);
    if (auto points = field.Optional("points")) {
        for (const auto& [name, list] : points->AsMembers()) {
            std::vector<Point>& target = item->points[name];
            for (const Field& point : list.AsArray())
                target.push_back(ReadPoint(point));
        }
    }
    return item;
}

std::optional<InformationItemList> ReadInformationItems(const Field& owner)
{
    return ReadOptionalList<InformationItemList>(
        owner, "informationItems", [](InformationItemList& list, const Field& item) { list.push_back(ReadInformationItem(item)); });
}

std::shared_ptr<Keypoint> ReadKeypoint(const Field& field)
{
    field.AllowOnly({"name", "bore", "boreUnits", "internal", "endType", "position"});
    auto keypoint = std::make_shared<Keypoint>();
    keypoint->name = field.Require("name").AsText();
    keypoint->position = ReadPoint(field.Require("position"));
    if (auto bore = field.Optional("bore"))
        keypoint->bore = bore->AsNumber();
    keypoint->boreUnits = OptionalText(field, "boreUnits");
    if (auto internal = field.Optional("internal"))
        keypoint->internal = internal->AsBool();
    keypoint->endType = OptionalText(field, "endType");
    return keypoint;
}

std::shared_ptr<Material> ReadMaterial(const Field& field)
{
    field.AllowOnly({"itemCode", "description", "group", "skey", "componentType", "weight", "configuration",
                     "pressureRating", "constructionMaterial", "attributes"});
    auto material = std::make_shared<Material>();
    material->itemCode = field.Require("itemCode").AsText();
    material->group = field.Require("group").AsText();
    material->componentType = field.Require("componentType").AsText();
    material->description = OptionalText(field, "description");
    material->skey = OptionalText(field, "skey");
    if (auto weight = field.Optional("weight"))
        material->weight = weight->AsNumber();
    material->configuration = OptionalText(field, "configuration");
    material->pressureRating = OptionalText(field, "pressureRating");
    material->constructionMaterial = OptionalText(field, "constructionMaterial");
    material->attributes = ReadAttributes(field);
    return material;
}

std::shared_ptr<Component> ReadComponent(const Field& field)
{
    field.AllowOnly({"id", "flyText", "attributes", "keypoints", "informationItems", "material"});
    auto component = std::make_shared<Component>();
    component->id = field.Require("id").AsText();
    component->flyText = OptionalText(field, "flyText");
    component->attributes = ReadAttributes(field);
    component->keypoints = ReadOptionalList<std::vector<std::shared_ptr<Keypoint>>>(
        field, "keypoints", [](auto& list, const Field& item) { list.push_back(ReadKeypoint(item)); });
    component->informationItems = ReadInformationItems(field);
    Field material = field.Require("material");
    if (!material.IsNull())
        component->material = ReadMaterial(material);
    return component;
}

using ComponentIndex = std::unordered_map<Text, std::shared_ptr<Component>>;

// Groups name their members by id; a component is a member of one group of a view at most.
std::vector<std::shared_ptr<ComponentGroup>> ReadGroups(const Field& field, const ComponentIndex& components)
{
    std::vector<std::shared_ptr<ComponentGroup>> groups;
    std::set<const Component*> placed;
    for (const Field& item : field.AsArray()) {
        item.AllowOnly({"name", "components"});
        auto group = std::make_shared<ComponentGroup>();
        group->name = OptionalText(item, "name");
        for (const Field& id : item.Require("components").AsArray()) {
            auto found = components.find(id.AsText());
            if (found == components.end())
                throw ReadError(id.FileName() + ": at " + id.Path() + ": expected the id of a component of this pipeline, found \"" +
                                Narrow(id.AsText()) + "\"");
            if (!placed.insert(found->second.get()).second)
                throw ReadError(id.FileName() + ": at " + id.Path() + ": expected a component not placed in a group before, found \"" +
                                Narrow(id.AsText()) + "\" again");
            group->members.push_back(found->second);
        }
        groups.push_back(group);
    }
    return groups;
}

std::shared_ptr<Pipeline> ReadPipeline(const Field& field)
{
    field.AllowOnly({"name", "attributes", "informationItems", "components", "allGroups", "spools", "sheets"});
    auto pipeline = std::make_shared<Pipeline>();
    pipeline->name = field.Require("name").AsText();
    pipeline->attributes = ReadAttributes(field);
    pipeline->informationItems = ReadInformationItems(field);
    ComponentIndex index;
    if (auto components = field.Optional("components")) {
        for (const Field& item : components->AsArray()) {
            auto component = ReadComponent(item);
            if (!index.emplace(component->id, component).second)
                throw ReadError(item.FileName() + ": at " + item.Path() + "/id: expected an id not used before in this pipeline, found \"" +
                                Narrow(component->id) + "\" again");
            pipeline->components.push_back(component);
        }
    }
    if (auto groups = field.Optional("allGroups")) {
        pipeline->allGroups = ReadGroups(*groups, index);
        // These groups are all the components: none may be left out.
        size_t placed = 0;
        for (const auto& group : pipeline->allGroups)
            placed += group->members.size();
        if (placed != pipeline->components.size())
            throw ReadError(groups->FileName() + ": at " + groups->Path() + ": expected every component of the pipeline in one of the groups, found " +
                            std::to_string(placed) + " of " + std::to_string(pipeline->components.size()));
    } else {
        // Without groups of its own, the pipeline's components form one group.
        auto all = std::make_shared<ComponentGroup>();
        all->members = pipeline->components;
        pipeline->allGroups.push_back(all);
    }
    if (auto spools = field.Optional("spools"))
        pipeline->spools = ReadGroups(*spools, index);
    if (auto sheets = field.Optional("sheets")) {
        for (const Field& sheet : sheets->AsArray())
            pipeline->sheets.push_back(sheet.AsLong());
    }
    return pipeline;
}

std::map<Text, std::map<Text, Text>> ReadPropertyTable(const Field& field)
{
    std::map<Text, std::map<Text, Text>> table;
    for (const auto& [name, properties] : field.AsMembers()) {
        auto& target = table[name];
        for (const auto& [property, value] : properties.AsMembers())
            target[property] = value.AsText();
    }
    return table;
}

TypeDictionary ReadTypeDictionary(const Field& field)
{
    field.AllowOnly({"componentTypes", "groups", "endTypes"});
    TypeDictionary types;
    if (auto componentTypes = field.Optional("componentTypes"))
        types.componentTypes = ReadPropertyTable(*componentTypes);
    if (auto groups = field.Optional("groups"))
        types.groups = ReadPropertyTable(*groups);
    if (auto endTypes = field.Optional("endTypes")) {
        for (const auto& [code, description] : endTypes->AsMembers())
            types.endTypes[code] = description.AsText();
    }
    return types;
}

// Line and column (both from 1) of a byte offset, for syntax errors.
std::string Position(std::string_view text, size_t byte)
{
    size_t line = 1;
    size_t column = 1;
    for (size_t i = 0; i < byte && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace

Document ReadDocumentText(std::string_view text, const Text& fileName)
{
    const std::string name = Narrow(fileName);
    // The parser takes a NUL byte for the end of its input and would accept whatever follows it;
    // JSON allows none anywhere.
    if (const size_t nul = text.find('\0'); nul != std::string_view::npos)
        throw ReadError(name + ": " + Position(text, nul) + ": not valid JSON: a NUL byte");
    Json json;
    try {
        json = Json::parse(text.begin(), text.end());
    } catch (const Json::parse_error& error) {
        // The library's message starts with its own prefix and position; keep what follows them.
        std::string what = error.what();
        const size_t prefix = what.find("parse error");
        const size_t colon = prefix == std::string::npos ? std::string::npos : what.find(": ", prefix);
        std::string detail = colon == std::string::npos ? what : what.substr(colon + 2);
        const size_t at = error.byte == 0 ? 0 : error.byte - 1;
        throw ReadError(name + ": " + Position(text, at) + ": not valid JSON: " + detail);
    } catch (const Json::exception& error) {
        // A number too large for a double, for one; the library gives no position for these.
        std::string what = error.what();
        const size_t end = what.find("] ");
        throw ReadError(name + ": not valid JSON: " + (end == std::string::npos ? what : what.substr(end + 2)));
    }

    Field root(json, "", name);
    root.AllowOnly({"version", "attributes", "typeDictionary", "pipelines"});
    const Field version = root.Require("version");
    if (version.AsLong() != kFormatVersion)
        version.Fail("version " + std::to_string(kFormatVersion));

    Document document;
    document.path = fileName;
    document.attributes = ReadAttributes(root);
    if (auto types = root.Optional("typeDictionary"))
        document.types = ReadTypeDictionary(*types);
    for (const Field& pipeline : root.Require("pipelines").AsArray())
        document.pipelines.push_back(ReadPipeline(pipeline));
    return document;
}

Document ReadDocumentFile(const std::filesystem::path& path)
{
    const Text fileName = path.wstring();
    std::ifstream stream(path, std::ios::binary);
    if (!stream)
        throw ReadError(Narrow(fileName) + ": cannot open the file", ReadError::kCannotOpen);
    std::ostringstream contents;
    contents << stream.rdbuf();
    if (stream.bad())
        throw ReadError(Narrow(fileName) + ": cannot read the file");
    return ReadDocumentText(contents.str(), fileName);
}

} // namespace ruvmodel
