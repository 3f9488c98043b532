#include "generator/site/CrossLinks.h"

#include <algorithm>
#include <cctype>
#include <unordered_set>

#include "generator/site/AuthorHtml.h"
#include "generator/site/GroupSite.h"
#include "generator/site/Listing.h"
#include "generator/site/SiteTables.h"
#include "model/CHelper.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

bool isTypeKind(const IndexEntry& entry) {
    return entry.element && (entry.element->Kind() == ElementKind::Enum ||
                             entry.element->Kind() == ElementKind::Type);
}

// "AccountKind()" -> "AccountKind": an array of a type names the type.
std::string_view bareName(std::string_view name) {
    name = trimSpaces(name);
    if (endsWith(name, "()")) name.remove_suffix(2);
    return trimSpaces(name);
}

bool isIdentifierChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

thread_local LinkAnswers* t_answers = nullptr;  // this thread's recording; may be null

void note(char query, std::string_view text, const std::string& answer) {
    if (t_answers) t_answers->emplace(query + std::string(text), answer);
}

std::string pathsOf(const std::vector<const IndexEntry*>& entries) {
    std::string paths;
    for (const IndexEntry* e : entries) paths += e->path + ' ';
    return paths;
}

std::string placesText(const std::vector<std::pair<const IndexEntry*, int>>& places) {
    std::string text;
    for (const auto& [entry, count] : places)
        text += entry->path + ' ' + std::to_string(count) + ' ';
    return text;
}

int placedIn(const DesignControl& parent, std::string_view project, std::string_view name) {
    int count = 0;
    for (const DesignControl& child : parent.children) {
        if (equalsIgnoreCase(child.library, project) && equalsIgnoreCase(child.className, name))
            ++count;
        count += placedIn(child, project, name);
    }
    return count;
}

}  // namespace

int placements(const FormDesign& design, std::string_view projectName, std::string_view className) {
    return placedIn(design.form, projectName, className);
}

std::vector<std::pair<const IndexEntry*, int>> CrossLinks::placesOfNamed(
    std::string_view control, std::string_view project) const {
    std::vector<std::pair<const IndexEntry*, int>> places;
    for (const IndexEntry& entry : m_entries) {
        if (entry.module >= 0 || entry.owner == nullptr || !entry.owner->Design()) continue;
        if (const int count = placements(*entry.owner->Design(), project, control); count > 0)
            places.emplace_back(&entry, count);
    }
    return places;
}

std::vector<std::pair<const IndexEntry*, int>> CrossLinks::placesOf(
    const CModule& control, std::string_view projectName) const {
    auto places = placesOfNamed(control.Name(), projectName);
    note('u', projectName, placesText(places));
    return places;
}

RecordLinkAnswers::RecordLinkAnswers(LinkAnswers& answers) : m_outer(t_answers) {
    t_answers = &answers;
}

RecordLinkAnswers::~RecordLinkAnswers() { t_answers = m_outer; }

std::string CrossLinks::typePage(std::string_view dataType, const CModule& from) const {
    std::string page = typePageOf(dataType, from);
    note('t', dataType, page);
    return page;
}

std::string CrossLinks::seePage(std::string_view target, const CModule& from) const {
    std::string page = seePageOf(target, from);
    note('s', target, page);
    return page;
}

std::string CrossLinks::authorPage(std::string_view address) const {
    std::string page = authorPageOf(address);
    note('a', address, page);
    return page;
}

std::vector<const IndexEntry*> CrossLinks::implementers(const CModule& interface) const {
    auto classes = implementersOf(interface);
    note('i', "", pathsOf(classes));
    return classes;
}

const IndexEntry* CrossLinks::implementedMember(const Element& member,
                                                const CModule& module) const {
    const IndexEntry* e = implementedMemberNamed(member.Name(), module);
    note('m', member.Name(), e ? e->path : std::string());
    return e;
}

