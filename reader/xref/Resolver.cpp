#include "reader/xref/Resolver.h"

#include <optional>
#include <type_traits>

#include "model/CProperty.h"
#include "reader/xref/Words.h"
#include "support/Text.h"

namespace tarnwick::xref {

namespace {

bool isScopeWord(const Token& t) {
    return is(t, "Public") || is(t, "Private") || is(t, "Friend") || is(t, "Global");
}

// Where the routine's name is in a header statement, or npos.
size_t headerName(const Statement& s) {
    size_t i = 0;
    while (i < s.size() && (isScopeWord(s[i]) || is(s[i], "Static"))) ++i;
    if (i >= s.size()) return npos;
    if (is(s[i], "Sub") || is(s[i], "Function")) return i + 1 < s.size() ? i + 1 : npos;
    if (is(s[i], "Property") && i + 2 < s.size() &&
        (is(s[i + 1], "Get") || is(s[i + 1], "Let") || is(s[i + 1], "Set")))
        return i + 2;
    return npos;
}

bool isHeader(const Statement& s) {
    const size_t at = headerName(s);
    return at != npos && s[at].kind == Tok::Ident;
}

bool isRoutineEnd(const Statement& s) {
    return s.size() >= 2 && is(s[0], "End") &&
           (is(s[1], "Sub") || is(s[1], "Function") || is(s[1], "Property"));
}

}  // namespace

// Where walk() is in a statement and what the expression so far gives.
struct ModuleResolver::Walk {
    Walk(const Statement& statement, size_t start, bool typesAfterAs)
        : s(statement), from(start), asIsType(typesAfterAs) {}

    const Statement& s;
    const size_t from;
    const bool asIsType;  // a name after As is a type (not in Open ... As #1)
    size_t i = 0;
    Value last;  // what the name or ")" just read gives
    bool lastValid = false;
    bool labels = false;         // after GoTo, GoSub, Resume: the names are labels
    bool typeOfPending = false;  // after TypeOf, until its Is
    bool dot = false;
    Container dotContainer;
    std::vector<Container> parens;  // what each open "(" gives once closed

