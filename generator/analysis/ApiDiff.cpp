#include "generator/analysis/ApiDiff.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "generator/analysis/ApiDeclaration.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

constexpr const char* kModuleWords[] = {"Class", "UserControl", "Module"};

Error errorAt(const std::string& file, int line, const std::string& message) {
    return Error{file + ":" + std::to_string(line) + ": " + message};
}

bool isModuleHeader(std::string_view line) {
    for (const char* word : kModuleWords)
        if (startsWith(line, std::string(word) + " ")) return true;
    return false;
}

// "Project Ledger Type=Exe" into the interface's name and type.
bool readProjectLine(std::string_view line, ApiInterface& api) {
    const std::size_t type = line.rfind(" Type=");
    if (!startsWith(line, "Project ") || type == std::string_view::npos || type < 8) return false;
    api.name = std::string(line.substr(8, type - 8));
    api.type = std::string(line.substr(type + 6));
    return true;
}

// What a module header says: its kind word, name and instancing attributes.
struct ModuleHead {
    std::string kind;
    std::string name;
    std::map<std::string, std::string> attributes;
};

ModuleHead moduleHead(std::string_view header) {
    ModuleHead head;
    const std::size_t comment = header.find("  '");
    const std::string_view text = header.substr(0, comment);
    std::vector<std::string_view> words;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t end = std::min(text.find(' ', pos), text.size());
        if (end > pos) words.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    if (!words.empty()) head.kind = std::string(words[0]);
    if (words.size() > 1) head.name = std::string(words[1]);
    for (std::size_t i = 2; i < words.size(); ++i) {
        const std::size_t equals = words[i].find('=');
        if (equals != std::string_view::npos)
            head.attributes[std::string(words[i].substr(0, equals))] =
                std::string(words[i].substr(equals + 1));
    }
    return head;
}

}  // namespace

Expected<ApiInterface> readApiReport(std::string_view text, const std::string& file) {
    ApiInterface api;
    bool project = false;
    int number = 0;
    for (std::string_view line : splitLines(text, LineEnd::Lf)) {
        ++number;
        if (line.empty() || startsWith(line, "'")) continue;
        ApiModule* module = api.modules.empty() ? nullptr : &api.modules.back();
        ApiMember* member = module && !module->members.empty() ? &module->members.back() : nullptr;
        bool read = false;
        if (!project) {
            read = project = readProjectLine(line, api);
        } else if (isModuleHeader(line)) {
            read = !moduleHead(line).name.empty();
            api.modules.push_back({std::string(line), file, number, {}});
        } else if (startsWith(line, "    ") && member &&
                   (startsWith(member->text, "Public Enum ") ||
                    startsWith(member->text, "Public Type "))) {
            read = true;
            member->text += "\n" + std::string(line);
            member->partLines.push_back(number);
        } else if (module && (startsWith(line, "Public ") || startsWith(line, "Implements "))) {
            read = parseApiDeclaration(line, {}).has_value();
            module->members.push_back({std::string(line), number, {}, {}});
        }
        if (!read)
            return errorAt(file, number,
                           std::string(project ? "not a line of an API report: "
                                               : "an API report starts with its Project line: ") +
                               excerpt(line));
    }
    if (!project) return errorAt(file, 1, "an API report starts with its Project line");
    return api;
}

