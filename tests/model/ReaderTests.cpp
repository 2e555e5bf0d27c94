// The RUV file reader: what a good file gives, and the message of every kind of bad input.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "Reader.h"

using namespace ruvmodel;

namespace {

const char* const kSmallPlant = R"({
  "version": 1,
  "attributes": [ {"name": "PROJECT", "label": "Project", "value": "Ørsted Süd"} ],
  "typeDictionary": {
    "componentTypes": { "ELBO": {"DisplayName": "Elbow"} },
    "groups": { "Fittings": {"DisplayName": "Fittings and bends"} },
    "endTypes": { "BW": "Butt weld" }
  },
  "pipelines": [ {
    "name": "P-101",
    "attributes": [ {"name": "LENGTH", "value": 1200.5, "units": "mm", "visible": false},
                    {"name": "INSULATED", "value": true, "displayable": false},
                    {"name": "NOTE", "value": null} ],
    "informationItems": [ {"name": "Spool-Summary",
                           "attributes": [ {"name": "SEQUENCE-NUMBER", "value": "1"} ],
                           "points": { "Master": [[1, 2, 3], [4, 5, 6]] } } ],
    "components": [
      { "id": "c1", "flyText": "Bend 1",
        "keypoints": [ {"name": "EP1", "bore": 100, "boreUnits": "mm", "endType": "BW", "position": [0, 0, 0]},
                       {"name": "CP", "internal": true, "position": [10, 0, 0]} ],
        "material": { "itemCode": "E100", "group": "Fittings", "componentType": "ELBO", "weight": 4.25 } },
      { "id": "c2", "keypoints": null, "informationItems": null, "attributes": null, "material": null }
    ],
    "spools": [ {"name": "1", "components": ["c1"]} ],
    "sheets": [1, 2]
  } ]
})";

TEST(Reader, ReadsEveryPartOfAFile)
{
    Document document = ReadDocumentText(kSmallPlant, L"small.json");
    EXPECT_EQ(document.path, L"small.json");
    ASSERT_TRUE(document.attributes);
    EXPECT_EQ(std::get<Text>(document.attributes->items.at(0)->value), L"\u00D8rsted S\u00FCd");
    EXPECT_EQ(document.types.componentTypes.at(L"ELBO").at(L"DisplayName"), L"Elbow");
    EXPECT_EQ(document.types.endTypes.at(L"BW"), L"Butt weld");

    ASSERT_EQ(document.pipelines.size(), 1u);
    const Pipeline& pipeline = *document.pipelines[0];
    EXPECT_EQ(pipeline.name, L"P-101");
    const Attribute& length = *pipeline.attributes->Find(L"LENGTH");
    EXPECT_EQ(length.label, L"LENGTH") << "the label defaults to the name";
    EXPECT_EQ(std::get<double>(length.value), 1200.5);
    EXPECT_FALSE(length.visible);
    EXPECT_TRUE(length.displayable);
    EXPECT_TRUE(std::get<bool>(pipeline.attributes->Find(L"INSULATED")->value));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(pipeline.attributes->Find(L"NOTE")->value));
    EXPECT_EQ(pipeline.attributes->Find(L"MISSING"), nullptr);

    const InformationItem& summary = *pipeline.informationItems->at(0);
    EXPECT_EQ(summary.points.at(L"Master").at(1).y, 5.0);

    const Component& c1 = *pipeline.components.at(0);
    EXPECT_EQ(c1.flyText, L"Bend 1");
    ASSERT_TRUE(c1.keypoints);
    EXPECT_EQ(c1.keypoints->at(0)->endType, L"BW");
    EXPECT_TRUE(c1.keypoints->at(1)->internal);
    EXPECT_EQ(c1.material->weight, 4.25);
    EXPECT_TRUE(c1.attributes && c1.attributes->items.empty()) << "absent lists are empty";

    const Component& c2 = *pipeline.components.at(1);
    EXPECT_FALSE(c2.keypoints) << "null lists are absent";
    EXPECT_FALSE(c2.informationItems);
    EXPECT_FALSE(c2.attributes);
    EXPECT_EQ(c2.material, nullptr);

    ASSERT_EQ(pipeline.allGroups.size(), 1u) << "without groups, one group holds every component";
    EXPECT_EQ(pipeline.allGroups[0]->members.size(), 2u);
    ASSERT_EQ(pipeline.spools.size(), 1u);
    EXPECT_EQ(pipeline.spools[0]->members.at(0), pipeline.components.at(0));
    EXPECT_EQ(pipeline.sheets, (std::vector<long>{1, 2}));
}

TEST(Reader, WholeNumbersMayBeWrittenWithAZeroFraction)
{
    Document document = ReadDocumentText(R"({"version": 1.0, "pipelines": [{"name": "P", "sheets": [2.0]}]})", L"f.json");
    EXPECT_EQ(document.pipelines.at(0)->sheets, (std::vector<long>{2}));
}

TEST(Reader, TextsOutsideTheBasicPlaneBecomeSurrogatePairsWhereWideCharactersHaveSixteenBits)
{
    Document document = ReadDocumentText(R"({"version": 1, "pipelines": [{"name": "\ud83d\udd27 P"}]})", L"f.json");
    const Text& name = document.pipelines.at(0)->name;
    EXPECT_EQ(name.size(), sizeof(wchar_t) == 2 ? 4u : 3u);
    EXPECT_EQ(Narrow(name), "\xF0\x9F\x94\xA7 P");
}

