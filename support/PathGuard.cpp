#include "support/PathGuard.h"

#include <system_error>

namespace tarnwick {

namespace fs = std::filesystem;

bool lexicallyInside(const fs::path& path, const fs::path& folder) {
    const fs::path relative = path.lexically_normal().lexically_relative(folder.lexically_normal());
    return !relative.empty() && *relative.begin() != "..";
}

bool resolvesInside(const fs::path& path, const fs::path& folder) {
    std::error_code ec;
    const fs::path root = fs::canonical(folder, ec);
    if (ec) return false;
    // The chain of links at the end is followed by hand: weakly_canonical
    // would take a dangling link there as a plain name.
    fs::path p = path;
    for (int hops = 0; fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
        if (hops == 40) return false;  // a loop of links
        const fs::path target = fs::read_symlink(p, ec);
        if (ec) return false;
        p = target.is_absolute() ? target : p.parent_path() / target;
    }
    const fs::path real = fs::weakly_canonical(p, ec);
    return !ec && lexicallyInside(real, root);
}

}  // namespace tarnwick
