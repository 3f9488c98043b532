// Fuzzes the module file reader on a buffer: the input's first byte picks
// the module kind, the rest is the file's bytes, decoded as windows-1252.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "reader/CParser.h"
#include "support/CodePage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarnwick;
    if (size == 0) return 0;
    const int kind = data[0] % 5 + 1;
    static const CodePage codePage;
    const std::string text =
        codePage.toUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
    CollectingSink sink;
    CParser parser;
    parser.setDiagnostics(&sink);
    auto module = parser.readModuleText(text, kind, "fuzz.cls");
    (void)module;
    return 0;
}
