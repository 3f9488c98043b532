#include "reader/GroupFile.h"

#include <filesystem>
#include <fstream>
#include <set>

#include "reader/CParser.h"
#include "support/File.h"
#include "support/ProgramFolder.h"
#include "support/Text.h"

namespace fs = std::filesystem;

namespace tarnwick {

namespace {

// A path written on Windows, relative to folder, as it is found here.
std::string resolvedPath(std::string_view value, const std::string& folder) {
    std::string written = replaceAll(trimSpaces(unquote(trimSpaces(value))), "\\", "/");
    std::string path = written.starts_with('/') ? written : folder + written;
    if (!File(path).Exists()) path = findPathIgnoringCase(path);
    return path;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string canonicalOf(const std::string& path) {
    std::error_code ec;
    std::string canonical = fs::weakly_canonical(path, ec).string();
    return ec ? path : canonical;
}

// The lines of a small text file, line ends of either kind.
std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    for (const std::string_view line : splitLines(text, LineEnd::Lf)) lines.emplace_back(line);
    return lines;
}

// Whether the class or user control file at path says VB_Exposed = True in
// its attribute lines (they come before any code, so its first lines are
// enough); name receives its VB_Name.
bool moduleIsExposed(const std::string& path, std::string& name) {
    std::ifstream in(path, std::ios::binary);
    std::string head(8192, '\0');
    in.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<size_t>(in.gcount()));
    bool exposed = false;
    bool inHeader = false;
    for (size_t pos = 0; pos < head.size();) {
        const std::string_view text = trimSpaces(nextLine(head, pos, LineEnd::Lf));
        // The module's attributes stand in one block; the code follows it.
        if (!startsWithIgnoreCase(text, "Attribute ")) {
            if (inHeader) break;
            continue;
        }
        inHeader = true;
        const std::string_view rest = trimSpaces(text.substr(10));
        const size_t eq = rest.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = trimSpaces(rest.substr(0, eq));
        const std::string_view value = trimSpaces(rest.substr(eq + 1));
        if (equalsIgnoreCase(key, "VB_Name")) name = std::string(unquote(value));
        if (equalsIgnoreCase(key, "VB_Exposed")) exposed = equalsIgnoreCase(value, "True");
    }
    return exposed;
}

// "*\A..\CorLib\CorLib.vbp" (a project reference): the path after "*\A".
//
// A compiled reference ("*\G{guid}#1.4#0#..\CorLib\CorLib.dll#CorLib") is
// never taken for a project of the group, even when the group builds a DLL
// of that name. It names a type library by its GUID, and nothing the group
// holds tells a project's GUID: VB6 keeps it in the compiled DLL (with
// binary compatibility, in the DLL CompatibleEXE32 names), never in the
// project file, and a registry export only maps a GUID to a file path, of
// another machine's folders. Matching by file name alone would take an older
// build or another vendor's DLL of that name for the project, and link its
// users to members the DLL may not have; the reference stays a library of
// the project's references list, unlinked.
std::string_view projectReferencePath(std::string_view value) {
    value = trimSpaces(value);
    if (!startsWithIgnoreCase(value, "*\\A")) return {};
    return value.substr(3);
}

// One "Key=value" line of a project file into project.
void readProjectLine(GroupProject& project, std::string_view key, std::string_view value,
                     const std::string& folder, std::string& major, std::string& minor,
                     std::string& revision) {
    auto listed = [&](int& count, bool named, const char* kindFolder) {
        ++count;
        // "Class=CFoo; CFoo.cls" names the module before its file; a form only its file.
        const size_t semicolon = value.find(';');
        const std::string_view file =
            named && semicolon != std::string_view::npos ? value.substr(semicolon + 1) : value;
        project.sourceFiles.push_back({resolvedPath(file, folder), kindFolder});
        return std::string(trimSpaces(named ? value.substr(0, semicolon) : std::string_view()));
    };
    if (equalsIgnoreCase(key, "Name")) {
        project.name = std::string(unquote(value));
    } else if (equalsIgnoreCase(key, "Type")) {
        project.type = std::string(value);
    } else if (equalsIgnoreCase(key, "Title")) {
        project.title = std::string(unquote(value));
    } else if (equalsIgnoreCase(key, "Description")) {
        project.description = std::string(unquote(value));
    } else if (equalsIgnoreCase(key, "MajorVer")) {
        major = value;
    } else if (equalsIgnoreCase(key, "MinorVer")) {
        minor = value;
    } else if (equalsIgnoreCase(key, "RevisionVer")) {
        revision = value;
    } else if (equalsIgnoreCase(key, "Class")) {
        const std::string name = listed(project.classes, true, "Classes");
        std::string declared;
        if (moduleIsExposed(project.sourceFiles.back().path, declared))
            project.publicClasses.push_back(name);
    } else if (equalsIgnoreCase(key, "Module")) {
        listed(project.modules, true, "Modules");
    } else if (equalsIgnoreCase(key, "Form")) {
        listed(project.forms, false, "Forms");
    } else if (equalsIgnoreCase(key, "UserControl")) {
        listed(project.userControls, false, "UserControls");
        std::string name;
        if (moduleIsExposed(project.sourceFiles.back().path, name) && !name.empty())
            project.publicControls.push_back(name);
    } else if (equalsIgnoreCase(key, "PropertyPage")) {
        listed(project.propertyPages, false, "PropertyPages");
    } else if (equalsIgnoreCase(key, "UserDocument")) {
        listed(project.userDocuments, false, "UserDocuments");
    } else if (equalsIgnoreCase(key, "Designer")) {
        listed(project.designers, false, "Designers");
    } else if (equalsIgnoreCase(key, "Reference") || equalsIgnoreCase(key, "Object")) {
        const std::string_view referenced = projectReferencePath(value);
        if (!referenced.empty())
            project.projectReferences.push_back(
                {resolvedPath(referenced, folder), std::string(referenced)});
    }
}

// Adds the project at path (line of the group file, 0: command line) to
// group unless it is there already; reports one that cannot be read.
void addProject(ProjectGroup& group, std::string path, int line, bool startup,
                const CodePage& codePage, std::set<std::string>& seen,
                DiagnosticsSink& diagnostics) {
    const std::string where = group.path.empty() ? path : group.path;
    if (!seen.insert(canonicalOf(path)).second) {
        diagnostics.warning(where, line, "project " + path + " is listed again; it is read once");
        return;
    }
    GroupProject project;
    project.path = std::move(path);
    project.line = line;
    project.startup = startup;
    std::string why;
    if (!readGroupProject(project, codePage, why)) {
        diagnostics.error(where, line, "project " + project.path + " cannot be read: " + why);
        ++group.failed;
        return;
    }
    if (startup)
        group.projects.insert(group.projects.begin(), std::move(project));
    else
        group.projects.push_back(std::move(project));
}

}  // namespace

