#include "support/InputFiles.h"

#include <sys/stat.h>

namespace tarnwick {

namespace {

bool identity(const std::string& path, std::pair<uint64_t, uint64_t>& id) {
    struct stat info {};
    // Links are followed: a write through a link lands on what it points to.
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return false;
    id = {static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino)};
    return true;
}

}  // namespace

void InputFiles::add(const std::string& path) {
    std::pair<uint64_t, uint64_t> id;
    if (identity(path, id)) m_files.try_emplace(id, path);
}

const std::string* InputFiles::overwrittenBy(const std::string& path) const {
    std::pair<uint64_t, uint64_t> id;
    if (m_files.empty() || !identity(path, id)) return nullptr;
    const auto found = m_files.find(id);
    return found == m_files.end() ? nullptr : &found->second;
}

}  // namespace tarnwick
