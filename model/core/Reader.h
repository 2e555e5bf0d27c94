// Reads an RUV file (a JSON document, see docs/ruv-file-format.md) into a Document. A file is
// read whole or not at all: any fault throws ReadError, whose message names the file, the line
// and column (syntax) or the JSON path (content), and what was expected.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "Document.h"

namespace ruvmodel {

class ReadError : public std::runtime_error {
public:
    enum CauseKind { kCannotOpen, kBadContent };
    explicit ReadError(const std::string& message, CauseKind cause = kBadContent)
        : std::runtime_error(message), m_cause(cause)
    {
    }
    CauseKind Cause() const { return m_cause; }

private:
    CauseKind m_cause;
};

// fileName is used in messages and becomes the document's path.
Document ReadDocumentText(std::string_view text, const Text& fileName);
Document ReadDocumentFile(const std::filesystem::path& path);

// UTF-8 to wide text (UTF-16 where wchar_t has 16 bits) and back; the input must be valid.
Text Widen(std::string_view utf8);
std::string Narrow(const Text& text);

} // namespace ruvmodel
