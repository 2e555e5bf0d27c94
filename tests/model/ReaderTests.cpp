// The RUV file reader: what a good file gives, every sample under samples/, and the message of
// every kind of broken input, which names the file and the place.
#include <filesystem>
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

const char* const kSmallPlant = R"({
  "version": 1.0,
  "attributes": [ {"name": "PROJECT", "label": "Project", "value": "Ørsted Süd"} ],
  "typeDictionary": { "componentTypes": { "ELBO": {"DisplayName": "Elbow"} },
                      "groups": { "Fittings": {"DisplayName": "Fittings and bends"} }, "endTypes": { "BW": "Butt weld" } },
  "pipelines": [ {
    "name": "\ud83d\udd27 P",
    "attributes": [ {"name": "LENGTH", "value": 1200.5, "units": "mm", "visible": false},
                    {"name": "INSULATED", "value": true, "displayable": false},
                    {"name": "NOTE", "value": null} ],
    "informationItems": [ {"name": "Spool-Summary", "points": { "Master": [[1, 2, 3], [4, 5, 6]] } } ],
    "components": [
      { "id": "c1", "flyText": "Bend 1",
        "keypoints": [ {"name": "EP1", "bore": 100, "boreUnits": "mm", "endType": "BW", "position": [0, 0, 0]},
                       {"name": "CP", "internal": true, "position": [10, 0, 0]} ],
        "material": { "itemCode": "E100", "group": "Fittings", "componentType": "ELBO", "weight": 4.25 } },
      { "id": "c2", "keypoints": null, "informationItems": null, "attributes": null, "material": null }
    ],
    "spools": [ {"name": "1", "components": ["c1"]} ],
    "sheets": [1, 2.0]
  } ]
})";

TEST(Reader, ReadsEveryPartOfAFile)
{
    Document document = ReadDocumentText(kSmallPlant, L"small.json");
    EXPECT_EQ(document.path, L"small.json");
    EXPECT_EQ(std::get<Text>(document.attributes->items.at(0)->value), L"\u00D8rsted S\u00FCd");
    EXPECT_EQ(document.types.componentTypes.at(L"ELBO").at(L"DisplayName"), L"Elbow");
    EXPECT_EQ(document.types.endTypes.at(L"BW"), L"Butt weld");

    ASSERT_EQ(document.pipelines.size(), 1u);
    const Pipeline& pipeline = *document.pipelines[0];
    // Outside the basic plane: a surrogate pair where wide characters have sixteen bits.
    EXPECT_EQ(pipeline.name.size(), sizeof(wchar_t) == 2 ? 4u : 3u);
    EXPECT_EQ(Narrow(pipeline.name), "\xF0\x9F\x94\xA7 P");
    const Attribute& length = *pipeline.attributes->Find(L"LENGTH");
    EXPECT_EQ(length.label, L"LENGTH") << "the label defaults to the name";
    EXPECT_EQ(std::get<double>(length.value), 1200.5);
    EXPECT_FALSE(length.visible);
    EXPECT_TRUE(length.displayable);
    EXPECT_TRUE(std::get<bool>(pipeline.attributes->Find(L"INSULATED")->value));
    EXPECT_TRUE(std::holds_alternative<std::monostate>(pipeline.attributes->Find(L"NOTE")->value));
    EXPECT_EQ(pipeline.attributes->Find(L"MISSING"), nullptr);
    EXPECT_EQ(pipeline.informationItems->at(0)->points.at(L"Master").at(1).y, 5.0);

    const Component& c1 = *pipeline.components.at(0);
    EXPECT_EQ(c1.flyText, L"Bend 1");
    EXPECT_EQ(c1.keypoints->at(0)->endType, L"BW");
    EXPECT_TRUE(c1.keypoints->at(1)->internal);
    EXPECT_EQ(c1.material->weight, 4.25);
    EXPECT_TRUE(c1.attributes && c1.attributes->items.empty()) << "absent lists are empty";
    const Component& c2 = *pipeline.components.at(1);
    EXPECT_FALSE(c2.keypoints || c2.informationItems || c2.attributes) << "null lists are absent";
    EXPECT_EQ(c2.material, nullptr);

    ASSERT_EQ(pipeline.allGroups.size(), 1u) << "without groups, one group holds every component";
    EXPECT_EQ(pipeline.allGroups[0]->members.size(), 2u);
    EXPECT_EQ(pipeline.spools.at(0)->members.at(0), pipeline.components.at(0));
    EXPECT_EQ(pipeline.sheets, (std::vector<long>{1, 2})) << "whole numbers may have a zero fraction";
}