namespace {

// One side of a module's comparison: its members taken apart and found by key.
struct MemberIndex {
    std::vector<ApiDeclaration> declarations;  // in the module's order
    std::vector<const ApiMember*> members;
    std::map<std::string, std::size_t> byKey;
};

// A property's accessors are members of their own; an Implements line
// shares no name space with the members.
std::string memberKey(const ApiDeclaration& declaration) {
    std::string key = toLower(declaration.name);
    if (startsWith(declaration.kind, "Property ") || declaration.kind == "Implements")
        key += "|" + declaration.kind;
    return key;
}

Expected<MemberIndex> indexMembers(const ApiModule& module, const std::string& moduleName) {
    MemberIndex index;
    for (const ApiMember& member : module.members) {
        auto declaration = parseApiDeclaration(member.text, member.partLines);
        if (!declaration)
            return errorAt(module.file, member.line,
                           "not a declaration of an API report: " + excerpt(member.text));
        if (!index.byKey.emplace(memberKey(*declaration), index.declarations.size()).second)
            return errorAt(module.file, member.line,
                           "'" + declaration->name + "' is declared twice in " + moduleName);
        index.declarations.push_back(std::move(*declaration));
        index.members.push_back(&member);
    }
    return index;
}

// Collects the changes of one module, each verdict made notBinary where
// the module has no binary interface.
class ModuleChanges {
public:
    ModuleChanges(std::string module, bool binary, std::vector<ApiChange>& out)
        : m_module(std::move(module)), m_binary(binary), m_out(out) {}

    void add(ApiVerdict verdict, ApiChangeKind kind, const std::string& file, int line,
             const std::string& member, std::string message) {
        if (!m_binary) verdict = ApiVerdict::NotBinary;
        m_out.push_back({verdict, kind, file, line, m_module, member, std::move(message)});
    }

private:
    std::string m_module;
    bool m_binary;
    std::vector<ApiChange>& m_out;  // the diff's list, which outlives this
};

std::string quoted(const std::string& name) { return "'" + name + "'"; }
std::string orNone(const std::string& text) { return text.empty() ? "(none)" : text; }

// Where the new member stands, and who tells its changes.
struct MemberSite {
    ModuleChanges& changes;
    const std::string& file;
    int line;
    const std::string& name;
    void tell(ApiVerdict verdict, std::string message, int at = 0) const {
        changes.add(verdict, ApiChangeKind::Changed, file, at > 0 ? at : line, name,
                    std::move(message));
    }
};

// Pairs the arguments of two lists by position, or by name when one list
// is the other with arguments added or removed (all names of the shorter
// one in the longer, in order), so an argument put first is told once, not
// as a change of every argument after it. -1: no partner.
std::vector<int> partners(const std::vector<ApiParameter>& a, const std::vector<ApiParameter>& b) {
    std::vector<int> partner(a.size(), -1);
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) partner[i] = static_cast<int>(i);
    if (a.size() == b.size()) return partner;
    const bool grew = b.size() > a.size();
    const auto& shorter = grew ? a : b;
    const auto& longer = grew ? b : a;
    std::vector<int> found;
    std::size_t j = 0;
    for (const ApiParameter& p : shorter) {
        while (j < longer.size() && !equalsIgnoreCase(longer[j].name, p.name)) ++j;
        if (j == longer.size()) return partner;
        found.push_back(static_cast<int>(j++));
    }
    std::fill(partner.begin(), partner.end(), -1);
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (grew)
            partner[i] = found[i];
        else
            partner[static_cast<std::size_t>(found[i])] = static_cast<int>(i);
    }
    return partner;
}

void compareParameters(const ApiDeclaration& a, const ApiDeclaration& b, const MemberSite& site) {
    const std::vector<int> partner = partners(a.parameters, b.parameters);
    std::vector<bool> taken(b.parameters.size(), false);
    for (std::size_t i = 0; i < a.parameters.size(); ++i) {
        const ApiParameter& x = a.parameters[i];
        if (partner[i] < 0) {
            site.tell(ApiVerdict::Breaks, "argument " + quoted(x.name) + " removed");
            continue;
        }
        const ApiParameter& y = b.parameters[static_cast<std::size_t>(partner[i])];
        taken[static_cast<std::size_t>(partner[i])] = true;
        if (!equalsIgnoreCase(passingText(x), passingText(y)))
            site.tell(ApiVerdict::Breaks, "argument " + quoted(y.name) + " changed from " +
                                              passingText(x) + " to " + passingText(y));
        else if (x.value != y.value)
            site.tell(ApiVerdict::Behaviour, "argument " + quoted(y.name) +
                                                 " default changed from " + orNone(x.value) +
                                                 " to " + orNone(y.value));
        if (!equalsIgnoreCase(x.name, y.name))
            site.tell(ApiVerdict::Compatible,
                      "argument " + quoted(x.name) + " renamed to " + quoted(y.name));
    }
    for (std::size_t j = 0; j < b.parameters.size(); ++j)
        if (!taken[j])
            site.tell(ApiVerdict::Breaks, "argument " + quoted(b.parameters[j].name) + " added");
}

