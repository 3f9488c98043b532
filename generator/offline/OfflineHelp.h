// OfflineHelp: the site packaged for help browsers beside the IDE, written
// into the output folder after the site itself.
//
// - A Qt help project, "<Name>.qhp": a table of contents (the project,
//   its kinds, their modules, their members), one keyword per module and
//   member with its page, and the list of the site's files. Qt's
//   qhelpgenerator compiles it into the "<Name>.qch" Qt Assistant and Qt
//   Creator open (the command line does that when the tool is installed).
// - A docset, "<Name>.docset/", as Dash and Zeal read it: Contents/Info.plist,
//   the site copied into Contents/Resources/Documents/, and the SQLite index
//   Contents/Resources/docSet.dsidx (table searchIndex(id, name, type, path)).
//
// Both come from the entries the site lists (SiteIndex), so a help browser
// finds what the search page finds, under the same page names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "generator/site/SiteIndex.h"
#include "model/CProject.h"
#include "support/Errors.h"

namespace tarnwick {

// What the packages are made from, kept apart from the project, which is
// gone when the run writes them.
struct OfflineEntry {
    std::string name;
    std::string kind;      // the site's kind word: "Class", "Function", ...
    std::string module;    // the module's kind word for a member, "" for a module
    std::string folder;    // the module's page folder: "Classes"
    std::string path;      // the page inside the site
    bool inClass = false;  // a member of a class, form or control (a method, not a function)
};

struct OfflineIndex {
    std::string name;      // the project's name
    std::string version;   // "1.4.27", or empty
    std::string fileName;  // the project file's stem: the identifier when the name gives none
    std::vector<OfflineEntry> entries;  // modules, each followed by its members
};

OfflineIndex offlineIndexOf(const CProject& project, const std::vector<IndexEntry>& entries);

// "org.tarnwick.<name>.<version>" in lower case letters, digits, '.' and
// '-' only; the same for the same project on every run.
std::string qtHelpNamespace(const OfflineIndex& index);
// The docset's bundle identifier: the name in lower case letters, digits,
// '.' and '-'; the project file's stem, then "vb6-project" when the name
// holds none of them.
std::string docsetIdentifier(const OfflineIndex& index);
// The entry type Dash and Zeal know for a site kind word ("Subroutine" of a
// class is a "Method").
std::string docsetType(const OfflineEntry& entry);

// Text for an XML element or attribute (the .qhp, the docset's plist): the
// markup characters escaped, the control characters XML 1.0 cannot hold
// at all left out.
std::string xmlText(std::string_view text);

// The text of the .qhp; files: the site's files, relative, '/' separated.
std::string buildQtHelpProject(const OfflineIndex& index, const std::vector<std::string>& files);

// The site's files under folder (relative paths, sorted): pages, scripts
// and resources, not the run's own dot files, not links (the lower-case
// spellings of folders), not the packages of this file.
std::vector<std::string> siteFiles(const std::string& folder);

// The file names the packages take in the output folder.
std::string qtHelpProjectName(const OfflineIndex& index);  // "Ledger.qhp"
std::string docsetName(const OfflineIndex& index);         // "Ledger.docset"

// Writes "<Name>.qhp" into folder (the site's folder, '/' at the end).
Status writeQtHelpProject(const OfflineIndex& index, const std::string& folder);
// Writes "<Name>.docset" into folder: made beside it under a temporary name
// and put in place whole, so a failed run leaves the last docset.
Status writeDocset(const OfflineIndex& index, const std::string& folder,
                   const std::string& iconFile);

}  // namespace tarnwick
