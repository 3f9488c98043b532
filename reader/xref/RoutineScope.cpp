#include "reader/xref/RoutineScope.h"

#include "model/CArgument.h"
#include "model/CProperty.h"
#include "reader/xref/Words.h"
#include "support/Text.h"

namespace tarnwick::xref {

void RoutineScope::begin(const Element& routine) {
    clear();
    if (const auto arguments = routine.Arguments()) {
        for (const auto& a : arguments->elements()) {
            std::string name(trimSpaces(a->Name()));
            Local local;
            local.isArray = endsWith(name, "()");
            if (local.isArray) name.resize(name.size() - 2);
            local.value = m_symbols.typeOf(m_module, a->DataType());
            m_locals[key(name)] = local;
        }
    }
    const ElementKind kind = routine.Kind();
    if (kind != ElementKind::Function && kind != ElementKind::Property) return;
    Local own;  // the return value
    const auto returns = routine.Returns();
    const bool getter =
        kind == ElementKind::Function || static_cast<const CProperty&>(routine).Way() == way::Get;
    if (getter && returns && !endsWith(trimSpaces(returns->DataType()), "()")) {
        own.value = m_symbols.typeOf(m_module, returns->DataType());
        const auto arguments = routine.Arguments();
        if (arguments && arguments->count() > 0) own.routine = &routine;
    }
    m_locals[key(routine.Name())] = own;
}

void RoutineScope::clear() {
    m_locals.clear();
    m_declaredTokens.clear();
}

void RoutineScope::declareLocals(const Statement& s) {
    if (s.empty()) return;
    if (is(s[0], "Dim") || is(s[0], "Static") || is(s[0], "Const"))
        declare(s, 1);
    else if (is(s[0], "ReDim"))
        declareReDim(s);
}

void RoutineScope::declare(const Statement& s, size_t from) {
    size_t i = from;
    while (i < s.size()) {
        if (is(s[i], "WithEvents")) ++i;
        if (i >= s.size() || s[i].kind != Tok::Ident) return;
        const size_t nameAt = i++;
        Local local;
        local.isArray = i < s.size() && isPunct(s[i], "(");
        int depth = 0;
        bool typed = false;
        for (; i < s.size(); ++i) {
            if (isPunct(s[i], "(")) ++depth;
            if (isPunct(s[i], ")")) --depth;
            if (depth > 0) continue;
            if (isPunct(s[i], ",")) {
                ++i;
                break;
            }
            if (is(s[i], "As") && !typed) {
                typed = true;
                size_t t = i + 1;
                if (t < s.size() && is(s[t], "New")) ++t;
                const auto dotAt = [&](size_t n) { return n < s.size() && isPunct(s[n], "."); };
                if (t < s.size() && s[t].kind == Tok::Ident && !dotAt(t + 1))
                    local.value = m_symbols.typeOf(m_module, s[t].text);
                // "As StrLib.StringBuilder": a class of a referenced project.
                else if (t + 2 < s.size() && s[t].kind == Tok::Ident &&
                         s[t + 2].kind == Tok::Ident && !dotAt(t + 3))
                    local.value = m_symbols.typeOf(
                        m_module, std::string(s[t].text) + "." + std::string(s[t + 2].text));
            }
        }
        m_locals[key(s[nameAt].text)] = local;
        m_declaredTokens.insert(id(s[nameAt]));
    }
}

// "ReDim [Preserve] a(...) As T" declares a when nothing else has the name.
void RoutineScope::declareReDim(const Statement& s) {
    size_t i = 1;
    if (i < s.size() && is(s[i], "Preserve")) ++i;
    if (i >= s.size() || s[i].kind != Tok::Ident) return;
    bool typed = false;
    for (const Token& t : s) typed = typed || is(t, "As");
    const std::string name = key(s[i].text);
    if (!typed || m_locals.count(name) || m_symbols.of(m_module).members.count(name)) return;
    declare(s, i);
}

const Local* RoutineScope::find(const std::string& name) const {
    const auto found = m_locals.find(name);
    return found == m_locals.end() ? nullptr : &found->second;
}

}  // namespace tarnwick::xref
