// ProjectGroup: several projects documented as one product.
//
// A VB6 product is rarely one project: a library ships with its test
// project, an application with its own DLLs and controls, and the IDE keeps
// them together in a group file (.vbg). A ProjectGroup lists the projects of
// such a file, or those named together on the command line, the startup
// project first, each read once; what each project declares about itself
// (name, type, title, version, module counts, the group projects it refers
// to, its public classes) is read from its project file and the class
// headers only, so the group's start page and its links across projects are
// known before any project is documented. Each project is then read and
// documented on its own, into its own folder of the site.
#pragma once

#include <string>
#include <vector>

namespace tarnwick {

// One project of a group, as its project file declares it.
struct GroupProject {
    std::string path;  // the project file as found on disk
    int line = 0;      // its line in the group file; 0: named on the command line
    bool startup = false;
    std::string folder;  // the site folder of its pages, unique in the group
    std::string name;    // Name= of the project file, else the file's stem
    std::string type;    // Type= as written: Exe, OleDll, Control, OleExe
    std::string title;
    std::string version;  // "1.2.3" from MajorVer, MinorVer, RevisionVer
    std::string description;
    int classes = 0;
    int modules = 0;
    int forms = 0;
    int userControls = 0;
    int propertyPages = 0;
    int userDocuments = 0;
    int designers = 0;
    // The project files its project references (Reference=*\A... and
    // Object=*\A...) name, in file order.
    struct ProjectReference {
        std::string path;     // resolved against its folder
        std::string written;  // as written ("..\Lib\Lib.vbp"), as its references list names it
    };
    std::vector<ProjectReference> projectReferences;
    // Its classes another project may name (VB_Exposed = True), by name.
    std::vector<std::string> publicClasses;
    // Its user controls another project may place (VB_Exposed = True), by name.
    std::vector<std::string> publicControls;
    // Its source files, resolved, each with the site folder of its kind
    // ("Classes", "Modules", "Forms", "UserControls", "PropertyPages",
    // "UserDocuments", "Designers").
    struct Source {
        std::string path;
        std::string kindFolder;
    };
    std::vector<Source> sourceFiles;
};

// A module of one project of a group that names a public class or user
// control of another (As, New, Implements, a placed control).
struct GroupUse {
    size_t user = 0;     // the naming project's position in ProjectGroup::projects
    std::string module;  // the naming module's name
    std::string kindFolder;
    size_t library = 0;     // the named class's project
    std::string className;  // as the library spells it
    bool control = false;   // a public user control, not a class
};

struct ProjectGroup {
    std::string path;  // the group file; empty: projects named on the command line
    std::string name;  // the group file's stem; else the first project's name
    std::vector<GroupProject> projects;  // the startup project first, then as listed
    int failed = 0;                      // projects named that could not be read

    // The project of the group at path (compared as canonical paths); null when none.
    const GroupProject* find(const std::string& path) const;
    // The group's projects that project refers to, in its reference order,
    // itself never.
    std::vector<const GroupProject*> referencedBy(const GroupProject& project) const;
    // Gives each project a folder: its name made a safe file name, a number
    // added ("Lib_2") where two projects would share one or it would be a
    // folder of the group's own ("src", "nav").
    void assignFolders();
};

// The project type of a project file in words ("OleDll" -> "ActiveX DLL");
// an unknown type as written.
std::string projectTypeWords(const std::string& type);

}  // namespace tarnwick