// An Enum's values: a new one is compatible, a removed one breaks, a value
// that changed (also by a value inserted before it) changes behaviour.
void compareEnum(const ApiDeclaration& a, const ApiDeclaration& b, const MemberSite& site) {
    const auto before = enumValues(a.parts);
    const auto after = enumValues(b.parts);
    std::map<std::string, std::size_t> old;
    for (std::size_t i = 0; i < a.parts.size(); ++i) old.emplace(toLower(a.parts[i].name), i);
    for (std::size_t i = 0; i < b.parts.size(); ++i) {
        const auto found = old.find(toLower(b.parts[i].name));
        if (found == old.end()) {
            site.tell(ApiVerdict::Compatible, "value " + quoted(b.parts[i].name) + " added",
                      b.parts[i].line);
            continue;
        }
        if (before[found->second] != after[i])
            site.tell(ApiVerdict::Behaviour,
                      "value " + quoted(b.parts[i].name) + " changed from " +
                          before[found->second] + " to " + after[i],
                      b.parts[i].line);
        old.erase(found);
    }
    for (std::size_t i = 0; i < a.parts.size(); ++i)
        if (old.count(toLower(a.parts[i].name)))
            site.tell(ApiVerdict::Breaks, "value " + quoted(a.parts[i].name) + " removed");
}

// A Type's fields make its layout: any change of them breaks.
void compareFields(const ApiDeclaration& a, const ApiDeclaration& b, const MemberSite& site) {
    std::map<std::string, const ApiPart*> old;
    for (const ApiPart& part : a.parts) old.emplace(toLower(part.name), &part);
    std::vector<std::string> kept;
    for (const ApiPart& part : b.parts) {
        const auto found = old.find(toLower(part.name));
        if (found == old.end()) {
            site.tell(ApiVerdict::Breaks, "field " + quoted(part.name) + " added", part.line);
            continue;
        }
        if (!equalsIgnoreCase(found->second->text, part.text))
            site.tell(ApiVerdict::Breaks,
                      "field " + quoted(part.name) + " changed from " +
                          quoted(found->second->text) + " to " + quoted(part.text),
                      part.line);
        kept.push_back(toLower(part.name));
        old.erase(found);
    }
    std::vector<std::string> keptBefore;
    for (const ApiPart& part : a.parts)
        if (old.count(toLower(part.name)))
            site.tell(ApiVerdict::Breaks, "field " + quoted(part.name) + " removed");
        else
            keptBefore.push_back(toLower(part.name));
    if (kept != keptBefore) site.tell(ApiVerdict::Breaks, "fields reordered");
}

void compareMembers(const ApiDeclaration& a, const ApiDeclaration& b, const MemberSite& site) {
    if (a.kind != b.kind) {
        site.tell(ApiVerdict::Breaks, "changed from " + a.kind + " to " + b.kind);
        return;
    }
    if (a.memId != b.memId)
        site.tell(ApiVerdict::Breaks,
                  "VB_UserMemId changed from " + orNone(a.memId) + " to " + orNone(b.memId));
    compareParameters(a, b, site);
    if (b.kind == "Variable" && !equalsIgnoreCase(a.type, b.type))
        site.tell(ApiVerdict::Breaks, "declaration changed from " + quoted(a.name + " " + a.type) +
                                          " to " + quoted(b.name + " " + b.type));
    else if (!equalsIgnoreCase(a.type, b.type))
        site.tell(ApiVerdict::Breaks,
                  std::string(endsWith(b.kind, "Function") ? "return type" : "type") +
                      " changed from " + orNone(a.type) + " to " + orNone(b.type));
    if (b.kind == "Const" && a.value != b.value)
        site.tell(ApiVerdict::Behaviour, "value changed from " + a.value + " to " + b.value);
    else if (a.value != b.value)
        site.tell(ApiVerdict::Breaks,
                  "declaration changed from " + quoted(a.value) + " to " + quoted(b.value));
    if (b.kind == "Enum") compareEnum(a, b, site);
    if (b.kind == "Type") compareFields(a, b, site);
}