// A broken input and the whole message after "<file name>: ". A text is read as "bad.json" after
// the opening {"version": 1, unless it is marked whole; the rows without a text name a file under
// samples/ (the good ones have no message).
struct Broken {
    const char* text;
    const char* error;
    const char* sample = nullptr; // "": the text is whole
};

const char* const kNotALong = "at /pipelines/0/sheets/0: expected a whole number between -2147483648 and 2147483647, found a number";

const Broken kBroken[] = {
    {"", "line 1, column 1: not valid JSON: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal", ""},
    {"\n  \"pipelines\": [ }", "line 2, column 18: not valid JSON: syntax error while parsing value - unexpected '}'; expected '[', '{', or a literal"},
    {"[]", "at /: expected an object, found an array", ""},
    {R"({"pipelines": []})", "at /: expected the field \"version\"", ""},
    {R"({"version": 2, "pipelines": []})", "at /version: expected version 1, found a number", ""},
    {R"({"version": "1", "pipelines": []})", "at /version: expected a whole number, found a string", ""},
    {R"({"version": 1})", "at /: expected the field \"pipelines\"", ""},
    {R"("pipelines": [], "colour": "red"})", "at /colour: unexpected field"},
    {R"("pipelines": [{"name": 7}]})", "at /pipelines/0/name: expected a string, found a number"},
    {R"("pipelines": [{"name": "P", "components": [{"id": "c1"}]}]})", "at /pipelines/0/components/0: expected the field \"material\""},
    {R"("pipelines": [{"name": "P", "components": [{"id": "c1", "material": {"group": "Pipe"}}]}]})",
     "at /pipelines/0/components/0/material: expected the field \"itemCode\""},
    {R"("pipelines": [{"name": "P", "components": [{"id": "c", "material": null}, {"id": "c", "material": null}]}]})",
     "at /pipelines/0/components/1/id: expected an id not used before in this pipeline, found \"c\" again"},
    {R"("pipelines": [{"name": "P", "spools": [{"components": ["nope"]}]}]})",
     "at /pipelines/0/spools/0/components/0: expected the id of a component of this pipeline, found \"nope\""},
    {R"("pipelines": [{"name": "P", "informationItems": [{"name": "I", "points": {"Master": [[1, 2]]}}]}]})",
     "at /pipelines/0/informationItems/0/points/Master/0: expected an array of three numbers [x, y, z], found an array"},
    {R"("attributes": [{"name": "A", "value": [1]}], "pipelines": []})",
     "at /attributes/0/value: expected a string, a number, true, false or null, found an array"},
    {R"("pipelines": [{"name": "P", "attributes": [{"name": "A", "value": 1}, {"name": "A", "value": 2}]}]})",
     "at /pipelines/0/attributes/1/name: expected a name not used before in this list, found \"A\" again"},
    {R"("pipelines": [{"name": "P", "components": [{"id": "a", "material": null}, {"id": "b", "material": null}],
                       "allGroups": [{"components": ["a"]}]}]})",
     "at /pipelines/0/allGroups: expected every component of the pipeline in one of the groups, found 1 of 2"},
    {R"("pipelines": [{"name": "P", "components": [{"id": "a", "material": null}],
                       "spools": [{"components": ["a"]}, {"components": ["a"]}]}]})",
     "at /pipelines/0/spools/1/components/0: expected a component not placed in a group before, found \"a\" again"},
    {R"("typeDictionary": {"endTypes": {"a/b~c": 3}}, "pipelines": []})", "at /typeDictionary/endTypes/a~1b~0c: expected a string, found a number"},
    // Whole numbers out of a long's range, however they are written, and a number out of a double's.
    {R"("pipelines": [{"name": "P", "sheets": [1.5]}]})", kNotALong},
    {R"("pipelines": [{"name": "P", "sheets": [99999999999]}]})", kNotALong},
    {R"("pipelines": [{"name": "P", "sheets": [-1e300]}]})", kNotALong},
    {R"("pipelines": [{"name": "P", "sheets": [18446744073709551615]}]})", kNotALong},
    {R"("pipelines": [], "x": 1e99999})", "not valid JSON: number overflow parsing '1e99999'"},
    // Bad UTF-8.
    {"\"pipelines\": [{\"name\": \"\xC3\x28\"}]}",
     "line 1, column 41: not valid JSON: syntax error while parsing value - invalid string: ill-formed UTF-8 byte; last read: '\"\xC3\x28'"},
    // The samples, and a file that is not there.
    {nullptr, nullptr, "plant.json"},
    {nullptr, nullptr, "edge/empty-file.json"},
    {nullptr, nullptr, "edge/no-material.json"},
    {nullptr, nullptr, "edge/unicode-names.json"},
    {nullptr, "line 6, column 18: not valid JSON: syntax error while parsing object - unexpected string literal; expected '}'",
     "edge/bad/syntax.json"},
    {nullptr, "at /pipelines/0/components/0/flytext: unexpected field", "edge/bad/unknown-field.json"},
    {nullptr, "at /pipelines/0/components/1: expected the field \"material\"", "edge/bad/missing-material.json"},
    {nullptr, "at /pipelines/1/spools/0/components/1: expected the id of a component of this pipeline, found \"1001-01\"",
     "edge/bad/unknown-group-member.json"},
    {nullptr, "cannot open the file", "edge/bad/no-such-file.json"},
};

