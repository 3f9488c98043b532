#include "fuzz/FuzzSupport.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tarnwick::fuzz {

namespace fs = std::filesystem;

const std::string& scratchFolder() {
    // Never destroyed, so the exit handler below can still use it.
    static const std::string& folder = *new std::string([] {
        fs::path p = fs::temp_directory_path() / ("tarnwick-fuzz-" + std::to_string(::getpid()));
        fs::create_directories(p);
        // Gone again when the fuzzer ends normally (a crash leaves it for a look).
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(scratchFolder(), ec);
        });
        return p.string() + "/";
    }());
    return folder;
}

void clearScratch() {
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(scratchFolder(), ec))
        fs::remove_all(entry.path(), ec);  // symlinks are removed, not followed
}

void writeScratchFile(const std::string& name, const uint8_t* data, size_t size) {
    std::error_code ec;
    fs::create_directories(fs::path(scratchFolder() + name).parent_path(), ec);
    std::ofstream out(scratchFolder() + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

}  // namespace tarnwick::fuzz