bool CrossLinks::answersAgain(const LinkAnswers& answers, const CModule& from) const {
    for (const auto& [query, answer] : answers) {
        const std::string_view text = std::string_view(query).substr(1);
        std::string now;
        switch (query.empty() ? ' ' : query[0]) {
            case 't':
                now = typePageOf(text, from);
                break;
            case 's':
                now = seePageOf(text, from);
                break;
            case 'i':
                now = pathsOf(implementersOf(from));
                break;
            case 'a':
                now = authorPageOf(text);
                break;
            case 'u':
                now = placesText(placesOfNamed(from.Name(), text));
                break;
            case 'm': {
                const IndexEntry* e = implementedMemberNamed(std::string(text), from);
                now = e ? e->path : std::string();
                break;
            }
            default:
                return false;
        }
        if (now != answer) return false;
    }
    return true;
}

CrossLinks::CrossLinks(const std::vector<IndexEntry>& entries) : m_entries(entries) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string key = toLower(entries[i].name);
        if (entries[i].module < 0) {
            m_modules.emplace(key, i);
            m_owners.emplace(entries[i].owner, i);
        } else {
            m_members[key].push_back(i);
            m_ownMembers[entries[i].owner].try_emplace(key, i);
        }
        const std::string& path = entries[i].path;
        const size_t slash = path.rfind('/') + 1;
        m_stems.emplace(toLower(std::string_view(path).substr(slash, path.rfind('.') - slash)), i);
        // Each module page asks for its implementers: answered from this
        // table, not by a walk over every class.
        if (entries[i].module < 0 && entries[i].owner->Kind() == ModuleKind::Class) {
            std::unordered_set<std::string> named;  // an interface listed twice counts once
            for (const auto& implementation : entries[i].owner->Implementations().elements())
                if (std::string key = toUpper(implementation->Name()); named.insert(key).second)
                    m_implementers[key].push_back(i);
        }
    }
    for (auto& [key, classes] : m_implementers)
        std::stable_sort(classes.begin(), classes.end(), [&](size_t a, size_t b) {
            return compareIgnoreCase(m_entries[a].name, m_entries[b].name) < 0;
        });
    addAddresses();
}

void CrossLinks::addAddresses() {
    m_hrefs.reserve(m_entries.size());
    m_codeLineHrefs.reserve(m_entries.size());
    for (const IndexEntry& entry : m_entries) {
        m_hrefs.push_back(url("../" + entry.path, true).take());
        if (entry.module >= 0) {
            m_codeLineHrefs.emplace_back();
            // The entry a lookup by the member's name gives: the first of
            // that name in its module.
            if (entry.element)
                m_memberEntries.try_emplace(
                    entry.element, m_ownMembers.at(entry.owner).at(toLower(entry.element->Name())));
            continue;
        }
        const std::string code = codePage(*entry.owner);
        m_codeLineHrefs.push_back(code.empty() ? code : url("../" + code + "#L", true).take());
    }
}

Html CrossLinks::link(const std::string& page, std::string_view text, std::string_view prefix) {
    if (page.empty()) return escaped(text);
    return tarnwick::link(prefix, page, text);
}

const IndexEntry* CrossLinks::moduleNamed(std::string_view name) const {
    const auto found = m_modules.find(toLower(name));
    return found == m_modules.end() ? nullptr : &m_entries[found->second];
}

namespace {
const std::string kNoPage;
}  // namespace

const std::string& CrossLinks::memberPage(const CModule& module, const Element& member) const {
    const IndexEntry* entry = memberEntry(module, member);
    return entry ? entry->path : kNoPage;
}

const IndexEntry* CrossLinks::memberEntry(const CModule& module, const Element& member) const {
    if (const auto known = m_memberEntries.find(&member);
        known != m_memberEntries.end() && m_entries[known->second].owner == &module)
        return &m_entries[known->second];
    const auto own = m_ownMembers.find(&module);
    if (own == m_ownMembers.end()) return nullptr;
    const auto found = own->second.find(toLower(member.Name()));
    return found == own->second.end() ? nullptr : &m_entries[found->second];
}

const IndexEntry* CrossLinks::moduleEntry(const CModule& module) const {
    const auto found = m_owners.find(&module);
    return found == m_owners.end() ? nullptr : &m_entries[found->second];
}

const std::string& CrossLinks::modulePage(const CModule& module) const {
    const auto found = m_owners.find(&module);
    return found == m_owners.end() ? kNoPage : m_entries[found->second].path;
}

std::string CrossLinks::codePage(const CModule& module) const {
    const auto found = m_owners.find(&module);
    if (found == m_owners.end()) return {};
    const std::string& path = m_entries[found->second].path;
    if (!endsWith(path, ".html")) return {};
    return path.substr(0, path.size() - 5) + "_Code.html";
}