// A module's kind and instancing: clients create and reach it through them.
void compareHeads(const ModuleHead& a, const ModuleHead& b, const ApiModule& after,
                  ModuleChanges& changes) {
    if (a.kind != b.kind)
        changes.add(ApiVerdict::Breaks, ApiChangeKind::Changed, after.file, after.line, "",
                    "changed from " + a.kind + " to " + b.kind);
    std::set<std::string> keys;
    for (const auto& [key, value] : a.attributes) keys.insert(key);
    for (const auto& [key, value] : b.attributes) keys.insert(key);
    for (const std::string& key : keys) {
        const auto x = a.attributes.find(key), y = b.attributes.find(key);
        const std::string was = x == a.attributes.end() ? "" : x->second;
        const std::string is = y == b.attributes.end() ? "" : y->second;
        if (!equalsIgnoreCase(was, is))
            changes.add(
                ApiVerdict::Breaks, ApiChangeKind::Changed, after.file, after.line, "",
                "instancing changed: " + key + " from " + orNone(was) + " to " + orNone(is));
    }
}

// descriptions: tell a member whose description changed as well.
Status compareModules(const ApiModule& before, const ApiModule& after, bool binary,
                      bool descriptions, std::vector<ApiChange>& out) {
    const ModuleHead a = moduleHead(before.header);
    const ModuleHead b = moduleHead(after.header);
    ModuleChanges changes(b.name, binary, out);
    compareHeads(a, b, after, changes);
    auto old = indexMembers(before, a.name);
    if (!old) return old.error();
    auto now = indexMembers(after, b.name);
    if (!now) return now.error();
    std::vector<bool> matched(now->declarations.size(), false);
    std::vector<std::size_t> gone;
    for (std::size_t i = 0; i < old->declarations.size(); ++i) {
        const auto found = now->byKey.find(memberKey(old->declarations[i]));
        if (found == now->byKey.end()) {
            gone.push_back(i);
            continue;
        }
        matched[found->second] = true;
        const ApiMember& member = *now->members[found->second];
        const MemberSite site{changes, after.file, member.line,
                              now->declarations[found->second].name};
        compareMembers(old->declarations[i], now->declarations[found->second], site);
        if (descriptions && old->members[i]->description != member.description)
            site.tell(ApiVerdict::Compatible, "description changed");
    }
    for (std::size_t i : gone) {
        const ApiDeclaration& was = old->declarations[i];
        // A member of another kind under the same name: Sub became Function.
        std::size_t j = 0;
        while (j < matched.size() && (matched[j] || was.kind == "Implements" ||
                                      !equalsIgnoreCase(now->declarations[j].name, was.name)))
            ++j;
        if (j < matched.size()) {
            matched[j] = true;
            compareMembers(was, now->declarations[j],
                           {changes, after.file, now->members[j]->line, was.name});
        } else {
            changes.add(ApiVerdict::Breaks, ApiChangeKind::Removed, before.file,
                        old->members[i]->line, was.name, was.kind + " removed");
        }
    }
    // A new member extends the interface; a new Implements changes the class's.
    for (std::size_t j = 0; j < matched.size(); ++j)
        if (!matched[j])
            changes.add(now->declarations[j].kind == "Implements" ? ApiVerdict::Breaks
                                                                  : ApiVerdict::Compatible,
                        ApiChangeKind::Added, after.file, now->members[j]->line,
                        now->declarations[j].name, now->declarations[j].kind + " added");
    return ok();
}

int sectionRank(const std::string& header) {
    const std::string kind = moduleHead(header).kind;
    for (int i = 0; i < 3; ++i)
        if (kind == kModuleWords[i]) return i;
    return 3;
}

