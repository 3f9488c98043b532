// The locals of the routine being resolved: its arguments, its own name
// inside a Function or Property (the return value), and what Dim, Static,
// Const and ReDim declare anywhere in its body (a VB6 local belongs to the
// whole routine, whatever line declares it). A local hides every other
// name.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "reader/xref/Lexer.h"
#include "reader/xref/SymbolTables.h"

namespace tarnwick::xref {

struct Local {
    Container value;  // the object it holds, when that is certain
    bool isArray = false;
    // Set for the name of a Function or Property Get with arguments inside
    // itself: followed by "(arguments)" it calls the routine again.
    const Element* routine = nullptr;
};

class RoutineScope {
public:
    // symbols and module must outlive the scope.
    RoutineScope(const ProjectSymbols& symbols, const CModule& module)
        : m_symbols(symbols), m_module(module) {}

    // A routine's header read: its arguments and its own name are locals.
    void begin(const Element& routine);
    // No routine: nothing is local.
    void clear();
    // A statement of the body, first time through.
    void declareLocals(const Statement& s);
    // Declares the list "a As T, b(3) As U" of s from index from on.
    void declare(const Statement& s, size_t from);
    // Leaves the names declare() saw as declarations, but no longer as
    // locals: at module level they are the module's own members.
    void forgetNames() { m_locals.clear(); }
    // Forgets the declarations too.
    void forgetDeclarations() { m_declaredTokens.clear(); }

    // The local of that key(), or null.
    const Local* find(const std::string& name) const;
    // Whether t is where a name is declared ("x" in "Dim x"): no use of it.
    bool isDeclaration(const Token& t) const { return m_declaredTokens.count(id(t)) != 0; }

private:
    void declareReDim(const Statement& s);
    static int64_t id(const Token& t) {
        return (static_cast<int64_t>(t.line) << 32) | static_cast<uint32_t>(t.column);
    }

    const ProjectSymbols& m_symbols;
    const CModule& m_module;
    std::unordered_map<std::string, Local> m_locals;
    std::unordered_set<int64_t> m_declaredTokens;
};

}  // namespace tarnwick::xref