const IndexEntry* CrossLinks::memberOf(const IndexEntry* module, std::string_view name,
                                       bool typesOnly) const {
    if (!module) return nullptr;
    const auto found = m_members.find(toLower(name));
    if (found == m_members.end()) return nullptr;
    for (const size_t i : found->second) {
        const IndexEntry& e = m_entries[i];
        if (e.owner == module->owner && (!typesOnly || isTypeKind(e))) return &e;
    }
    return nullptr;
}

std::string CrossLinks::typePageOf(std::string_view dataType, const CModule& from) const {
    const std::string_view name = bareName(dataType);
    if (name.empty()) return {};
    const size_t dot = name.find('.');
    if (dot != std::string_view::npos) {
        const IndexEntry* e =
            memberOf(moduleNamed(name.substr(0, dot)), name.substr(dot + 1), true);
        return e ? e->path : std::string();
    }
    const auto found = m_members.find(toLower(name));
    if (found == m_members.end()) return {};
    // The page's own module sees its private types; others only public ones.
    const IndexEntry* other = nullptr;
    for (const size_t i : found->second) {
        const IndexEntry& e = m_entries[i];
        if (!isTypeKind(e)) continue;
        if (e.owner == &from) return e.path;
        if (!other && e.element && e.element->scope() != scope::Private) other = &e;
    }
    return other ? other->path : std::string();
}

std::string CrossLinks::publicTypePage(std::string_view name) const {
    const auto found = m_members.find(toLower(name));
    if (found == m_members.end()) return {};
    const IndexEntry* only = nullptr;
    for (const size_t i : found->second) {
        const IndexEntry& e = m_entries[i];
        if (!isTypeKind(e) || e.element->scope() == scope::Private) continue;
        if (only) return {};  // several modules: ambiguous
        only = &e;
    }
    return only ? only->path : std::string();
}

std::string CrossLinks::seePageOf(std::string_view target, const CModule& from) const {
    std::string_view name = bareName(target);
    while (!name.empty() && (name.back() == '.' || name.back() == ',' || name.back() == ';'))
        name.remove_suffix(1);
    if (name.empty()) return {};
    if (name.front() == '#') {
        // "#Remove": the member of the page's own module.
        const auto found = m_members.find(toLower(name.substr(1)));
        if (found == m_members.end()) return {};
        for (const size_t i : found->second)
            if (m_entries[i].owner == &from) return m_entries[i].path;
        return {};
    }
    const size_t dot = name.find('.');
    if (dot != std::string_view::npos) {
        const IndexEntry* e =
            memberOf(moduleNamed(name.substr(0, dot)), name.substr(dot + 1), false);
        return e ? e->path : std::string();
    }
    if (const IndexEntry* module = moduleNamed(name)) return module->path;
    const auto found = m_members.find(toLower(name));
    if (found == m_members.end()) return {};
    const IndexEntry* only = nullptr;
    for (const size_t i : found->second) {
        const IndexEntry& e = m_entries[i];
        if (e.owner == &from) return e.path;
        if (only && only->owner != e.owner) return {};  // several modules: ambiguous
        if (!only) only = &e;
    }
    return only ? only->path : std::string();
}

std::string CrossLinks::authorPageOf(std::string_view address) const {
    std::string_view name = address.substr(0, address.find_first_of("?#"));
    name = name.substr(name.rfind('/') == std::string_view::npos ? 0 : name.rfind('/') + 1);
    for (std::string_view extension : {".html", ".htm"})
        if (endsWithIgnoreCase(name, extension)) {
            name.remove_suffix(extension.size());
            break;
        }
    if (name.empty()) return {};
    if (const auto stem = m_stems.find(toLower(name)); stem != m_stems.end())
        return m_entries[stem->second].path;
    // "Module", "Module.Member", "Module.Get.Member" (Let, Set alike).
    std::vector<std::string_view> parts;
    for (size_t from = 0;;) {
        const size_t dot = name.find('.', from);
        parts.push_back(name.substr(from, dot - from));
        if (dot == std::string_view::npos) break;
        from = dot + 1;
    }
    // The accessor word before or after the member: one page for the property.
    const auto accessor = [](std::string_view word) {
        return equalsIgnoreCase(word, "Get") || equalsIgnoreCase(word, "Let") ||
               equalsIgnoreCase(word, "Set");
    };
    if (parts.size() == 3 && accessor(parts[1])) parts.erase(parts.begin() + 1);
    if (parts.size() == 3 && accessor(parts[2])) parts.pop_back();
    const IndexEntry* module = moduleNamed(parts[0]);
    if (parts.size() == 1) return module ? module->path : publicTypePage(parts[0]);
    if (parts.size() != 2) return {};
    const IndexEntry* member = memberOf(module, parts[1], false);
    return member ? member->path : std::string();
}

