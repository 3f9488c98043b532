#include "support/ProgramFolder.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include "support/File.h"
#include "support/Text.h"

namespace tarnwick {

namespace fs = std::filesystem;

std::string programFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return "./";
    return withTrailingSlash(exe.parent_path().string());
}

namespace {

bool existsAsWritten(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

// The entry of folder whose name equals name ignoring case; the ordinally
// first one when several do. Empty when none does.
std::string matchInFolder(const std::string& folder, std::string_view name) {
    std::string best;
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder.empty() ? "." : folder,
                                          fs::directory_options::skip_permission_denied, ec);
         !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (equalsIgnoreCase(entry, name) && (best.empty() || entry < best)) best = entry;
    }
    return best;
}

}  // namespace

std::string findPathIgnoringCase(const std::string& path) {
    if (path.empty() || existsAsWritten(path)) return path;
    // Rebuild the path component by component; a component that exists as
    // written is taken without listing its folder.
    std::string resolved;
    size_t pos = 0;
    if (path.front() == '/') {
        resolved = "/";
        pos = 1;
    }
    while (pos <= path.size()) {
        size_t next = path.find('/', pos);
        if (next == std::string::npos) next = path.size();
        const std::string_view component(path.data() + pos, next - pos);
        const bool last = next == path.size();
        if (!component.empty()) {
            const std::string candidate = resolved + std::string(component);
            if (component == "." || component == ".." || existsAsWritten(candidate)) {
                resolved = candidate;
            } else {
                const std::string found = matchInFolder(resolved, component);
                if (found.empty()) return path;
                resolved += found;
            }
        }
        if (!last) resolved += '/';
        pos = next + 1;
    }
    return resolved;
}

}  // namespace tarnwick