bool isGroupFile(const std::string& path) { return endsWithIgnoreCase(path, ".vbg"); }

bool readGroupProject(GroupProject& project, const CodePage& codePage, std::string& why) {
    if (isGroupFile(project.path)) {
        why = "a group file, not a project file";
        return false;
    }
    const Expected<std::string> bytes = File(project.path).ReadBytes();
    if (!bytes) {
        why = bytes.error().message;
        return false;
    }
    if (bytes.value().find('\0') != std::string::npos) {
        why = "not a text file";
        return false;
    }
    const std::string folder = folderOf(project.path);
    std::string major, minor, revision;
    bool keys = false;
    for (const std::string& raw : linesOf(codePage.toUtf8(bytes.value()))) {
        const std::string_view line = trimSpaces(raw);
        if (line.starts_with('[')) break;  // the sections of add-ins follow the project's lines
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = trimSpaces(line.substr(0, eq));
        keys = keys || isProjectFileKey(key);
        readProjectLine(project, key, trimSpaces(line.substr(eq + 1)), folder, major, minor,
                        revision);
    }
    // Any text file would read as a project with nothing in it: the group's
    // line says which it is.
    if (!keys) {
        why = "not a VB6 project file (no Type=, Name= or module lines)";
        return false;
    }
    if (project.name.empty()) project.name = fs::path(project.path).stem().string();
    if (!major.empty() || !minor.empty() || !revision.empty())
        project.version = (major.empty() ? "0" : major) + "." + (minor.empty() ? "0" : minor) +
                          "." + (revision.empty() ? "0" : revision);
    return true;
}

