#include "Options.h"

namespace {

// The value of "/name:value" when argument is that option.
bool OptionValue(const std::wstring& argument, const wchar_t* name, std::wstring& value)
{
    const std::wstring prefix = std::wstring(L"/") + name + L":";
    if (argument.compare(0, prefix.size(), prefix) != 0)
        return false;
    value = argument.substr(prefix.size());
    return true;
}

std::vector<std::wstring> Split(const std::wstring& text)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(L',', start);
        const std::wstring part = text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
        if (!part.empty())
            parts.push_back(part);
        if (comma == std::wstring::npos)
            break;
        start = comma + 1;
    }
    return parts;
}

} // namespace

ViewerOptions ParseOptions(const std::vector<std::wstring>& arguments)
{
    ViewerOptions options;
    for (const std::wstring& argument : arguments) {
        std::wstring value;
        if (argument == L"/exit") {
            options.exit = true;
        } else if (OptionValue(argument, L"expand", value)) {
            try {
                options.expandLevels = std::stoi(value);
            } catch (...) {
                options.files.push_back(argument); // not a number: taken as a file name, which will not open
            }
        } else if (OptionValue(argument, L"select", value)) {
            options.select = Split(value);
        } else if (OptionValue(argument, L"screenshot", value)) {
            options.screenshot = value;
        } else if (OptionValue(argument, L"dump", value)) {
            options.dump = value;
        } else if (OptionValue(argument, L"timing", value)) {
            options.timing = value;
        } else if (OptionValue(argument, L"metrics", value)) {
            options.metrics = value;
        } else {
            options.files.push_back(argument);
        }
    }
    return options;
}
