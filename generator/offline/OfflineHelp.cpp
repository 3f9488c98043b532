#include "generator/offline/OfflineHelp.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "support/AtomicFile.h"
#include "support/Escape.h"
#include "support/Text.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

// Lower-case letters, digits, '.' and '-': what a help namespace and a
// bundle identifier may hold; runs of anything else become one '-'.
std::string identifierPart(std::string_view text) {
    std::string out;
    for (const char c : toLower(text)) {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.';
        if (keep) {
            out += c;
        } else if (!out.empty() && out.back() != '-') {
            out += '-';
        }
    }
    while (!out.empty() && (out.back() == '-' || out.back() == '.')) out.pop_back();
    while (!out.empty() && (out.front() == '-' || out.front() == '.')) out.erase(0, 1);
    return out;
}

}  // namespace

std::string xmlText(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 || c == '\t') clean += c;
    }
    return attribute(clean).str();
}

namespace {

bool isClassLike(std::string_view kind) {
    return kind == "Class" || kind == "Form" || kind == "PropertyPage" || kind == "UserControl" ||
           kind == "UserDocument" || kind == "Designer";
}

}  // namespace

OfflineIndex offlineIndexOf(const CProject& project, const std::vector<IndexEntry>& entries) {
    OfflineIndex index;
    index.name = project.displayName();
    index.version = project.version();
    index.fileName = fs::path(project.Path()).stem().string();
    index.entries.reserve(entries.size());
    for (const IndexEntry& entry : entries) {
        OfflineEntry out{entry.name, entry.kind, "", "", entry.path, false};
        out.folder = entry.path.substr(0, entry.path.find('/'));
        if (entry.module >= 0) {
            out.module = entries[static_cast<size_t>(entry.module)].kind;
            out.inClass = isClassLike(out.module);
        }
        index.entries.push_back(std::move(out));
    }
    return index;
}

std::string qtHelpNamespace(const OfflineIndex& index) {
    std::string name = identifierPart(index.name);
    if (name.empty()) name = docsetIdentifier(index);
    const std::string version = identifierPart(index.version);
    return "org.tarnwick." + name + (version.empty() ? "" : "." + version);
}

std::string docsetIdentifier(const OfflineIndex& index) {
    for (const std::string_view candidate :
         {std::string_view(index.name), std::string_view(index.fileName)}) {
        std::string id = identifierPart(candidate);
        if (!id.empty()) return id;
    }
    return "vb6-project";
}

std::string docsetType(const OfflineEntry& entry) {
    static const std::map<std::string, std::string, std::less<>> kModules = {
        {"Class", "Class"},       {"Form", "Class"},         {"PropertyPage", "Class"},
        {"UserControl", "Class"}, {"UserDocument", "Class"}, {"Designer", "Class"},
        {"Module", "Module"}};
    static const std::map<std::string, std::string, std::less<>> kMembers = {
        {"Constant", "Constant"}, {"Declaration", "Function"}, {"Enum", "Enum"},
        {"Event", "Event"},       {"Function", "Function"},    {"Implementation", "Interface"},
        {"Property", "Property"}, {"Subroutine", "Function"},  {"Type", "Type"},
        {"Variable", "Variable"}};
    const auto& table = entry.module.empty() ? kModules : kMembers;
    const auto found = table.find(entry.kind);
    if (found == table.end()) return entry.module.empty() ? "Module" : "Function";
    // A class's routines are its methods; a standard module's are functions.
    if (entry.inClass && (entry.kind == "Function" || entry.kind == "Subroutine")) return "Method";
    return found->second;
}

namespace {

// The stem both packages' names share: the project's name made safe for a file.
std::string packageStem(const OfflineIndex& index) {
    return safeFileName(index.name.empty() ? docsetIdentifier(index) : index.name);
}

}  // namespace

std::string qtHelpProjectName(const OfflineIndex& index) { return packageStem(index) + ".qhp"; }

std::string docsetName(const OfflineIndex& index) { return packageStem(index) + ".docset"; }

namespace {

// The table of contents below the project: a section per kind, in the
// site's order, each opened at its first module, the module's members in it.
void appendContents(std::string& out, const OfflineIndex& index) {
    std::string folder;
    bool moduleOpen = false;
    const auto closeModule = [&] {
        if (moduleOpen) out += "          </section>\n";
        moduleOpen = false;
    };
    for (const OfflineEntry& entry : index.entries) {
        if (!entry.module.empty()) {
            out += "            <section title=\"" + xmlText(entry.name) + "\" ref=\"" +
                   xmlText(entry.path) + "\"/>\n";
            continue;
        }
        closeModule();
        if (entry.folder != folder) {
            if (!folder.empty()) out += "        </section>\n";
            folder = entry.folder;
            out += "        <section title=\"" + xmlText(folder) + "\" ref=\"all-" +
                   xmlText(folder) + ".html\">\n";
        }
        out += "          <section title=\"" + xmlText(entry.name) + "\" ref=\"" +
               xmlText(entry.path) + "\">\n";
        moduleOpen = true;
    }
    closeModule();
    if (!folder.empty()) out += "        </section>\n";
}

}  // namespace

std::string buildQtHelpProject(const OfflineIndex& index, const std::vector<std::string>& files) {
    const std::string filter =
        identifierPart(index.name).empty() ? docsetIdentifier(index) : identifierPart(index.name);
    const std::string title = index.name + (index.version.empty() ? "" : " " + index.version);
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<QtHelpProject version=\"1.0\">\n"
        "  <namespace>" +
        xmlText(qtHelpNamespace(index)) +
        "</namespace>\n"
        "  <virtualFolder>doc</virtualFolder>\n"
        "  <customFilter name=\"" +
        xmlText(title) +
        "\">\n"
        "    <filterAttribute>" +
        xmlText(filter) +
        "</filterAttribute>\n"
        "  </customFilter>\n  <filterSection>\n"
        "    <filterAttribute>" +
        xmlText(filter) +
        "</filterAttribute>\n    <toc>\n"
        "      <section title=\"" +
        xmlText(title) + "\" ref=\"project-summary.html\">\n";
    appendContents(out, index);
    out += "      </section>\n    </toc>\n    <keywords>\n";
    std::string module;
    for (const OfflineEntry& entry : index.entries) {
        if (entry.module.empty()) module = entry.name;
        // The id lets a help browser's F1 find "Module.Member" as well.
        const std::string id = entry.module.empty() ? entry.name : module + "." + entry.name;
        out += "      <keyword name=\"" + xmlText(entry.name) + "\" id=\"" + xmlText(id) +
               "\" ref=\"" + xmlText(entry.path) + "\"/>\n";
    }
    out += "    </keywords>\n    <files>\n";
    for (const std::string& file : files) out += "      <file>" + xmlText(file) + "</file>\n";
    out += "    </files>\n  </filterSection>\n</QtHelpProject>\n";
    return out;
}

std::vector<std::string> siteFiles(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        const std::string name = path.filename().string();
        const bool packaged = endsWith(name, ".docset") || endsWith(name, ".qhp") ||
                              endsWith(name, ".qch") || isPartName(name);
        if (it->is_symlink(ec) || name.starts_with('.') || packaged) {
            if (it->is_directory(ec)) it.disable_recursion_pending();
            continue;
        }
        if (it->is_regular_file(ec))
            files.push_back(path.lexically_relative(folder).generic_string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

Status writeQtHelpProject(const OfflineIndex& index, const std::string& folder) {
    return writeAtomically(folder + qtHelpProjectName(index),
                           buildQtHelpProject(index, siteFiles(folder)));
}

}  // namespace tarnwick
