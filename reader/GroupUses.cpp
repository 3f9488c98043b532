#include "reader/GroupUses.h"

#include <array>
#include <cstddef>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>
#include <unordered_map>

#include "support/File.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// What a byte is to the scan for class names. Every byte of the code of a
// group's calling projects comes through here, twice (GroupUses, then the
// code pages' links): a table, no locale asked.
enum ScanClass : unsigned char { kOther, kName, kDot, kQuote, kComment };
constexpr std::array<ScanClass, 256> kScanClass = [] {
    std::array<ScanClass, 256> classes{};
    for (unsigned c = 0; c < 256; ++c)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '_' || c >= 0x80)
            classes[c] = kName;
    classes['.'] = kDot;
    classes['"'] = kQuote;
    classes['\''] = kComment;
    return classes;
}();

ScanClass scanClass(char c) { return kScanClass[static_cast<unsigned char>(c)]; }

// A byte of a name, dotted ones whole ("CorLib.StringBuilder").
bool inName(char c) {
    const ScanClass k = scanClass(c);
    return k == kName || k == kDot;
}

// "Attribute VB_Name = "CTest"": the module's name, else empty.
std::string vbName(std::string_view line) {
    const std::string_view text = trimSpaces(line);
    if (!startsWithIgnoreCase(text, "Attribute VB_Name")) return {};
    const size_t eq = text.find('=');
    return eq == std::string_view::npos ? std::string()
                                        : std::string(unquote(trimSpaces(text.substr(eq + 1))));
}

// What a name stands for in a project that references libraries.
struct Named {
    size_t library = 0;
    std::string name;  // as the library spells it
    bool control = false;
    auto operator<=>(const Named&) const = default;
};

// A library's public classes and user controls by upper-cased name, as names compare (a class
// before a control of the same name), for the scan of its users' files.
struct LibraryNames {
    size_t library = 0;
    std::unordered_map<std::string, Named> byName;
};

LibraryNames namesOfLibrary(const ProjectGroup& group, size_t library) {
    LibraryNames names{library, {}};
    const GroupProject& lib = group.projects[library];
    for (const std::string& cls : lib.publicClasses)
        names.byName.try_emplace(toUpper(cls), Named{library, cls, false});
    for (const std::string& control : lib.publicControls)
        names.byName.try_emplace(toUpper(control), Named{library, control, true});
    return names;
}

// The public class or user control of a referenced library that name
// stands for, bare or with its project; nullopt when none.
std::optional<Named> classNamed(std::string_view name, const ProjectGroup& group,
                                const std::vector<const LibraryNames*>& libraries) {
    std::string_view project;
    const size_t dot = name.find('.');
    if (dot != std::string_view::npos) {
        project = name.substr(0, dot);
        name = name.substr(dot + 1);
        if (name.find('.') != std::string_view::npos) return std::nullopt;
    }
    const std::string key = toUpper(name);
    for (const LibraryNames* lib : libraries) {
        if (!project.empty() && !equalsIgnoreCase(project, group.projects[lib->library].name))
            continue;
        if (const auto found = lib->byName.find(key); found != lib->byName.end())
            return found->second;
    }
    return std::nullopt;
}

void scanFile(const ProjectGroup& group, size_t user, const GroupProject::Source& source,
              const std::vector<const LibraryNames*>& libraries, const CodePage& codePage,
              std::vector<GroupUse>& uses) {
    const Expected<std::string> bytes = File(source.path).ReadBytes();
    if (!bytes) return;  // the project's own run reports it
    const std::string text = codePage.toUtf8(bytes.value());
    std::string module;
    std::set<Named> seen;
    for (const std::string_view line : splitLines(text, LineEnd::Lf)) {
        if (module.empty()) module = vbName(line);
        for (const std::string_view target : classNamesIn(line)) {
            const auto found = classNamed(target, group, libraries);
            if (found && seen.insert(*found).second)
                uses.push_back({user, std::string(), source.kindFolder, found->library, found->name,
                                found->control});
        }
    }
    // The name is known once the file is read (forms declare it after the designer block).
    for (auto it = uses.end() - static_cast<std::ptrdiff_t>(seen.size()); it != uses.end(); ++it)
        it->module = module.empty() ? source.path : module;
}

}  // namespace

std::vector<std::string_view> classNamesIn(std::string_view line) {
    // One pass over the line's names (dotted ones whole, "CorLib.StringBuilder",
    // up to its comment, strings left out), none kept but the one before:
    // every line of every file of a group comes through here.
    std::vector<std::string_view> found;
    bool afterKeyword = false;  // the name before was As, New, Implements or Begin
    size_t i = 0;
    bool first = true;
    while (i < line.size()) {
        const ScanClass c = scanClass(line[i]);
        if (c == kQuote) {
            const size_t end = line.find('"', i + 1);
            i = end == std::string_view::npos ? line.size() : end + 1;
        } else if (c == kComment) {
            break;
        } else if (c == kName) {
            const size_t start = i;
            while (i < line.size() && inName(line[i])) ++i;
            std::string_view name = line.substr(start, i - start);
            while (!name.empty() && name.back() == '.') name.remove_suffix(1);
            if (first && equalsIgnoreCase(name, "Rem")) break;
            first = false;
            // By length first: most names are none of the four words.
            const auto is = [&](std::string_view word) {
                return name.size() == word.size() && equalsIgnoreCase(name, word);
            };
            const bool isNew = is("New");
            // "As New X": X comes next.
            if (afterKeyword && !isNew) found.push_back(name);
            afterKeyword = isNew || is("As") || is("Implements") || is("Begin");
        } else {
            ++i;
        }
    }
    return found;
}

std::vector<GroupUse> scanGroupUses(const ProjectGroup& group, const CodePage& codePage) {
    std::vector<GroupUse> uses;
    std::vector<std::optional<LibraryNames>> names(group.projects.size());
    for (size_t user = 0; user < group.projects.size(); ++user) {
        std::vector<const LibraryNames*> libraries;
        for (const GroupProject* lib : group.referencedBy(group.projects[user])) {
            const auto library = static_cast<size_t>(lib - group.projects.data());
            if (!names[library]) names[library] = namesOfLibrary(group, library);
            libraries.push_back(&*names[library]);
        }
        if (libraries.empty()) continue;
        for (const GroupProject::Source& source : group.projects[user].sourceFiles)
            scanFile(group, user, source, libraries, codePage, uses);
    }
    return uses;
}

}  // namespace tarnwick
