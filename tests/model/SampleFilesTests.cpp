// The sample RUV files under samples/: the good ones read, each bad one fails for its own reason
// with a message that names it, and samples/plant.json holds the cases that display tests rely on.
// RUV_SAMPLES_DIR is the samples folder's absolute path, defined by the build.
#include <algorithm>
#include <cwctype>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Reader.h"

#ifndef RUV_SAMPLES_DIR
#error "RUV_SAMPLES_DIR must name the samples folder"
#endif

using namespace ruvmodel;
namespace fs = std::filesystem;

namespace {

const fs::path kSamples = fs::path(RUV_SAMPLES_DIR);

// The .json files directly in a folder, sorted so that failures come in a stable order.
std::vector<fs::path> JsonFilesIn(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == ".json")
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

const Text* TextValue(const AttributeList* list, const Text& name)
{
    if (!list)
        return nullptr;
    auto attribute = list->Find(name);
    return attribute ? std::get_if<Text>(&attribute->value) : nullptr;
}

const AttributeList* ListOf(const std::optional<AttributeList>& list)
{
    return list ? &*list : nullptr;
}

TEST(SampleFiles, EveryGoodSampleReads)
{
    std::vector<fs::path> files = JsonFilesIn(kSamples);
    const std::vector<fs::path> edge = JsonFilesIn(kSamples / "edge");
    files.insert(files.end(), edge.begin(), edge.end());
    std::set<std::string> names;
    for (const fs::path& file : files) {
        names.insert(file.filename().string());
        try {
            ReadDocumentFile(file);
        } catch (const ReadError& error) {
            ADD_FAILURE() << error.what();
        }
    }
    for (const char* expected : {"plant.json", "empty-file.json", "no-material.json", "unicode-names.json"})
        EXPECT_TRUE(names.count(expected)) << expected << " is missing from " << RUV_SAMPLES_DIR;
}

TEST(SampleFiles, EveryBadSampleFailsForItsOwnReasonNamingTheFile)
{
    // What follows "<path>: " in each file's message: the place and the fault the file is about. A
    // syntax error's column is left open: it depends on how far the JSON parser read.
    struct Reason {
        std::string start;
        std::string then;
    };
    const std::map<std::string, Reason> expected = {
        {"syntax.json", {"line 6, column ", ": not valid JSON: syntax error"}},
        {"unknown-field.json", {"at /pipelines/0/components/0/flytext: unexpected field", ""}},
        {"missing-material.json", {"at /pipelines/0/components/1: expected the field \"material\"", ""}},
        {"unknown-group-member.json",
         {"at /pipelines/1/spools/0/components/1: expected the id of a component of this pipeline, found \"1001-01\"", ""}},
    };
    std::set<std::string> seen;
    for (const fs::path& file : JsonFilesIn(kSamples / "edge" / "bad")) {
        const std::string name = file.filename().string();
        seen.insert(name);
        try {
            ReadDocumentFile(file);
            ADD_FAILURE() << name << " was read";
        } catch (const ReadError& error) {
            const std::string message = error.what();
            const std::string prefix = Narrow(file.wstring()) + ": ";
            ASSERT_TRUE(message.starts_with(prefix)) << message;
            auto reason = expected.find(name);
            if (reason == expected.end()) {
                ADD_FAILURE() << name << " has no expected reason here: " << message;
            } else {
                const std::string rest = message.substr(prefix.size());
                EXPECT_TRUE(rest.starts_with(reason->second.start)) << name << ": " << message;
                EXPECT_NE(rest.find(reason->second.then), std::string::npos) << name << ": " << message;
            }
        }
    }
    for (const auto& [name, reason] : expected)
        EXPECT_TRUE(seen.count(name)) << name << " is missing";
}

TEST(SampleFiles, EdgeFilesHoldTheCasesTheirNamesPromise)
{
    EXPECT_TRUE(ReadDocumentFile(kSamples / "edge" / "empty-file.json").pipelines.empty());

    const Document noMaterial = ReadDocumentFile(kSamples / "edge" / "no-material.json");
    ASSERT_FALSE(noMaterial.pipelines.empty());
    for (const auto& component : noMaterial.pipelines[0]->components)
        EXPECT_EQ(component->material, nullptr) << Narrow(component->id);

    // A character outside the basic plane (U+1D513) in a pipeline name and in a component id.
    const Document unicode = ReadDocumentFile(kSamples / "edge" / "unicode-names.json");
    const std::string outside = "\xF0\x9D\x94\x93";
    bool inName = false;
    bool inId = false;
    for (const auto& pipeline : unicode.pipelines) {
        inName = inName || Narrow(pipeline->name).find(outside) != std::string::npos;
        for (const auto& component : pipeline->components)
            inId = inId || Narrow(component->id).find(outside) != std::string::npos;
    }
    EXPECT_TRUE(inName);
    EXPECT_TRUE(inId);
}

// samples/plant.json, read once.
class Plant : public testing::Test {
protected:
    static void SetUpTestSuite() { s_plant = new Document(ReadDocumentFile(kSamples / "plant.json")); }
    static void TearDownTestSuite()
    {
        delete s_plant;
        s_plant = nullptr;
    }

    static std::vector<const Component*> Components()
    {
        std::vector<const Component*> all;
        for (const auto& pipeline : s_plant->pipelines)
            for (const auto& component : pipeline->components)
                all.push_back(component.get());
        return all;
    }

