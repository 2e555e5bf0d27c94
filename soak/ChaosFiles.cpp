#include "ChaosFiles.h"

#include <vector>

namespace chaos {

namespace {

const char* const kGoodSamples[] = {"plant.json", "edge/no-material.json", "edge/unicode-names.json",
                                    "edge/empty-file.json"};

// A pipeline route of count components, most without material (one row each) so that a large
// file stays quick to show under Wine.
std::string Generated(Step& step)
{
    const uint32_t components = 100 + step.Below(1400), pipelines = 1 + step.Below(4);
    std::string text = R"({"version": 1, "pipelines": [)";
    for (uint32_t p = 0; p < pipelines; ++p) {
        text += (p ? ",\n" : "") + std::string(R"({"name": "G-)") + std::to_string(p) + R"(", "components": [)";
        for (uint32_t c = p; c < components; c += pipelines) {
            text += (c >= pipelines ? "," : "") + std::string(R"({"id": "C)") + std::to_string(c) + R"(", "material": )";
            text += step.Chance(90) ? "null" : R"({"itemCode": "X", "group": "Valves", "componentType": "VGAT"})";
            if (step.Chance(5))
                text += R"(, "attributes": [{"name": "IMPORT-STATUS", "value": "BROKEN"}])";
            text += "}";
        }
        text += "]}";
    }
    return text + "]}";
}

// Where the strings (their contents) and the numbers of a JSON text lie.
std::vector<std::pair<size_t, size_t>> Tokens(const std::string& text, bool strings)
{
    std::vector<std::pair<size_t, size_t>> spans;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '"') {
            const size_t end = text.find('"', i + 1);
            if (end == std::string::npos)
                break;
            if (strings)
                spans.emplace_back(i + 1, end - i - 1);
            i = end;
        } else if (!strings && (isdigit(static_cast<unsigned char>(text[i])) || text[i] == '-')) {
            const size_t end = text.find_first_not_of("0123456789.eE+-", i);
            spans.emplace_back(i, end - i);
            i = end;
        }
    }
    return spans;
}

std::string Mutated(Step& step, std::string text)
{
    auto pick = [&](bool strings) {
        const auto spans = Tokens(text, strings);
        return spans[step.Below(spans.size())];
    };
    switch (step.Below(8)) {
    case 0: // truncated
        text.resize(step.Below(text.size()));
        break;
    case 1: { // a huge or odd number
        static const char* const numbers[] = {"1e308", "-1e308", "1e999", "123456789012345678901234567890", "-0",
                                              "4294967297", "0.000000000000000000001"};
        const auto [at, size] = pick(false);
        text.replace(at, size, numbers[step.Below(std::size(numbers))]);
        break;
    }
    case 2: { // a very long name or text
        const auto [at, size] = pick(true);
        text.replace(at, size, std::string(1000 + step.Below(100000), step.Chance(50) ? 'W' : '7'));
        break;
    }
    case 3: { // invalid UTF-8 inside a string
        static const char* const bytes[] = {"\xC3\x28", "\xFF", "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80"};
        const auto [at, size] = pick(true);
        text.insert(at + step.Below(size + 1), bytes[step.Below(std::size(bytes))]);
        break;
    }
    case 4: { // a value of the wrong type
        static const char* const values[] = {"42", "true", "null", "{}", "[]", "\"text\"", "[1, [2]]"};
        const auto [at, size] = pick(step.Chance(50));
        const bool quoted = at > 0 && text[at - 1] == '"';
        text.replace(quoted ? at - 1 : at, quoted ? size + 2 : size, values[step.Below(std::size(values))]);
        break;
    }
    case 5: { // a reference to nothing: an id or name changed
        const auto [at, size] = pick(true);
        text.replace(at, size, "missing-" + std::to_string(step.Below(1000)));
        break;
    }
    case 6: { // deep nesting in place of a value (not deeper: Wine's heap checks make each allocation cost more)
        const uint32_t depth = 100 + step.Below(5000);
        const auto [at, size] = pick(false);
        text.replace(at, size, std::string(depth, '[') + std::string(step.Chance(80) ? depth : depth / 2, ']'));
        break;
    }
    default: // bytes flipped
        for (uint32_t n = 1 + step.Below(4); n > 0 && !text.empty(); --n)
            text[step.Below(text.size())] = static_cast<char>(step.Below(256));
        break;
    }
    return text;
}

} // namespace

ChaosFile MakeChaosFile(Step& step, const std::string& plantText)
{
    ChaosFile file;
    const uint32_t roll = step.Below(100);
    if (roll < 40)
        file.sample = kGoodSamples[step.Below(std::size(kGoodSamples))];
    else if (roll < 55)
        file = {FileKind::Generated, {}, Generated(step)};
    else
        file = {FileKind::Broken, {}, Mutated(step, plantText)};
    return file;
}

} // namespace chaos