std::vector<const IndexEntry*> CrossLinks::implementersOf(const CModule& interface) const {
    std::vector<const IndexEntry*> classes;
    const auto found = m_implementers.find(toUpper(interface.Name()));
    if (found == m_implementers.end()) return classes;
    for (const size_t i : found->second)
        if (m_entries[i].owner != &interface) classes.push_back(&m_entries[i]);
    return classes;
}

const IndexEntry* CrossLinks::implementedMemberNamed(const std::string& name,
                                                     const CModule& module) const {
    for (const auto& implementation : module.Implementations().elements()) {
        const std::string& interface = implementation->Name();
        if (name.size() <= interface.size() + 1 || name[interface.size()] != '_' ||
            !startsWithIgnoreCase(name, interface))
            continue;
        if (const IndexEntry* e = memberOf(
                moduleNamed(interface), std::string_view(name).substr(interface.size() + 1), false))
            return e;
    }
    return nullptr;
}

namespace {

bool holdsMarkup(std::string_view text) { return text.find('<') != std::string_view::npos; }

bool holdsMarkup(const DocSections& sections) {
    return holdsMarkup(sections.remarks) || holdsMarkup(sections.example) ||
           holdsMarkup(sections.exceptions) || holdsMarkup(sections.summary);
}

// Whether any text of module's pages has a tag, so a link: most modules'
// texts have none, and their pages need no look.
bool holdsMarkup(const CModule& module) {
    if (holdsMarkup(module.Description()) || holdsMarkup(module.Sections())) return true;
    return module.anyMember([](const Element& e) {
        if (holdsMarkup(e.Description()) || holdsMarkup(e.Sections())) return true;
        if (const auto arguments = e.Arguments())
            for (const auto& argument : arguments->elements())
                if (holdsMarkup(argument->Description())) return true;
        if (const auto parts = e.Variables())
            for (const auto& part : parts->elements())
                if (holdsMarkup(part->Description())) return true;
        const auto returns = e.Returns();
        return returns && holdsMarkup(returns->Description());
    });
}

}  // namespace

void warnUnknownAuthorLinks(const CrossLinks& links, const GenerationSettings& settings,
                            DiagnosticsSink& diagnostics) {
    std::unordered_set<std::string> warned;
    const auto scan = [&](std::string_view text, const CModule& module, int line) {
        for (const std::string& address : relativeAuthorLinks(text)) {
            if (isOtherHostAddress(address)) {
                if (warned.insert(address).second)
                    diagnostics.warning(module.Path(), line,
                                        "the link to \"" + address +
                                            "\" leads to another host without naming a scheme; "
                                            "its text is kept, the link left out");
                continue;
            }
            if (!links.authorPage(address).empty() || !warned.insert(address).second) continue;
            diagnostics.warning(module.Path(), line,
                                "the link to \"" + address +
                                    "\" names no page of the site; its text is kept, the link "
                                    "left out");
        }
    };
    const auto scanSections = [&](const DocSections& sections, const CModule& module, int line) {
        for (const std::string* text :
             {&sections.remarks, &sections.example, &sections.exceptions, &sections.summary})
            scan(*text, module, line);
    };
    PageGroups groups;
    // Members already read: the members of one page are read once, not once
    // per index entry of that page (thousands of members may share a name).
    std::unordered_set<const Element*> read;
    bool unmarked = false;  // the module of the entries at hand has no markup
    for (const IndexEntry& entry : links.entries()) {
        const CModule& module = *entry.owner;
        if (!entry.element) {
            unmarked = !holdsMarkup(module);
            if (unmarked) continue;
            scan(module.Description(), module, 0);
            scanSections(module.Sections(), module, 0);
            groups = pageGroups(module, settings);
            continue;
        }
        if (unmarked || read.count(entry.element)) continue;
        for (const Element* member : membersOf(groups, *entry.element)) {
            if (!read.insert(member).second) continue;
            const int line = member->Line();
            scan(member->Description(), module, line);
            scanSections(member->Sections(), module, line);
            if (const auto arguments = member->Arguments())
                for (const auto& argument : arguments->elements())
                    scan(argument->Description(), module, line);
            if (const auto returns = member->Returns()) scan(returns->Description(), module, line);
            if (const auto parts = member->Variables())
                for (const auto& part : parts->elements()) scan(part->Description(), module, line);
        }
    }
}