    static Document* s_plant;
};

Document* Plant::s_plant = nullptr;

const std::set<Text> kMaterialGroups = {L"Pipe",        L"Fittings",      L"Flanges",  L"Gaskets", L"Valves",
                                        L"Instruments", L"Miscellaneous", L"Supports", L"Bolts",   L"Welds"};

TEST_F(Plant, HasEveryMaterialGroupAndTapAndReferenceDimensionOutsideThem)
{
    std::set<Text> groups;
    std::set<Text> otherTypes;
    for (const Component* component : Components()) {
        if (!component->material)
            continue;
        groups.insert(component->material->group);
        if (!kMaterialGroups.count(component->material->group))
            otherTypes.insert(component->material->componentType);
    }
    for (const Text& group : kMaterialGroups)
        EXPECT_TRUE(groups.count(group)) << Narrow(group);
    EXPECT_TRUE(otherTypes.count(L"Tap"));
    EXPECT_TRUE(otherTypes.count(L"Reference-Dimension"));
}

TEST_F(Plant, NamesEveryTypeGroupAndEndTypeItUses)
{
    const TypeDictionary& types = s_plant->types;
    for (const Component* component : Components()) {
        if (component->material) {
            const Material& material = *component->material;
            auto type = types.componentTypes.find(material.componentType);
            EXPECT_TRUE(type != types.componentTypes.end() && type->second.count(L"DisplayName"))
                << Narrow(material.componentType);
            auto group = types.groups.find(material.group);
            EXPECT_TRUE(group != types.groups.end() && group->second.count(L"DisplayName")) << Narrow(material.group);
        }
        if (component->keypoints) {
            for (const auto& keypoint : *component->keypoints) {
                if (!keypoint->endType.empty()) {
                    EXPECT_TRUE(types.endTypes.count(keypoint->endType)) << Narrow(keypoint->endType);
                }
            }
        }
    }
}

TEST_F(Plant, MarksSomeComponentsBrokenOnlyByTheExactStatus)
{
    int broken = 0;
    int otherCase = 0;
    for (const Component* component : Components()) {
        const Text* status = TextValue(ListOf(component->attributes), L"IMPORT-STATUS");
        if (status && *status == L"BROKEN")
            ++broken;
        else if (status && *status == L"broken")
            ++otherCase;
    }
    EXPECT_GE(broken, 2);
    EXPECT_GE(otherCase, 1) << "a status that differs only in case, which is not broken";
}

TEST_F(Plant, HasComponentsWithoutMaterialOrKeypoints)
{
    const auto all = Components();
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [](const Component* c) { return !c->material; }));
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [](const Component* c) { return !c->keypoints; }));
}

TEST_F(Plant, SpoolSummariesMatchSpoolsBySequenceNumber)
{
    int summaries = 0;
    int withoutIdentifier = 0;
    int spoolsWithoutSummary = 0;
    for (const auto& pipeline : s_plant->pipelines) {
        std::set<Text> spoolNames;
        for (const auto& spool : pipeline->spools)
            spoolNames.insert(spool->name);
        std::set<Text> summarised;
        ASSERT_TRUE(pipeline->informationItems);
        for (const auto& item : *pipeline->informationItems) {
            if (item->name != L"Spool-Summary")
                continue;
            ++summaries;
            const AttributeList* attributes = ListOf(item->attributes);
            const Text* sequence = TextValue(attributes, L"SEQUENCE-NUMBER");
            ASSERT_NE(sequence, nullptr) << "a Spool-Summary of " << Narrow(pipeline->name) << " has no SEQUENCE-NUMBER text";
            EXPECT_TRUE(spoolNames.count(*sequence)) << Narrow(*sequence) << " names no spool of " << Narrow(pipeline->name);
            summarised.insert(*sequence);
            if (!attributes->Find(L"IDENTIFIER"))
                ++withoutIdentifier;
            auto master = item->points.find(L"Master");
            EXPECT_TRUE(master != item->points.end() && !master->second.empty())
                << Narrow(*sequence) << " has no Master point";
        }
        for (const Text& name : spoolNames)
            spoolsWithoutSummary += summarised.count(name) ? 0 : 1;
    }
    EXPECT_GE(summaries, 3);
    EXPECT_GE(withoutIdentifier, 1);
    EXPECT_GE(spoolsWithoutSummary, 1) << "erection items: a spool group that no summary names";
}

TEST_F(Plant, WritesLengthsAndWeightsInMixedUnits)
{
    std::set<std::pair<Text, Text>> seen; // (name, units) of text values that hold a number
    bool nonNumeric = false;
    for (const Component* component : Components()) {
        if (!component->attributes)
            continue;
        for (const auto& attribute : component->attributes->items) {
            const Text* text = std::get_if<Text>(&attribute->value);
            if (!text || (attribute->name != L"LENGTH" && attribute->name != L"WEIGHT"))
                continue;
            if (!text->empty() && (std::iswdigit(text->front()) != 0))
                seen.insert({attribute->name, attribute->units});
            else
                nonNumeric = true;
        }
    }
    for (const wchar_t* units : {L"mm", L"m", L"ft"})
        EXPECT_TRUE(seen.count({L"LENGTH", units})) << "LENGTH in " << Narrow(units);
    for (const wchar_t* units : {L"kg", L"lb"})
        EXPECT_TRUE(seen.count({L"WEIGHT", units})) << "WEIGHT in " << Narrow(units);
    EXPECT_TRUE(nonNumeric) << "a length or weight whose text is not a number";
}

} // namespace
