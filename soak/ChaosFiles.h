// The files a chaos run opens: the samples as they are, large files generated from the step, and
// the sample plant's text mutated into something broken (truncated, wrong types, missing
// references, invalid UTF-8, deep nesting, huge numbers and names). Broken files are meant to be
// refused by the object model or shown as whatever it makes of them, never to crash anything.
#pragma once

#include <string>

#include "ChaosSteps.h"

namespace chaos {

enum class FileKind { Good, Generated, Broken };

struct ChaosFile {
    FileKind kind = FileKind::Good;
    std::string sample; // a file of samples/, opened as it is, when text is empty
    std::string text;
};

ChaosFile MakeChaosFile(Step& step, const std::string& plantText);

} // namespace chaos
