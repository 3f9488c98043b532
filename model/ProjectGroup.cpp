#include "model/ProjectGroup.h"

#include <algorithm>
#include <filesystem>
#include <set>

#include "support/Text.h"

namespace tarnwick {

namespace {

std::string canonicalOf(const std::string& path) {
    std::error_code ec;
    std::string canonical = std::filesystem::weakly_canonical(path, ec).string();
    return ec ? path : canonical;
}

}  // namespace

const GroupProject* ProjectGroup::find(const std::string& path) const {
    const std::string wanted = canonicalOf(path);
    for (const GroupProject& project : projects)
        if (canonicalOf(project.path) == wanted) return &project;
    return nullptr;
}

std::vector<const GroupProject*> ProjectGroup::referencedBy(const GroupProject& project) const {
    std::vector<const GroupProject*> found;
    for (const GroupProject::ProjectReference& reference : project.projectReferences) {
        const GroupProject* other = find(reference.path);
        if (other && other != &project &&
            std::find(found.begin(), found.end(), other) == found.end())
            found.push_back(other);
    }
    return found;
}

void ProjectGroup::assignFolders() {
    // Lower case: a site copied to Windows keeps them apart. The group's own
    // resource and navigation folders are taken from the start.
    std::set<std::string> taken{"src", "nav"};
    for (GroupProject& project : projects) {
        const std::string stem = safeFileName(project.name.empty() ? "Project" : project.name);
        std::string folder = stem;
        for (int n = 2; !taken.insert(toLower(folder)).second; ++n)
            folder = stem + "_" + std::to_string(n);
        project.folder = folder;
    }
}

std::string projectTypeWords(const std::string& type) {
    static const struct {
        const char* type;
        const char* words;
    } kTypes[] = {{"Exe", "Standard EXE"},
                  {"OleDll", "ActiveX DLL"},
                  {"Control", "ActiveX Control"},
                  {"OleExe", "ActiveX EXE"}};
    for (const auto& t : kTypes)
        if (equalsIgnoreCase(type, t.type)) return t.words;
    return type;
}

}  // namespace tarnwick