Html linkSyntaxTypes(const Html& markup, const CModule& module, const CProject& project,
                     const PageContext& ctx) {
    // The names found here are runs of identifier characters of escaped
    // markup, so splicing links in keeps the markup whole.
    const std::string_view html = markup.str();
    // The colouring closes the keyword span right before a name that is no
    // keyword: "As </FONT>CJournal", "As New </FONT>CJournal".
    static constexpr std::string_view kMarks[] = {"As </FONT>", "New </FONT>"};
    const CHelper helper(ctx.translation, ctx.language);
    std::string out;
    out.reserve(html.size());
    size_t copied = 0;
    size_t pos = 0;
    while (pos < html.size()) {
        size_t next = std::string_view::npos;
        size_t markLength = 0;
        for (const std::string_view mark : kMarks) {
            const size_t at = html.find(mark, pos);
            if (at < next) {
                next = at;
                markLength = mark.size();
            }
        }
        if (next == std::string_view::npos) break;
        const size_t start = next + markLength;
        size_t end = start;
        while (end < html.size() && (isIdentifierChar(html[end]) || html[end] == '.')) ++end;
        while (end > start && html[end - 1] == '.') --end;
        if (end > start) {
            const std::string_view name = html.substr(start, end - start);
            const Html linked = dataTypeLink(helper, name, module, project, "../", ctx);
            if (linked.str() != name) {
                out.append(html.substr(copied, start - copied));
                out += linked.str();
                copied = end;
            }
        }
        pos = end > start ? end : start;
    }
    out.append(html.substr(copied));
    return Html::trusted(std::move(out));
}

Html dataTypeLink(const CHelper& /*helper*/, std::string_view name, const CModule& module,
                  const CProject& project, std::string_view /*prefix*/, const PageContext& ctx) {
    // The built-in type words are reserved: no class of a project can bear
    // one, so they need no search (pages ask for them thousands of times).
    static constexpr std::string_view kBuiltIn[] = {"Boolean", "Byte",    "Currency", "Date",
                                                    "Double",  "Integer", "Long",     "Object",
                                                    "Single",  "String",  "Variant"};
    if (name.empty()) return {};
    for (const std::string_view word : kBuiltIn)
        if (equalsIgnoreCase(word, name)) return escaped(name);
    // "Ledger.CAccount" in Ledger names its own class (or Enum, Type).
    std::string_view own = name;
    if (const size_t dot = name.find('.'); dot != std::string_view::npos) {
        const std::string projectName = project.value("Name");
        if (!projectName.empty() && equalsIgnoreCase(name.substr(0, dot), projectName))
            own = name.substr(dot + 1);
    }
    if (ctx.settings.Classes) {
        // Module and member pages all lie one folder below the site, so one
        // relative link serves every page.
        if (const CModule* found =
                ctx.classNames ? ctx.classNames->find(own) : project.Classes().byName(own).get())
            return "<A href=\"../Classes/" + url(ctx.moduleStem(*found)) + ".html\">" +
                   escaped(name) + "</A>";
    }
    // Not a class: maybe an Enum or a Type of the project, else a class
    // another project of the group shows it.
    if (!ctx.links) return escaped(name);
    // A module of the project's name comes first: "Ledger.Totals" is then its Type.
    std::string page = ctx.links->typePage(name, module);
    if (page.empty() && own.size() != name.size()) page = ctx.links->typePage(own, module);
    if (page.empty() && ctx.group && ctx.settings.Classes) page = ctx.group->classPage(name);
    return CrossLinks::link(page, name);
}

}  // namespace tarnwick
