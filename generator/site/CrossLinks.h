// CrossLinks: links between pages that name each other.
//
// Built once per run from the site's index (the modules and members that
// have pages), so every answer is a page that is written:
// - the page of an Enum or Type named by a data type ("AccountKind" or
//   "modLedger.SYSTEMTIME"): the one of the page's own module first, then a
//   non-private one of another module;
// - the page a "@see" names: a module, a member of the page's own module,
//   "Module.Member", or a member name that only one module has;
// - the classes that implement an interface class, and for a routine
//   "IFoo_Bar" of a class that implements IFoo the page of IFoo's Bar.
// Page paths are site-relative ("Classes/CAccount_Post.html"); pages one
// folder down link to them with "../" in front.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "generator/site/PageContext.h"
#include "generator/site/SiteIndex.h"
#include "model/CHelper.h"
#include "model/CModule.h"
#include "model/CProject.h"
#include "model/Element.h"
#include "support/Html.h"

namespace tarnwick {

// The answers the pages of one module got from CrossLinks, by query:
// "t<data type>", "s<@see target>", "i" (its implementers), "m<member>",
// "a<address of an author's link>".
// A later run asks the same again: when every answer is the same, pages
// built now would link the same way.
using LinkAnswers = std::map<std::string, std::string>;

// While one lives, every answer a query of this thread gets is noted.
class RecordLinkAnswers {
public:
    explicit RecordLinkAnswers(LinkAnswers& answers);  // must outlive this object
    ~RecordLinkAnswers();
    RecordLinkAnswers(const RecordLinkAnswers&) = delete;
    RecordLinkAnswers& operator=(const RecordLinkAnswers&) = delete;

private:
    LinkAnswers* m_outer;
};

class CrossLinks {
public:
    // entries must outlive this object.
    explicit CrossLinks(const std::vector<IndexEntry>& entries);

    // Page of the Enum or Type a data type names, seen from module; empty
    // when it names none that has a page.
    std::string typePage(std::string_view dataType, const CModule& from) const;
    // Page a "@see" target names, seen from module; empty when unresolved.
    std::string seePage(std::string_view target, const CModule& from) const;
    // Page an author's link into the site names by its file name (folders,
    // query and anchor aside): "CAccount.html" (a module), "CAccount.Post.html"
    // (a member), "SortedList.Get.Count.html" or "SortedList.Count.Get.html"
    // (an accessor: the property's page), "AccountKind.html" (the one
    // non-private Enum or Type of that name, when no module has it), or a
    // stem of the site's own pages ("CAccount_Post.html"); empty when it
    // names none.
    std::string authorPage(std::string_view address) const;
    // The written class modules whose Implements names the interface.
    std::vector<const IndexEntry*> implementers(const CModule& interface) const;
    // The interface member a routine "Interface_Member" implements: its
    // entry, or null.
    const IndexEntry* implementedMember(const Element& member, const CModule& module) const;

    // The page of a member of module, or of its code page; empty when the
    // site does not write it. Pages of references ask these: the module key
    // of an incremental run covers them (the references into and out of a
    // module are part of it).
    // (The pages of references ask for every record: no copy is made.)
    const std::string& memberPage(const CModule& module, const Element& member) const;
    std::string codePage(const CModule& module) const;
    const std::string& modulePage(const CModule& module) const;
    // The entries whose pages memberPage and modulePage give; null when the
    // site does not write them.
    const IndexEntry* memberEntry(const CModule& module, const Element& member) const;
    const IndexEntry* moduleEntry(const CModule& module) const;
    // The address link() writes for entry's page: "../" and the page,
    // percent-encoded; made once per run, not once per link.
    const std::string& href(const IndexEntry& entry) const {
        return m_hrefs[static_cast<size_t>(&entry - m_entries.data())];
    }
    // The same for a line of the code page of a module's entry, the line's
    // number to follow: "../Classes/CAccount_Code.html#L"; empty when the
    // entry's page has no code page beside it.
    const std::string& codeLineHref(const IndexEntry& moduleEntry) const {
        return m_codeLineHrefs[static_cast<size_t>(&moduleEntry - m_entries.data())];
    }

    // The pages of the modules whose design places the project's user
    // control (a control of class "{projectName}.{control's name}"), each
    // with how often, in the site's order.
    std::vector<std::pair<const IndexEntry*, int>> placesOf(const CModule& control,
                                                            std::string_view projectName) const;

    // True when each query of answers, asked from module, gets its answer.
    bool answersAgain(const LinkAnswers& answers, const CModule& from) const;

    const std::vector<IndexEntry>& entries() const { return m_entries; }

    // <A href="{prefix}{page}">text</A>, or text when page is empty; text is
    // escaped, page percent-encoded (a "#" keeps starting its anchor).
    static Html link(const std::string& page, std::string_view text,
                     std::string_view prefix = "../");

private:
    void addAddresses();
    std::string typePageOf(std::string_view dataType, const CModule& from) const;
    std::string seePageOf(std::string_view target, const CModule& from) const;
    // The page of the only non-private Enum or Type called name; empty when
    // none or several modules have one.
    std::string publicTypePage(std::string_view name) const;
    std::string authorPageOf(std::string_view address) const;
    std::vector<const IndexEntry*> implementersOf(const CModule& interface) const;
    std::vector<std::pair<const IndexEntry*, int>> placesOfNamed(std::string_view control,
                                                                 std::string_view project) const;
    const IndexEntry* implementedMemberNamed(const std::string& name, const CModule& module) const;
    const IndexEntry* moduleNamed(std::string_view name) const;
    const IndexEntry* memberOf(const IndexEntry* module, std::string_view name,
                               bool typesOnly) const;

    const std::vector<IndexEntry>& m_entries;
    std::unordered_map<std::string, size_t> m_modules;    // lower name -> entry
    std::unordered_map<const CModule*, size_t> m_owners;  // module -> its entry
    // module -> its members' entries by lower name (a name every module has
    // is looked up without walking all of them)
    std::unordered_map<const CModule*, std::unordered_map<std::string, size_t>> m_ownMembers;
    std::unordered_map<std::string, std::vector<size_t>> m_members;  // lower name -> entries
    std::unordered_map<std::string, size_t> m_stems;                 // lower page stem -> entry
    // member -> the entry its module's name lookup gives (pages of
    // references ask once per reference: no name is folded for those)
    std::unordered_map<const Element*, size_t> m_memberEntries;
    std::vector<std::string> m_hrefs;          // per entry: href()
    std::vector<std::string> m_codeLineHrefs;  // per entry: codeLineHref()
    // upper interface name -> the class entries implementing it, by name
    std::unordered_map<std::string, std::vector<size_t>> m_implementers;
};

// How many controls of the project's user control called className a
// design places, at any depth.
int placements(const FormDesign& design, std::string_view projectName, std::string_view className);

// One warning for each distinct address of an author's link into the site
// that names no page of it (those links keep only their text), naming the
// file and line of its first use; over the texts of the pages written.
void warnUnknownAuthorLinks(const CrossLinks& links, const GenerationSettings& settings,
                            DiagnosticsSink& diagnostics);

// The declared types in a coloured syntax block ("As </FONT>Name") made
// links to their class, Enum or Type pages, where links gives one.
Html linkSyntaxTypes(const Html& html, const CModule& module, const CProject& project,
                     const PageContext& ctx);

// getDataTypeLink, but the plain name when the run writes no class pages
// (a link would lead nowhere).
Html dataTypeLink(const CHelper& helper, std::string_view name, const CModule& module,
                  const CProject& project, std::string_view prefix, const PageContext& ctx);

}  // namespace tarnwick
