#include "generator/analysis/Unused.h"

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "generator/settings/GenerationSettings.h"
#include "model/CHelper.h"
#include "model/CProject.h"
#include "model/ReferenceIndex.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

// Whether the project starts with Sub Main (Startup="Sub Main"); VB6 writes
// the key as "Startup", an edited file may spell it otherwise.
bool startsWithSubMain(const CProject& project) {
    const ListMap& properties = project.Properties();
    for (int i = 0; i <= properties.Size(); ++i)
        if (equalsIgnoreCase(properties.Key(i), "Startup"))
            return equalsIgnoreCase(trimSpaces(unquote(trimSpaces(properties.value(i)))),
                                    "Sub Main");
    return false;
}

bool isNameByte(char c) {
    const auto u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || c == '_' ||
           u >= 0x80;  // letters of the code page, in UTF-8
}

// The words after which a name is declared, not used ("Sub Old", "Private
// m_Old As Long", "Property Get Old").
bool declares(const std::string& word, const std::string& before) {
    static const std::set<std::string, std::less<>> words = {
        "sub",    "function", "const",  "type",   "enum",   "event",     "dim",
        "public", "private",  "global", "static", "friend", "withevents"};
    if (words.count(word)) return true;
    return before == "property" && (word == "get" || word == "let" || word == "set");
}

// Adds to names (lower case) the names line uses: strings and comments are
// skipped, as are names after '.' (members of something else) and the names
// the line declares.
void addUsedNames(std::string_view line, std::set<std::string>& names) {
    std::string last, before;  // the two words before, lower case
    bool afterDot = false;
    for (size_t i = 0; i < line.size();) {
        const char c = line[i];
        if (c == '"') {
            const size_t close = line.find('"', i + 1);
            i = close == std::string_view::npos ? line.size() : close + 1;
            last.clear();
        } else if (c == '\'') {
            return;
        } else if (c == '&' && i + 1 < line.size() && isNameByte(line[i + 1])) {
            while (++i < line.size() && isNameByte(line[i])) {
            }  // &HFF, &O17
        } else if (c == '[' || isNameByte(c)) {
            const bool bracketed = c == '[';
            const size_t start = bracketed ? i + 1 : i;
            size_t end = bracketed ? line.find(']', start) : start;
            if (end == std::string_view::npos) end = line.size();
            if (!bracketed)
                while (end < line.size() && isNameByte(line[end])) ++end;
            std::string word = toLower(line.substr(start, end - start));
            i = bracketed && end < line.size() ? end + 1 : end;
            if (word == "rem" && last.empty() && before.empty()) return;
            if (!afterDot && !declares(last, before)) names.insert(word);
            before = std::move(last);
            last = std::move(word);
            afterDot = false;
        } else {
            if (c != ' ' && c != '\t') {
                afterDot = c == '.';
                last.clear();
                before.clear();
            }
            ++i;
        }
    }
}

// The names (lower case) that the lines of module an #If leaves out use;
// empty when the compiler sees every line. The directive lines themselves
// name conditional constants, not members.
std::set<std::string> namesWhereOff(const CModule& module) {
    std::set<std::string> names;
    const auto& compiled = module.CompiledLines();
    if (!compiled) return names;
    const std::vector<std::string_view> lines = splitLines(module.Source());
    auto seen = compiled->begin();
    for (size_t i = 0; i < lines.size(); ++i) {
        while (seen != compiled->end() && *seen < static_cast<int32_t>(i)) ++seen;
        if (seen != compiled->end() && *seen == static_cast<int32_t>(i)) continue;
        const std::string_view code = trimBlanks(lines[i]);
        if (!code.empty() && code.front() != '#') addUsedNames(code, names);
    }
    return names;
}

class ModuleUse {
public:
    ModuleUse(const CProject& project, const CModule& module, bool subMainStarts)
        : m_module(module) {
        for (const Reference* r : project.crossReferences().intoModule(module))
            if (r->fromModule == &module) m_used.insert(toLower(r->to->Name()));
        if (subMainStarts && module.Kind() == ModuleKind::Module) m_used.insert("main");
        m_whereOff = namesWhereOff(module);
    }

    void check(const IIterator& list, const char* word, bool routine) {
        for (const auto& item : list.Items()) {
            const auto* e = dynamic_cast<const Element*>(item.get());
            if (!e || e->scope() != scope::Private) continue;
            const std::string name = toLower(e->Name());
            if (m_used.count(name) || !m_told.insert(name).second) continue;
            if (routine && isCalledByVb(e->Name())) continue;
            const std::string what = std::string("Private ") + word + " '" + e->Name() + "'";
            if (m_whereOff.count(name))
                m_findings.push_back(findingAt(m_module, *e, FindingKind::UsedOnlyWhereOff,
                                               what + " is used only where #If is off"));
            else
                m_findings.push_back(findingAt(m_module, *e, FindingKind::Unused,
                                               what + " is not used in its module"));
        }
    }

    std::vector<Finding> take() {
        sortByLine(m_findings);
        return std::move(m_findings);
    }

private:
    // A routine VB6 calls: the handler of an event of a control, menu entry
    // or WithEvents variable of the module or of the module itself, or a
    // member of an interface the module implements. A module whose design
    // could not be read, and a designer, keep every name with an underscore.
    bool isCalledByVb(std::string_view name) const {
        if (name.find('_') == std::string_view::npos) return false;
        // A designer's objects (connections, commands, report sections) sit
        // in property groups the design does not read: any of its names with
        // an underscore may handle one of their events.
        if (m_module.Kind() == ModuleKind::Designer) return true;
        if (isDesignedKind(m_module.Kind()) && m_module.Design() == nullptr) return true;
        if (handledEvent(m_module.Design().get(), m_module.Kind(), name)) return true;
        const auto prefixed = [&](std::string_view object) {
            return name.size() > object.size() + 1 && name[object.size()] == '_' &&
                   startsWithIgnoreCase(name, object);
        };
        for (const auto& i : m_module.Implementations().elements())
            if (prefixed(i->Name())) return true;
        for (const auto& v : m_module.Variables().elements())
            if (prefixed(v->Name()) && toLower(v->Syntax()).find("withevents") != std::string::npos)
                return true;
        return false;
    }

    const CModule& m_module;
    std::set<std::string> m_used;      // lower-case names the module's code names
    std::set<std::string> m_whereOff;  // ... and those its inactive lines name
    std::set<std::string> m_told;
    std::vector<Finding> m_findings;
};

}  // namespace

std::vector<Finding> findUnused(const CProject& project, const GenerationSettings& settings) {
    std::vector<Finding> findings;
    const bool subMainStarts = startsWithSubMain(project);
    for (const CModule* module : checkedModules(project, settings)) {
        ModuleUse use(project, *module, subMainStarts);
        for (const ElementKind kind : kCheckOrder) {
            if (kind == ElementKind::Event) continue;  // VB6 has no Private Event
            const bool routine = kind == ElementKind::Subroutine || kind == ElementKind::Function ||
                                 kind == ElementKind::Property;
            use.check(*module->listOf(kind), kindTraits(kind).statement, routine);
        }
        for (Finding& f : use.take()) findings.push_back(std::move(f));
    }
    return findings;
}

}  // namespace tarnwick