TEST(Reader, EveryKindOfBrokenInputIsNamedWithItsPlaceAndEverySampleIsListed)
{
    // Nesting far deeper than any file's is refused where it stands, without exhausting the stack.
    const std::string deep = R"("pipelines": [], "attributes": [{"name": "A", "value": )" + std::string(100000, '[') +
                             std::string(100000, ']') + "}]}";
    std::vector<Broken> cases(std::begin(kBroken), std::end(kBroken));
    cases.push_back({deep.c_str(), "at /attributes/0/value: expected a string, a number, true, false or null, found an array"});

    std::set<fs::path> listed;
    for (const Broken& c : cases) {
        const fs::path path = c.text ? fs::path("bad.json") : kSamples / c.sample;
        const std::string text = c.text ? (c.sample ? "" : "{\"version\": 1, ") + std::string(c.text) : "";
        listed.insert(path);
        try {
            c.text ? ReadDocumentText(text, L"bad.json") : ReadDocumentFile(path);
            EXPECT_FALSE(c.error) << "read " << (c.text ? text : c.sample);
        } catch (const ReadError& error) {
            EXPECT_EQ(std::string(error.what()), Narrow(path.wstring()) + ": " + (c.error ? c.error : "(no error)"));
        }
    }
    // The parser would stop at a NUL byte and take the rest for the end of the input.
    const std::string afterTheEnd = std::string(R"({"version": 1, "pipelines": []})") + '\0' + "garbage";
    try {
        ReadDocumentText(afterTheEnd, L"bad.json");
        ADD_FAILURE() << "read a file with a NUL byte after its end";
    } catch (const ReadError& error) {
        EXPECT_STREQ(error.what(), "bad.json: line 1, column 32: not valid JSON: a NUL byte");
    }
    for (const auto& entry : fs::recursive_directory_iterator(kSamples)) {
        if (entry.path().extension() == ".json") {
            EXPECT_TRUE(listed.count(entry.path())) << entry.path() << " is not listed here";
        }
    }
}

// Reader messages quote the bytes of a file as they are; widened, a broken sequence becomes one
// U+FFFD and the byte that broke it is read on its own.
TEST(Reader, IllFormedUtf8WidensToOneReplacementPerBrokenSequence)
{
    const std::pair<const char*, const wchar_t*> rows[] = {
        {"a\xC3\xA9z", L"a\u00E9z"},
        {"\xF0\x9F\x98\x80", L"\U0001F600"},
        {"'\xC3\x28'", L"'\uFFFD('"},
        {"'\xE2\x82'", L"'\uFFFD'"},
        {"'\xF0'", L"'\uFFFD'"},
        {"\xE2\x82", L"\uFFFD"},
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                   // overlong
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},         // a surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
    };
    for (const auto& [utf8, wide] : rows)
        EXPECT_EQ(Widen(utf8), wide) << utf8;
}

} // namespace
