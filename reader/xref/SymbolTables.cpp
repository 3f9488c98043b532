#include "reader/xref/SymbolTables.h"

#include <algorithm>

#include "reader/xref/Lexer.h"
#include "reader/xref/Words.h"
#include "support/Text.h"

namespace tarnwick::xref {

namespace {

size_t findNoCaseWord(std::string_view text, std::string_view word) {
    const std::string lower = toLower(text);
    for (size_t at = lower.find(word); at != std::string::npos; at = lower.find(word, at + 1)) {
        const bool before = at == 0 || !identChar(lower[at - 1]);
        const bool after = at + word.size() >= lower.size() || !identChar(lower[at + word.size()]);
        if (before && after) return at;
    }
    return std::string::npos;
}

// Whether the declaration text writes name with "(" after it (and its type
// character): an array.
bool declaredAsArray(std::string_view text, std::string_view name) {
    const std::string word = key(name);
    const size_t at = findNoCaseWord(text, word);
    if (at == std::string::npos) return false;
    size_t i = at + word.size();
    while (i < text.size() && std::string_view("$%&!#@ ").find(text[i]) != std::string_view::npos)
        ++i;
    return i < text.size() && text[i] == '(';
}

// The one target of a name's list, if exactly one.
Target single(const std::unordered_map<std::string, std::vector<Target>>& table,
              std::string_view name) {
    const auto found = table.find(key(name));
    if (found == table.end() || found->second.size() != 1) return {};
    return found->second.front();
}

void addOnce(std::vector<Target>& list, const CModule& module, const Element& e) {
    if (std::none_of(list.begin(), list.end(),
                     [&](const Target& t) { return t.module == &module; }))
        list.push_back({&module, &e});
}

}  // namespace

bool isVisibleOutside(const Element& e) {
    if (e.scope() == scope::Private) return false;
    const ElementKind k = e.Kind();
    if (k == ElementKind::Variable || k == ElementKind::Constant)
        return e.scope() == scope::Public || e.scope() == scope::Global;
    return true;
}

bool isExposed(const CModule& m) {
    return (m.Kind() == ModuleKind::Class || m.Kind() == ModuleKind::UserControl) &&
           equalsIgnoreCase(m.Attributes()->item("VB_Exposed", ""), "True");
}

bool isGlobalClass(const CModule& m) {
    return m.Kind() == ModuleKind::Class && isExposed(m) &&
           equalsIgnoreCase(m.Attributes()->item("VB_GlobalNameSpace", ""), "True");
}

bool isFormLike(const CModule& m) { return isDesignedKind(m.Kind()); }

ProjectSymbols::ProjectSymbols(const CProject& project, std::vector<Library> libraries)
    : m_libraries(std::move(libraries)), m_name(project.value("Name")) {
    for (const ModuleKind kind :
         {ModuleKind::Class, ModuleKind::Form, ModuleKind::Module, ModuleKind::PropertyPage,
          ModuleKind::UserControl, ModuleKind::UserDocument, ModuleKind::Designer}) {
        for (const auto& module : project.listOfKind(kind)->elements()) {
            modules.push_back(module.get());
            auto [it, added] = m_moduleNames.try_emplace(key(module->Name()), module.get());
            if (!added) it->second = nullptr;  // two modules of one name
        }
    }
    for (const CModule* module : modules) add(*module);
}

void ProjectSymbols::file(const CModule& module, ModuleSymbols& s, const Element& e) {
    const ElementKind kind = e.Kind();
    const std::string name = key(e.Name());
    const bool isType = kind == ElementKind::Type || kind == ElementKind::Enum;
    const auto [first, added] =
        (kind == ElementKind::Type ? s.types : s.members).try_emplace(name, &e);
    if (!added && first->second->Kind() == kind) s.aliases.try_emplace(&e, first->second);
    if (kind == ElementKind::Enum) s.types.try_emplace(name, &e);
    if (!isVisibleOutside(e) || kind == ElementKind::Event) return;
    if (kind == ElementKind::Enum || (module.Kind() == ModuleKind::Module && !isType))
        addOnce(m_globals[name], module, e);
    if (kind == ElementKind::Enum || (module.Kind() == ModuleKind::Module && isType))
        addOnce(m_globalTypes[name], module, e);
    else if (kind == ElementKind::Type)
        addOnce(m_classTypes[name], module, e);
}

namespace {

void addControls(const DesignControl& parent, ModuleSymbols& s) {
    for (const DesignControl& child : parent.children) {
        if (!child.name.empty()) s.controls.try_emplace(key(child.name), &child);
        addControls(child, s);
    }
}

}  // namespace

void ProjectSymbols::add(const CModule& module) {
    ModuleSymbols& s = m_symbols[&module];
    if (module.Design() && isFormLike(module)) addControls(module.Design()->form, s);
    for (const auto& e : module.Functions().elements()) file(module, s, *e);
    for (const auto& e : module.Subroutines().elements()) file(module, s, *e);
    for (const auto& e : module.Properties().elements()) file(module, s, *e);
    for (const auto& e : module.Variables().elements()) {
        file(module, s, *e);
        if (declaredAsArray(e->Syntax(), e->Name())) s.arrays.insert(e.get());
        if (findNoCaseWord(e->Syntax(), "withevents") != std::string::npos)
            s.withEvents.push_back(e.get());
    }
    for (const auto& e : module.Constants().elements()) file(module, s, *e);
    for (const auto& e : module.Declarations().elements()) file(module, s, *e);
    for (const auto& e : module.Enums().elements()) file(module, s, *e);
    for (const auto& e : module.Types().elements()) file(module, s, *e);
    for (const auto& e : module.Events().elements()) file(module, s, *e);
    if (isGlobalClass(module)) {
        const auto global = [&](const auto& list) {
            for (const auto& e : list.elements())
                if (isVisibleOutside(*e) && e->scope() != scope::Friend)
                    addOnce(m_globalClassMembers[key(e->Name())], module, *e);
        };
        global(module.Functions());
        global(module.Subroutines());
        global(module.Properties());
        global(module.Variables());
    }
    for (const auto& e : module.Enums().elements()) {
        const bool visible = e->scope() != scope::Private;
        for (const auto& value : e->Variables()->elements()) {
            const std::string name = key(value->Name());
            auto [it, added] = s.enumValues.try_emplace(name, e.get());
            if (!added && it->second != e.get()) it->second = nullptr;
            if (visible) m_globals[name].push_back({&module, e.get()});
        }
    }
}

const CModule* ProjectSymbols::moduleNamed(std::string_view name) const {
    const auto found = m_moduleNames.find(key(name));
    return found == m_moduleNames.end() ? nullptr : found->second;
}

const CModule* ProjectSymbols::classNamed(std::string_view dataType) const {
    dataType = trimSpaces(dataType);
    if (endsWith(dataType, "()")) dataType.remove_suffix(2);
    if (const size_t dot = dataType.find('.'); dot != std::string_view::npos) {
        // "Ledger.CAccount" in Ledger names its own class.
        if (m_name.empty() || !equalsIgnoreCase(dataType.substr(0, dot), m_name))
            return libraryClass(dataType);
        dataType = dataType.substr(dot + 1);
    }
    // A module of the project's own, even one that is no class, hides a library's class.
    if (m_moduleNames.count(key(dataType))) {
        const CModule* m = moduleNamed(dataType);
        return m && m->Kind() != ModuleKind::Module ? m : nullptr;
    }
    return libraryClass(dataType);
}

const ProjectSymbols& ProjectSymbols::home(const CModule& m) const {
    if (m_libraries.empty() || m_symbols.count(&m)) return *this;
    for (const Library& library : m_libraries)
        if (library.symbols->m_symbols.count(&m)) return *library.symbols;
    return *this;
}

bool ProjectSymbols::reachable(const CModule& owner, const Element& e) const {
    if (!isVisibleOutside(e)) return false;
    // Friend reaches the modules of its own project only.
    return &home(owner) == this || (isExposed(owner) && e.scope() != scope::Friend);
}

const CModule* ProjectSymbols::libraryClass(std::string_view dataType) const {
    std::string_view project;
    if (const size_t dot = dataType.find('.'); dot != std::string_view::npos) {
        project = dataType.substr(0, dot);
        dataType = dataType.substr(dot + 1);
    }
    for (const Library& library : m_libraries) {
        if (!project.empty() && !equalsIgnoreCase(project, library.name)) continue;
        const CModule* m = library.symbols->moduleNamed(dataType);
        if (m && isExposed(*m)) return m;
    }
    return nullptr;
}

std::vector<Target> ProjectSymbols::shownAs(const std::string& name, bool types) const {
    std::vector<Target> found;
    const auto pick = [&](const std::unordered_map<std::string, std::vector<Target>>& table) {
        const auto at = table.find(name);
        if (at == table.end()) return;
        for (const Target& t : at->second)
            if (isExposed(*t.module)) found.push_back(t);
    };
    if (types) {
        pick(m_globalTypes);
        pick(m_classTypes);
    } else {
        pick(m_globals);
        pick(m_globalClassMembers);
    }
    return found;
}

Target ProjectSymbols::libraryName(std::string_view name, bool types) const {
    const std::string wanted = key(name);
    for (const Library& library : m_libraries) {
        const std::vector<Target> found = library.symbols->shownAs(wanted, types);
        if (!found.empty()) return found.size() == 1 ? found.front() : Target{};
    }
    return {};
}

const ProjectSymbols* ProjectSymbols::libraryNamed(std::string_view name) const {
    for (const Library& library : m_libraries)
        if (equalsIgnoreCase(library.name, name)) return library.symbols;
    return nullptr;
}

bool ProjectSymbols::namesProject(std::string_view name) const {
    return !m_name.empty() && equalsIgnoreCase(name, m_name);
}

Target ProjectSymbols::global(std::string_view name) const {
    if (m_libraries.empty() || m_globals.count(key(name))) return single(m_globals, name);
    return libraryName(name, false);
}

bool ProjectSymbols::isGlobal(std::string_view name) const {
    return m_globals.count(key(name)) != 0;
}

Target ProjectSymbols::globalType(std::string_view name) const {
    if (m_libraries.empty() || m_globalTypes.count(key(name))) return single(m_globalTypes, name);
    return libraryName(name, true);
}

Container ProjectSymbols::typeOf(const CModule& scope, std::string_view dataType) const {
    // A library's declaration means what it means in the library.
    if (const ProjectSymbols& h = home(scope); &h != this) return h.typeOf(scope, dataType);
    const CModule* type = classNamed(dataType);
    dataType = trimSpaces(dataType);
    if (endsWith(dataType, "()") || dataType.find('.') != std::string_view::npos) {
        return type ? Container{Container::Kind::Instance, type, nullptr} : Container{};
    }
    Target record;
    const auto& own = of(scope).types;
    if (const auto found = own.find(key(dataType)); found != own.end())
        record = {&scope, found->second};
    else
        record = globalType(dataType);
    if (record.element && record.element->Kind() != ElementKind::Type) record = {};
    if (type && record.element) return {};  // a class and a Type of one name: not certain
    if (type) return {Container::Kind::Instance, type, nullptr};
    if (record.element) return {Container::Kind::Record, record.module, record.element};
    return {};
}

Container ProjectSymbols::containerOfModule(const CModule& m) const {
    if (m.Kind() == ModuleKind::Module) return {Container::Kind::Static, &m, nullptr};
    if (m.Kind() == ModuleKind::Form) return {Container::Kind::Instance, &m, nullptr};
    if (m.Kind() == ModuleKind::Class &&
        equalsIgnoreCase(m.Attributes()->item("VB_PredeclaredId", ""), "True"))
        return {Container::Kind::Instance, &m, nullptr};
    return {};
}

Value ProjectSymbols::valueOf(const CModule& owner, const Element& e) const {
    switch (e.Kind()) {
        case ElementKind::Variable: {
            const Container c = typeOf(owner, e.DataType());
            return of(owner).arrays.count(&e) ? Value{{}, c} : Value{c, {}};
        }
        case ElementKind::Function:
        case ElementKind::Property: {
            const auto returns = e.Returns();
            const Container c = returns ? typeOf(owner, returns->DataType()) : Container{};
            return {c, c};
        }
        case ElementKind::Enum:
            return {{Container::Kind::Enum, &owner, &e}, {}};
        default:
            return {};
    }
}

const DesignControl* ProjectSymbols::controlOf(const CModule& module, std::string_view name) const {
    const auto& controls = of(module).controls;
    if (controls.empty()) return nullptr;  // no design: most modules
    const auto found = controls.find(key(name));
    return found == controls.end() ? nullptr : found->second;
}

Value ProjectSymbols::valueOf(const DesignControl& control) const {
    if (equalsIgnoreCase(control.library, "VB")) return {};
    const CModule* m = moduleNamed(control.className);
    if (m == nullptr && !control.library.empty())
        m = libraryClass(control.library + "." + control.className);
    if (m == nullptr || m->Kind() != ModuleKind::UserControl) return {};
    const Container c{Container::Kind::Instance, m, nullptr};
    return {c, c};
}

Member ProjectSymbols::memberOf(const Container& c, std::string_view name,
                                const CModule& from) const {
    switch (c.kind) {
        case Container::Kind::None:
            return {};
        case Container::Kind::Library: {
            // "StrLib.Name": what the library shows under the name, a value.
            const std::vector<Target> found = c.library->shownAs(key(name), false);
            if (found.size() != 1) return {};
            const Target& t = found.front();
            if (t.element->Kind() == ElementKind::Enum && key(t.element->Name()) != key(name))
                return {t, {}};  // an Enum value
            return {t, valueOf(*t.module, *t.element)};
        }
        case Container::Kind::Project: {
            // "Ledger.modLedger" is the module; "Ledger.Post" the public
            // member of a standard module, never one of a referenced project.
            if (const CModule* m = moduleNamed(name)) return {{}, {containerOfModule(*m), {}}};
            const Target t = single(m_globals, name);
            if (!t.element) return {};
            if (t.element->Kind() == ElementKind::Enum && key(t.element->Name()) != key(name))
                return {t, {}};  // an Enum value
            return {t, valueOf(*t.module, *t.element)};
        }
        case Container::Kind::Enum:
            for (const auto& value : c.element->Variables()->elements())
                if (key(value->Name()) == key(name)) return {{c.module, c.element}, {}};
            return {};
        case Container::Kind::Record:
            for (const auto& field : c.element->Variables()->elements()) {
                if (key(field->Name()) != key(name)) continue;
                const Container type = typeOf(*c.module, field->DataType());
                const bool array = declaredAsArray(field->Source(), field->Name());
                return {{}, array ? Value{{}, type} : Value{type, {}}};
            }
            return {};
        default:
            break;
    }
    const auto& members = of(*c.module).members;
    const auto found = members.find(key(name));
    if (found == members.end()) {
        // A form's controls are public; a user control's are its own, as
        // are a library's.
        const DesignControl* control = controlOf(*c.module, name);
        if (!control || &home(*c.module) != this ||
            (c.module != &from && c.module->Kind() != ModuleKind::Form))
            return {};
        return {{}, valueOf(*control), control};
    }
    const Element& e = *found->second;
    const bool own = c.module == &from && c.kind == Container::Kind::Static;
    if (!own && !reachable(*c.module, e)) return {};
    const ElementKind k = e.Kind();
    if (k == ElementKind::Event) return {};
    if (c.kind == Container::Kind::Instance &&
        (k == ElementKind::Constant || k == ElementKind::Declaration || k == ElementKind::Enum))
        return {};
    return {{c.module, &e}, valueOf(*c.module, e)};
}

}  // namespace tarnwick::xref
