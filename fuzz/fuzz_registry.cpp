// Fuzzes the registry file reader: the input is a .reg file (REGEDIT4,
// regedit 5 in UTF-16, or Wine's system.reg), read from a scratch file
// through the program's one reading routine, then asked for the keys a
// project's library entries look up.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzSupport.h"
#include "reader/modRegistry.h"
#include "support/Diagnostics.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarnwick;
    fuzz::clearScratch();
    fuzz::writeScratchFile("system.reg", data, size);
    CollectingSink sink;
    const RegistrySource registry =
        RegistrySource::fromFiles({fuzz::scratchFolder() + "system.reg"}, &sink);
    static const char* const kKeys[] = {
        "TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0",
        "TypeLib\\{00020430-0000-0000-C000-000000000046}\\2.0\\0\\win32", "TypeLib", ""};
    for (const char* key : kKeys) {
        for (const char* value : {"", "Name", "LONG"}) {
            const std::string text =
                modRegistry::GetRegistryValue(registry, RegistryRoot::ClassesRoot, key, value);
            (void)registry.value(RegistryRoot::LocalMachine, key, value);
            (void)registry.value(RegistryRoot::CurrentUser, key, value);
            if (text.empty() && registry.value(RegistryRoot::ClassesRoot, key, value) &&
                !registry.value(RegistryRoot::ClassesRoot, key, value)->empty())
                std::abort();  // a value that is there is delivered or refused, never lost
        }
    }
    return 0;
}