using ModuleIndex = std::map<std::string, const ApiModule*>;  // by lower-case name

Expected<ModuleIndex> indexModules(const ApiInterface& api) {
    ModuleIndex index;
    for (const ApiModule& module : api.modules) {
        const std::string name = moduleHead(module.header).name;
        if (!index.emplace(toLower(name), &module).second)
            return errorAt(module.file, module.line, "module '" + name + "' is declared twice");
    }
    return index;
}

const ApiModule* found(const ModuleIndex& index, const std::string& name) {
    const auto at = index.find(name);
    return at == index.end() ? nullptr : at->second;
}

bool binaryModule(const ApiModule& module, const ApiInterface& api) {
    return isActiveXType(api.type) && moduleHead(module.header).kind != "Module";
}

}  // namespace

Expected<ApiDiff> apiDiff(const ApiInterface& before, const ApiInterface& after,
                          bool descriptions) {
    ApiDiff diff;
    if (!equalsIgnoreCase(before.name, after.name))
        diff.notes.push_back("the projects' names differ: " + before.name + " and " + after.name +
                             " (compared anyway)");
    if (!equalsIgnoreCase(before.type, after.type))
        diff.notes.push_back("the project types differ: " + before.type + " and " + after.type +
                             " (compared anyway)");
    const auto oldIndex = indexModules(before);
    if (!oldIndex) return oldIndex.error();
    const auto newIndex = indexModules(after);
    if (!newIndex) return newIndex.error();
    // Report order: section (the old one for a module on both sides), then name.
    std::set<std::pair<int, std::string>> keys;
    for (const auto& [name, module] : oldIndex.value())
        keys.emplace(sectionRank(module->header), name);
    for (const auto& [name, module] : newIndex.value())
        if (!found(oldIndex.value(), name)) keys.emplace(sectionRank(module->header), name);
    for (const auto& key : keys) {
        const ApiModule* a = found(oldIndex.value(), key.second);
        const ApiModule* b = found(newIndex.value(), key.second);
        std::vector<ApiChange> changes;
        if (!b || !a) {
            const ApiModule& module = b ? *b : *a;
            const ModuleHead head = moduleHead(module.header);
            const bool binary = binaryModule(module, b ? after : before);
            ModuleChanges(head.name, binary, changes)
                .add(b ? ApiVerdict::Compatible : ApiVerdict::Breaks,
                     b ? ApiChangeKind::Added : ApiChangeKind::Removed, module.file, module.line,
                     "", head.kind + (b ? " added" : " removed"));
        } else {
            // Clients were compiled against the old interface: its kind decides.
            const Status compared =
                compareModules(*a, *b, binaryModule(*a, before),
                               descriptions && before.described && after.described, changes);
            if (!compared) return compared.error();
        }
        std::stable_sort(changes.begin(), changes.end(),
                         [](const ApiChange& x, const ApiChange& y) {
                             return toLower(x.member) < toLower(y.member);
                         });
        diff.changes.insert(diff.changes.end(), changes.begin(), changes.end());
    }
    return diff;
}

const char* verdictWord(ApiVerdict verdict) {
    switch (verdict) {
        case ApiVerdict::Breaks:
            return "breaks";
        case ApiVerdict::Behaviour:
            return "behaviour";
        case ApiVerdict::Compatible:
            return "compatible";
        case ApiVerdict::NotBinary:
            break;
    }
    return "not binary";
}

const char* verdictText(ApiVerdict verdict) {
    switch (verdict) {
        case ApiVerdict::Breaks:
            return "breaks binary compatibility";
        case ApiVerdict::Behaviour:
            return "compatible, but clients compiled against the old value keep it";
        case ApiVerdict::Compatible:
            return "compatible";
        case ApiVerdict::NotBinary:
            break;
    }
    return "no binary interface";
}

const char* changeWord(ApiChangeKind kind) {
    return kind == ApiChangeKind::Added     ? "added"
           : kind == ApiChangeKind::Removed ? "removed"
                                            : "changed";
}

}  // namespace tarnwick
