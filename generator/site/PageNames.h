// PageNames: the file name of every page made from a module or member name,
// assigned once per project before any page is built.
//
// Every module gets a stem for its four pages ("{stem}.html", "_Uml", "_Object",
// "_Code"), every member name of a module a stem for its page (the Get, Let and
// Set of one property, and members of one name ignoring case, share one page).
// The wished stem is the name made safe for a file ("CAccount",
// "CAccount_Deposit"); when a wished file name is already taken in the folder
// (ignoring letter case, as the sites' file systems may: "mod_Util.Init" and
// "mod.Util_Init" both wish "mod_Util_Init"; two modules of one VB_Name), the
// later element gets "_2", "_3", ... and a warning names both. Modules are
// named before members, kind by kind, in the project's sorted order, so the
// names are the same on every run whatever the number of threads. Builders,
// the search index and the cross-links ask this table; nobody derives a page
// name on the spot. Read-only once built, so any thread may ask.
#pragma once

#include <string>
#include <unordered_map>

#include "model/CModule.h"
#include "model/CProject.h"
#include "model/ListItem.h"
#include "support/Diagnostics.h"

namespace tarnwick {

class PageNames {
public:
    // project must outlive the table (its modules are the keys). Clashes are
    // reported to diagnostics when it is not null.
    explicit PageNames(const CProject& project, DiagnosticsSink* diagnostics = nullptr);

    // The stem of module's pages; the wished one for a module the table
    // does not know (a module built apart from the project, a preview).
    std::string module(const CModule& module) const;
    // The stem of the page documenting member of module, likewise.
    std::string member(const CModule& module, const ListItem& member) const;

    // Every stem of module's pages, one per line, members in name order: a
    // module's pages must be made again when it changes.
    std::string signature(const CModule& module) const;

    // The same through a table that may be missing (null: the wished stems).
    static std::string moduleStem(const PageNames* names, const CModule& module);
    static std::string memberStem(const PageNames* names, const CModule& module,
                                  const ListItem& member);

    // The stems a module or member would get if nothing else were named.
    static std::string wishedModule(const CModule& module);
    static std::string wishedMember(const std::string& moduleStem, const ListItem& member);

private:
    struct ModuleNames {
        std::string stem;
        std::unordered_map<std::string, std::string> members;  // lower-case name -> stem
    };
    std::unordered_map<const CModule*, ModuleNames> m_modules;
};

// "Classes/CParser" + suffix: the module's page path inside the site.
// Throws PageWriteError when the module has no source-module kind.
// The stem is the one names assigned (the wished one without a table).
std::string modulePagePath(const CModule& module, std::string_view suffix,
                           const PageNames* names = nullptr);

}  // namespace tarnwick