Expected<ProjectGroup> readGroupFile(const std::string& path, const CodePage& codePage,
                                     DiagnosticsSink& diagnostics) {
    const Expected<std::string> bytes = File(path).ReadBytes();
    if (!bytes) return Error{path + ": " + bytes.error().message};
    const std::vector<std::string> lines = linesOf(codePage.toUtf8(bytes.value()));
    if (lines.empty() || !startsWithIgnoreCase(trimSpaces(lines.front()), "VBGROUP"))
        return Error{path + ": not a group file (it does not start with VBGROUP 5.0)"};
    ProjectGroup group;
    group.path = path;
    group.name = fs::path(path).stem().string();
    const std::string folder = folderOf(path);
    std::set<std::string> seen{canonicalOf(path)};
    bool haveStartup = false;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = trimSpaces(lines[i]);
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = trimSpaces(line.substr(0, eq));
        const bool startup = equalsIgnoreCase(key, "StartupProject");
        if (!startup && !equalsIgnoreCase(key, "Project")) continue;
        const int lineNumber = static_cast<int>(i + 1);
        if (trimSpaces(line.substr(eq + 1)).empty()) {
            diagnostics.error(path, lineNumber, "the line names no project file; it is skipped");
            ++group.failed;
            continue;
        }
        const std::string project = resolvedPath(line.substr(eq + 1), folder);
        if (canonicalOf(project) == canonicalOf(path)) {
            diagnostics.error(path, lineNumber, "the group file names itself; the line is skipped");
            ++group.failed;
            continue;
        }
        addProject(group, project, lineNumber, startup && !haveStartup, codePage, seen,
                   diagnostics);
        haveStartup = haveStartup || (startup && !group.projects.empty() &&
                                      group.projects.front().line == lineNumber);
    }
    group.assignFolders();
    return group;
}

ProjectGroup groupOfProjects(const std::vector<std::string>& paths, const CodePage& codePage,
                             DiagnosticsSink& diagnostics) {
    ProjectGroup group;
    std::set<std::string> seen;
    for (const std::string& path : paths)
        addProject(group, path, 0, false, codePage, seen, diagnostics);
    group.name = group.projects.empty() ? std::string("Projects") : group.projects.front().name;
    if (!group.projects.empty()) group.projects.front().startup = true;
    group.assignFolders();
    return group;
}

bool namesGroup(const std::vector<std::string>& paths) {
    return paths.size() > 1 || (paths.size() == 1 && isGroupFile(paths.front()));
}

Expected<ProjectGroup> readGroup(const std::vector<std::string>& paths, const CodePage& codePage,
                                 DiagnosticsSink& diagnostics) {
    if (paths.empty()) return Error{"no project file is named"};
    const bool groupFile = paths.size() == 1 && isGroupFile(paths.front());
    Expected<ProjectGroup> group =
        groupFile ? readGroupFile(paths.front(), codePage, diagnostics)
                  : Expected<ProjectGroup>(groupOfProjects(paths, codePage, diagnostics));
    if (group && group.value().projects.empty())
        return Error{paths.front() + ": no project of the group can be read"};
    return group;
}

void warnGroupShapes(const ProjectGroup& group, DiagnosticsSink& diagnostics) {
    const std::string& where = group.path;
    const auto references = [&](const GroupProject& from, const GroupProject& to) {
        for (const GroupProject* r : group.referencedBy(from))
            if (r == &to) return true;
        return false;
    };
    for (size_t i = 0; i < group.projects.size(); ++i) {
        const GroupProject& a = group.projects[i];
        for (size_t j = i + 1; j < group.projects.size(); ++j) {
            const GroupProject& b = group.projects[j];
            if (equalsIgnoreCase(a.name, b.name))
                diagnostics.warning(where.empty() ? b.path : where, b.line,
                                    "two projects are named " + a.name + "; the pages of " +
                                        b.path + " are in the folder " + b.folder);
            if (references(a, b) && references(b, a))
                diagnostics.warning(a.path, 0,
                                    "projects " + a.name + " and " + b.name +
                                        " reference each other, which VB6 refuses; both are "
                                        "documented");
        }
    }
}

}  // namespace tarnwick