    // At the statement's first word, or after Then or Else of a one-line If.
    bool statementStart() const {
        return i == from || (i > from && (is(s[i - 1], "Then") || is(s[i - 1], "Else")));
    }
};

ModuleResolver::ModuleResolver(const ProjectSymbols& symbols, const CModule& module,
                               std::vector<Reference>& out, std::vector<DesignUse>& uses)
    : m_symbols(symbols),
      m_module(module),
      m_own(symbols.of(module)),
      m_out(out),
      m_first(out.size()),
      m_uses(uses),
      m_firstUse(uses.size()),
      m_scope(symbols, module) {}

void ModuleResolver::run() {
    StatementReader reader{Lexer(m_module)};
    Statement s;
    std::optional<StatementReader::Mark> header;  // of the routine being read
    const Element* routine = nullptr;
    size_t count = 0;  // statements of the routine so far
    while (!truncated() && reader.next(s)) {
        if (!header) {
            // A Type's field may be spelled like a keyword ("sUB As Long").
            if (m_block == Block::None && isHeader(s)) {
                header = reader.last();
                routine = elementOfHeader(s);
                m_kept.clear();
                if (routine) {
                    m_from = routine;
                    m_scope.begin(*routine);
                    m_with.clear();
                    m_kept.keep(s);
                }
                count = 1;
            } else {
                moduleLevel(s);
            }
            continue;
        }
        if (isRoutineEnd(s)) {
            if (routine) resolveRoutine(reader, *header, count);
            header.reset();
            m_scope.clear();
            continue;
        }
        if (routine) {
            m_scope.declareLocals(s);
            m_kept.keep(s);
        }
        ++count;
    }
    if (header && routine && !truncated()) resolveRoutine(reader, *header, count);
    m_lineCut = reader.cut();
}

void ModuleResolver::KeptRoutine::clear() {
    tokens.clear();
    statements.clear();
    whole = true;
}

void ModuleResolver::KeptRoutine::keep(const Statement& s) {
    if (!whole) return;
    if (tokens.size() + s.size() > kKeptTokens) {
        clear();
        whole = false;
        return;
    }
    statements.emplace_back(tokens.size(), s.size());
    tokens.insert(tokens.end(), s.begin(), s.end());
}

// A statement outside the routines: the values and types of the module's
// declarations are code too (a Const built from another, an array bounded
// by a Const, a variable of a private Type).
void ModuleResolver::moduleLevel(const Statement& s) {
    if (s.empty()) return;
    if (m_block != Block::None) return blockLine(s);
    size_t i = 0;
    while (i < s.size() && isScopeWord(s[i])) ++i;
    if (i >= s.size()) return;
    if (is(s[i], "Enum")) {
        m_block = Block::Enum;
    } else if (is(s[i], "Type")) {
        m_block = Block::Type;
    } else if (is(s[i], "Declare") || is(s[i], "Event")) {
        // Parameter names are no code: only their types and defaults.
        for (size_t n = i + 1; n < s.size(); ++n)
            if (isPunct(s[n], "(")) return walkHeader(s, n);
    } else if (is(s[i], "Dim") || is(s[i], "Const") || is(s[i], "WithEvents") ||
               (i > 0 && s[i].kind == Tok::Ident && !isReservedWord(key(s[i].text)))) {
        const size_t from = is(s[i], "Dim") || is(s[i], "Const") ? i + 1 : i;
        m_scope.declare(s, from);
        m_scope.forgetNames();  // the names are the module's own members
        walk(s, from, true);
        m_scope.forgetDeclarations();
    }
}

// A line inside Enum or Type: an Enum value's expression, a field's type.
void ModuleResolver::blockLine(const Statement& s) {
    if (is(s[0], "End")) {
        m_block = Block::None;
    } else if (m_block == Block::Enum) {
        for (size_t i = 0; i < s.size(); ++i)
            if (isPunct(s[i], "=")) {
                walk(s, i + 1, false);
                break;
            }
    } else {
        walk(s, 1, true);
    }
}

// The model's element for a header: the routine of that kind and name
// (for a property, of that accessor).
const Element* ModuleResolver::elementOfHeader(const Statement& s) const {
    const size_t at = headerName(s);
    const std::string name = key(s[at].text);
    const Token& word = s[at - 1];
    auto find = [&](const auto& list) -> const Element* {
        for (const auto& e : list.elements()) {
            if (key(e->Name()) != name) continue;
            if constexpr (std::is_same_v<std::decay_t<decltype(*e)>, CProperty>) {
                const int way = is(word, "Get") ? way::Get : is(word, "Set") ? way::Set : way::Let;
                if (e->Way() != way) continue;
            }
            return e.get();
        }
        return nullptr;
    };
    if (is(word, "Sub")) return find(m_module.Subroutines());
    if (is(word, "Function")) return find(m_module.Functions());
    return find(m_module.Properties());
}

// The routine's count statements from header on, second time through,
// their names resolved: as kept, else read again (reader goes on where it was).
void ModuleResolver::resolveRoutine(StatementReader& reader, const StatementReader::Mark& header,
                                    size_t count) {
    if (m_kept.whole) {
        for (size_t i = 0; i < m_kept.statements.size() && !truncated(); ++i) {
            const auto [first, size] = m_kept.statements[i];
            resolveStatement(Statement(m_kept.tokens.data() + first, size), i == 0);
        }
    } else {
        const StatementReader::Mark after = reader.here();
        reader.reset(header);
        Statement s;
        for (size_t i = 0; i < count && !truncated() && reader.next(s); ++i)
            resolveStatement(s, i == 0);
        reader.reset(after);
    }
    m_kept.clear();
    m_from = nullptr;
}

void ModuleResolver::resolveStatement(const Statement& s, bool header) {
    if (!header) return walkStatement(s);
    // The header: the Implements or event routine it is, its types and defaults.
    const size_t nameAt = headerName(s);
    linkHandledMember(s[nameAt]);
    walkHeader(s, nameAt + 1);
}

void ModuleResolver::emit(const Token& t, const CModule& toModule, const Element& to) {
    // One member per name: a property's accessors share their page.
    const auto& aliases = (&toModule == &m_module ? m_own : m_symbols.of(toModule)).aliases;
    const Element* canonical = &to;
    if (const auto found = aliases.find(&to); found != aliases.end()) canonical = found->second;
    if (truncated()) return;
    m_out.push_back({&m_module, m_from, &toModule, canonical, t.line, t.column, t.length});
}

void ModuleResolver::emitUse(const Token& t, const CModule& toModule,
                             const DesignControl* control) {
    if (m_uses.size() - m_firstUse >= kMaxReferencesPerModule) return;
    m_uses.push_back({&m_module, m_from, &toModule, control, t.line, t.column, t.length});
}

// "IFoo_Bar" of a class implementing IFoo names IFoo.Bar; "var_Event" of a
// WithEvents variable of a class, or "ctl_Event" of a control that is a
// project user control, names the class's event.
void ModuleResolver::linkHandledMember(const Token& name) {
    const std::string routine = key(name.text);
    Target best;
    size_t bestLength = 0;
    auto consider = [&](std::string_view prefix, const CModule* target, bool events) {
        const std::string p = key(prefix) + "_";
        if (!target || routine.size() <= p.size() || routine.compare(0, p.size(), p) != 0 ||
            p.size() <= bestLength)
            return;
        const auto& members = m_symbols.of(*target).members;
        const auto found = members.find(routine.substr(p.size()));
        if (found == members.end() || !m_symbols.reachable(*target, *found->second)) return;
        if ((found->second->Kind() == ElementKind::Event) != events) return;
        best = {target, found->second};
        bestLength = p.size();
    };
    for (const auto& i : m_module.Implementations().elements()) {
        // "Implements Lib.IFoo" names its routines "IFoo_Bar".
        const std::string_view name = i->Name();
        const size_t dot = name.rfind('.');
        consider(dot == npos ? name : name.substr(dot + 1), m_symbols.classNamed(name), false);
    }
    for (const Element* v : m_own.withEvents)
        consider(v->Name(), m_symbols.classNamed(v->DataType()), true);
    if (!m_own.controls.empty())
        for (size_t at = routine.find('_'); at != npos; at = routine.find('_', at + 1))
            if (const DesignControl* c = m_symbols.controlOf(m_module, routine.substr(0, at)))
                consider(c->name, m_symbols.valueOf(*c).bare.module, true);
    if (best.element) emit(name, *best.module, *best.element);
}

Value ModuleResolver::valueOf(const CModule& owner, const Element& e) {
    const auto [known, added] = m_values.try_emplace(&e);
    if (added) known->second = m_symbols.valueOf(owner, e);
    return known->second;
}

// The binding of s[i] when nothing qualifies it; answers its value.
Value ModuleResolver::unqualified(const Statement& s, size_t i, bool statementStart) {
    const Token& t = s[i];
    const std::string name = key(t.text);
    if (is(t, "Me")) {
        if (m_module.Kind() == ModuleKind::Module) return {};
        return {{Container::Kind::Instance, &m_module, nullptr}, {}};
    }
    if (isReservedWord(name) || (statementStart && isStatementSyntax(name))) return {};
    if (const Local* local = m_scope.find(name)) return localValue(s, i, *local, statementStart);
    if (const DesignControl* control = m_symbols.controlOf(m_module, name)) {
        emitUse(t, m_module, control);
        return m_symbols.valueOf(*control);
    }
    if (const auto own = m_own.members.find(name); own != m_own.members.end()) {
        if (own->second->Kind() == ElementKind::Event) return {};
        emit(t, m_module, *own->second);
        return valueOf(m_module, *own->second);
    }
    if (const auto value = m_own.enumValues.find(name); value != m_own.enumValues.end()) {
        if (value->second) emit(t, m_module, *value->second);
        return {};
    }
    if (const CModule* module = m_symbols.moduleNamed(name)) return moduleName(t, *module);
    if (isFormLike(m_module) && isObjectWord(name)) return {};
    const Target g = m_symbols.global(name);
    if (!g.element) {
        // A referenced project's name qualifies what it shows: "StrLib.Name";
        // the project's own name its own modules and members.
        if (const ProjectSymbols* library = m_symbols.libraryNamed(name))
            return {{Container::Kind::Library, nullptr, nullptr, library}, {}};
        if (m_symbols.namesProject(name)) return {{Container::Kind::Project, nullptr, nullptr}, {}};
        return {};
    }
    emit(t, *g.module, *g.element);
    if (g.element->Kind() == ElementKind::Enum && key(g.element->Name()) != name)
        return {};  // an Enum value
    return valueOf(*g.module, *g.element);
}

// A local's value; the routine's own name with arguments after it (not as
// the target of an assignment) calls the routine again.
Value ModuleResolver::localValue(const Statement& s, size_t i, const Local& local,
                                 bool statementStart) {
    const bool call = local.routine && !statementStart && i + 2 < s.size() &&
                      isPunct(s[i + 1], "(") && !s[i + 1].spaceBefore && !isPunct(s[i + 2], ")");
    if (call) emit(s[i], m_module, *local.routine);
    if (local.isArray) return {{}, local.value};
    return {local.value, call ? local.value : Container{}};
}

// A module's name: the module used as a value. Where a public variable of a
// standard module shares the name of a class that has no default instance
// ("Public CFoo As New CFooStatic" beside class CFoo), it is that variable.
Value ModuleResolver::moduleName(const Token& t, const CModule& module) {
    if (!m_symbols.isGlobal(t.text)) {
        if (module.Kind() == ModuleKind::Form) emitUse(t, module, nullptr);
        return {m_symbols.containerOfModule(module), {}};
    }
    const Target g = m_symbols.global(t.text);
    if (!g.element || g.element->Kind() != ElementKind::Variable ||
        module.Kind() != ModuleKind::Class ||
        m_symbols.containerOfModule(module).kind != Container::Kind::None)
        return {};
    emit(t, *g.module, *g.element);
    return valueOf(*g.module, *g.element);
}

// A type after As or TypeOf ... Is: a Type or Enum of this module, else
// a public one.
void ModuleResolver::typeName(const Token& t) {
    const std::string name = key(t.text);
    if (const auto own = m_own.types.find(name); own != m_own.types.end())
        return emit(t, m_module, *own->second);
    if (m_symbols.moduleNamed(name)) return;
    const Target g = m_symbols.globalType(name);
    if (g.element) emit(t, *g.module, *g.element);
}

// A header's parameter list from from on: parameter names are locals; types
// and default values are code.
void ModuleResolver::walkHeader(const Statement& s, size_t from) {
    for (size_t i = from; i < s.size(); ++i) {
        if (is(s[i], "As") && i + 1 < s.size() && s[i + 1].kind == Tok::Ident &&
            !(i + 2 < s.size() && isPunct(s[i + 2], "."))) {
            typeName(s[i + 1]);
            ++i;
        } else if (isPunct(s[i], "=")) {
            size_t end = i + 1;
            int depth = 0;
            while (end < s.size() &&
                   !(depth == 0 && (isPunct(s[end], ",") || isPunct(s[end], ")")))) {
                if (isPunct(s[end], "(")) ++depth;
                if (isPunct(s[end], ")")) --depth;
                ++end;
            }
            walk(s.subspan(i + 1, end - i - 1), 0, false);
            i = end - 1;
        }
    }
}

void ModuleResolver::walkStatement(const Statement& s) {
    if (is(s[0], "End") && s.size() >= 2 && is(s[1], "With")) {
        if (!m_with.empty()) m_with.pop_back();
        return;
    }
    if (is(s[0], "With")) {
        m_with.push_back(walk(s, 1, false));
        return;
    }
    const bool fileStatement = is(s[0], "Open") || is(s[0], "Name");
    walk(s, 0, !fileStatement);
}

// Resolves the names of s from index from on; answers what the whole
// expression is when it ends in a name or a call (for With).
Container ModuleResolver::walk(const Statement& s, size_t from, bool asIsType) {
    Walk w(s, from, asIsType);
    for (w.i = from; w.i < s.size(); ++w.i) {
        const Token& t = s[w.i];
        if (t.kind == Tok::Ident)
            walkName(w);
        else if (isPunct(t, "."))
            walkDot(w);
        else
            walkPunct(w);
    }
    return w.lastValid ? w.last.bare : Container{};
}

void ModuleResolver::walkName(Walk& w) {
    const Statement& s = w.s;
    const Token& t = s[w.i];
    if (w.dot) {  // a member of what stands before the dot
        w.dot = false;
        const Member m = m_symbols.memberOf(w.dotContainer, t.text, m_module);
        if (m.target.element) emit(t, *m.target.module, *m.target.element);
        if (m.control) emitUse(t, *w.dotContainer.module, m.control);
        w.last = m.value;
        w.lastValid = true;
        return;
    }
    const bool start = w.statementStart();
    if (start) w.labels = false;
    if (is(t, "GoTo") || is(t, "GoSub") || (is(t, "Resume") && start)) w.labels = true;
    if (is(t, "TypeOf")) w.typeOfPending = true;
    if (is(t, "RaiseEvent")) return raiseEvent(w);
    const bool afterBang = w.i > w.from && isPunct(s[w.i - 1], "!");
    const bool namedArgument = w.i + 1 < s.size() && isPunct(s[w.i + 1], ":=");
    if (w.labels || afterBang || namedArgument || m_scope.isDeclaration(t)) {
        w.lastValid = afterBang;  // "rs!Field.Value": a member of a field, not certain
        w.last = {};
        return;
    }
    if (walkType(w)) return;
    w.last = unqualified(s, w.i, start);
    w.lastValid = true;
}

// A name after New, "TypeOf x Is" or (in a declaration) As: a type, and a
// qualified type name ("Lib.Type") is no member access.
bool ModuleResolver::walkType(Walk& w) {
    const Statement& s = w.s;
    if (w.i == w.from) return false;
    const Token& before = s[w.i - 1];
    const bool afterNew = is(before, "New");
    const bool afterIs = is(before, "Is") && w.typeOfPending;
    if (!afterNew && !afterIs && !(w.asIsType && is(before, "As"))) return false;
    if (afterIs) w.typeOfPending = false;
    if (!afterNew && !(w.i + 1 < s.size() && isPunct(s[w.i + 1], "."))) typeName(s[w.i]);
    w.lastValid = false;
    while (w.i + 2 < s.size() && isPunct(s[w.i + 1], ".") && s[w.i + 2].kind == Tok::Ident)
        w.i += 2;
    return true;
}

void ModuleResolver::walkDot(Walk& w) {
    const Statement& s = w.s;
    const Token& t = s[w.i];
    const bool afterOperand =
        w.i > w.from && (s[w.i - 1].kind == Tok::Ident || isPunct(s[w.i - 1], ")"));
    if (afterOperand && !t.spaceBefore)
        w.dotContainer = w.lastValid ? w.last.bare : Container{};
    else if (afterOperand && t.lineStart)
        w.dotContainer = {};  // a continued line starting with a dot: not certain
    else if (w.i > w.from && s[w.i - 1].kind == Tok::Number)
        w.dotContainer = {};
    else
        w.dotContainer = m_with.empty() ? Container{} : m_with.back();
    w.dot = true;
    w.lastValid = false;
}

void ModuleResolver::walkPunct(Walk& w) {
    const Token& t = w.s[w.i];
    w.dot = false;
    if (isPunct(t, "(")) {
        const bool call = w.lastValid && w.i > w.from && !t.spaceBefore;
        w.parens.push_back(call ? w.last.called : Container{});
        w.lastValid = false;
    } else if (isPunct(t, ")")) {
        w.last = {w.parens.empty() ? Container{} : w.parens.back(), {}};
        if (!w.parens.empty()) w.parens.pop_back();
        w.lastValid = true;
    } else {
        w.lastValid = false;
        w.last = {};
    }
}

// "RaiseEvent Changed(...)": an event of the module itself.
void ModuleResolver::raiseEvent(Walk& w) {
    w.lastValid = false;
    w.last = {};
    if (w.i + 1 >= w.s.size() || w.s[w.i + 1].kind != Tok::Ident) return;
    const Token& name = w.s[++w.i];
    const auto own = m_own.members.find(key(name.text));
    if (own != m_own.members.end() && own->second->Kind() == ElementKind::Event)
        emit(name, m_module, *own->second);
}

}  // namespace tarnwick::xref