struct BadInput {
    const char* text;
    const char* message; // the whole message after "bad.json: "
};

const BadInput kBadInputs[] = {
    {"", "line 1, column 1: not valid JSON: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal"},
    {"{\n  \"version\": 1,\n  \"pipelines\": [ }", "line 3, column 18: not valid JSON: syntax error while parsing value - unexpected '}'; expected '[', '{', or a literal"},
    {"[]", "at /: expected an object, found an array"},
    {R"({"pipelines": []})", "at /: expected the field \"version\""},
    {R"({"version": 2, "pipelines": []})", "at /version: expected version 1, found a number"},
    {R"({"version": "1", "pipelines": []})", "at /version: expected a whole number, found a string"},
    {R"({"version": 1})", "at /: expected the field \"pipelines\""},
    {R"({"version": 1, "pipelines": [], "colour": "red"})", "at /colour: unexpected field"},
    {R"({"version": 1, "pipelines": [{"name": 7}]})", "at /pipelines/0/name: expected a string, found a number"},
    {R"({"version": 1, "pipelines": [{"name": "P", "components": [{"id": "c1"}]}]})",
     "at /pipelines/0/components/0: expected the field \"material\""},
    {R"({"version": 1, "pipelines": [{"name": "P", "components": [{"id": "c1", "material": {"group": "Pipe"}}]}]})",
     "at /pipelines/0/components/0/material: expected the field \"itemCode\""},
    {R"({"version": 1, "pipelines": [{"name": "P", "components": [{"id": "c", "material": null}, {"id": "c", "material": null}]}]})",
     "at /pipelines/0/components/1/id: expected an id not used before in this pipeline, found \"c\" again"},
    {R"({"version": 1, "pipelines": [{"name": "P", "spools": [{"components": ["nope"]}]}]})",
     "at /pipelines/0/spools/0/components/0: expected the id of a component of this pipeline, found \"nope\""},
    {R"({"version": 1, "pipelines": [{"name": "P", "informationItems": [{"name": "I", "points": {"Master": [[1, 2]]}}]}]})",
     "at /pipelines/0/informationItems/0/points/Master/0: expected an array of three numbers [x, y, z], found an array"},
    {R"({"version": 1, "attributes": [{"name": "A", "value": [1]}], "pipelines": []})",
     "at /attributes/0/value: expected a string, a number, true, false or null, found an array"},
    {R"({"version": 1, "pipelines": [{"name": "P", "sheets": [1.5]}]})",
     "at /pipelines/0/sheets/0: expected a whole number between -2147483648 and 2147483647, found a number"},
    {R"({"version": 1, "pipelines": [{"name": "P", "attributes": [{"name": "A", "value": 1}, {"name": "A", "value": 2}]}]})",
     "at /pipelines/0/attributes/1/name: expected a name not used before in this list, found \"A\" again"},
    {R"({"version": 1, "pipelines": [{"name": "P", "components": [{"id": "a", "material": null}, {"id": "b", "material": null}],
                                      "allGroups": [{"components": ["a"]}]}]})",
     "at /pipelines/0/allGroups: expected every component of the pipeline in one of the groups, found 1 of 2"},
    {R"({"version": 1, "pipelines": [{"name": "P", "components": [{"id": "a", "material": null}],
                                      "spools": [{"components": ["a"]}, {"components": ["a"]}]}]})",
     "at /pipelines/0/spools/1/components/0: expected a component not placed in a group before, found \"a\" again"},
    {R"({"version": 1, "pipelines": [{"name": "P", "sheets": [99999999999]}]})",
     "at /pipelines/0/sheets/0: expected a whole number between -2147483648 and 2147483647, found a number"},
    {R"({"version": 1, "typeDictionary": {"endTypes": {"a/b~c": 3}}, "pipelines": []})",
     "at /typeDictionary/endTypes/a~1b~0c: expected a string, found a number"},
    {R"({"version": 1, "pipelines": [], "x": 1e99999})", "not valid JSON: number overflow parsing '1e99999'"},
    {"{\"version\": 1, \"pipelines\": [{\"name\": \"\xC3\x28\"}]}",
     "line 1, column 41: not valid JSON: syntax error while parsing value - invalid string: ill-formed UTF-8 byte; last read: '\"\xC3\x28'"},
};

TEST(Reader, EveryKindOfBadInputIsNamedWithItsPlace)
{
    for (const BadInput& bad : kBadInputs) {
        try {
            ReadDocumentText(bad.text, L"bad.json");
            ADD_FAILURE() << "read: " << bad.text;
        } catch (const ReadError& error) {
            EXPECT_EQ(std::string(error.what()), std::string("bad.json: ") + bad.message);
        }
    }
}

TEST(Reader, FilesAreReadFromDisk)
{
    const std::string path = testing::TempDir() + "reader_test.json";
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fputs(R"({"version": 1, "pipelines": [{"name": "P"}]})", file);
        std::fclose(file);
    }
    Document document = ReadDocumentFile(path);
    EXPECT_EQ(document.pipelines.at(0)->name, L"P");
    std::remove(path.c_str());
    try {
        ReadDocumentFile(path);
        ADD_FAILURE() << "read a missing file";
    } catch (const ReadError& error) {
        EXPECT_EQ(std::string(error.what()), path + ": cannot open the file");
    }
}

} // namespace
