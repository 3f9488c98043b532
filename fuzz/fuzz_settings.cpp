// Fuzzes the settings-file reader (the profile file behind the translation
// file and the workbench settings): the input is the file's bytes, read
// from a scratch file through the program's one reading routine, then every
// section and a few keys are looked up.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "model/Translation.h"
#include "support/ProfileFile.h"
#include "support/Text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarnwick;
    fuzz::clearScratch();
    fuzz::writeScratchFile("settings.ini", data, size);
    const std::string path = fuzz::scratchFolder() + "settings.ini";
    auto profile = ProfileFile::load(path);
    if (!profile) std::abort();  // a regular file of any content is read
    for (const std::string& section : profile->sections()) {
        if (!profile->hasSection(section)) std::abort();
        (void)profile->value(section, "Overview");
        (void)profile->value(section, "");
    }
    // The translation's lookups never give more than their limit.
    const Translation translation = Translation::load(path);
    for (const char* key : {"Overview", "Code", "Classes"}) {
        const std::string text = translation.lookup("Deutsch", key, "default");
        size_t characters = 0;
        for (size_t pos = 0; pos < text.size(); ++characters) {
            size_t length = 1;
            decodeUtf8(text, pos, length);
            pos += length;
        }
        if (characters > Translation::kMaxChars) std::abort();
    }
    return 0;
}
