// Feeds arbitrary bytes to the RUV file reader: it must read them or throw ReadError, and never
// crash, hang or trip a sanitizer.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    try {
        ruvmodel::Document document =
            ruvmodel::ReadDocumentText(std::string_view(reinterpret_cast<const char*>(data), size), L"fuzz.json");
        (void)document;
    } catch (const ruvmodel::ReadError&) {
    }
    return 0;
}
