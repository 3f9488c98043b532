// Resolver of the cross-references: reads one module's statements and
// binds each name the way VB6 does, when that is certain:
//   1. a local (Dim, Static, Const, ReDim ... As, an argument, the routine's
//      own name inside a Function or Property) hides everything else; inside
//      a Function or Property Get with arguments, its own name followed by
//      "(arguments)" calls it again;
//   2. then the members of the module itself (and Enum values declared there);
//   3. then module names, and the public members of standard modules and
//      public Enums and their values of any module, when exactly one has the
//      name (two make the call ambiguous: VB6 refuses it, we link nothing);
//      where a class and a public variable of a standard module share a
//      name, the name is the variable (the static-class idiom);
//   4. "Module.Member", "Enum.Value", "Me.Member"; "obj.Member" when obj is
//      an object of a class of the project (a typed local, argument, module
//      or public variable, a Type's field, or what a Function or Property
//      Get returns), and ".Member" inside "With obj";
//   5. a routine "IFoo_Bar" of a class that implements IFoo names IFoo's Bar;
//      a routine "var_Event" of a WithEvents variable names the event;
//   6. a type after As or "TypeOf x Is": a Type or Enum of the module, else
//      a public one (types and values do not hide each other);
//   7. in a form, user control or property page, a control or menu entry
//      of its design binds before every name but a local's ("txtName.Text"
//      is the text box's, never a project member "Text"); "frmMain.txtName"
//      names frmMain's control; a control that is a project user control
//      is an object of that class ("spnCount.Value", and "spnCount_Changed"
//      names its event); a form's name used as a value ("frmMain.Show",
//      "Load frmMain") names the form. These go to the DesignUse records.
// A statement starts at its first word and after Then and Else of a
// one-line If. A statement word with a syntax of its own (Print, Line,
// Open) is never a call there; one that VB6's libraries provide (Reset,
// Load) is, when the project has a member of its name. In forms, user
// controls and property pages, the names of the built-in members (Caption,
// Width, Show, ...) are not taken for another module's public member.
// Whatever cannot be bound with certainty (library calls, late-bound
// objects, collections) stays unresolved.
#pragma once

#include <unordered_map>
#include <vector>

#include "model/ReferenceIndex.h"
#include "reader/xref/Lexer.h"
#include "reader/xref/RoutineScope.h"
#include "reader/xref/SymbolTables.h"

namespace tarnwick::xref {

// The most references one module keeps: the rest of its code is shown
// without links, so a generated module of millions of calls costs bounded
// memory.
constexpr size_t kMaxReferencesPerModule = 1'000'000;

class ModuleResolver {
public:
    // Appends module's references to out and where it names controls and
    // forms to uses; symbols, module, out and uses must outlive the resolver.
    ModuleResolver(const ProjectSymbols& symbols, const CModule& module,
                   std::vector<Reference>& out, std::vector<DesignUse>& uses);

    void run();

    // Whether a logical line of the module had more tokens than are resolved.
    bool lineCut() const { return m_lineCut; }
    // True once the module has as many references as one module may keep;
    // the rest of its code is left unlinked.
    bool truncated() const { return m_out.size() - m_first >= kMaxReferencesPerModule; }

private:
    struct Walk;

    void moduleLevel(const Statement& s);
    void blockLine(const Statement& s);
    const Element* elementOfHeader(const Statement& s) const;
    void resolveRoutine(StatementReader& reader, const StatementReader::Mark& header, size_t count);
    void resolveStatement(const Statement& s, bool header);

    void emit(const Token& t, const CModule& toModule, const Element& to);
    // control null: the form itself.
    void emitUse(const Token& t, const CModule& toModule, const DesignControl* control);
    void linkHandledMember(const Token& name);
    Value unqualified(const Statement& s, size_t i, bool statementStart);
    Value localValue(const Statement& s, size_t i, const Local& local, bool statementStart);
    Value moduleName(const Token& t, const CModule& module);
    // What owner's element e gives (ProjectSymbols::valueOf), worked out
    // once per module: the same members are named again and again.
    Value valueOf(const CModule& owner, const Element& e);
    void typeName(const Token& t);

    void walkHeader(const Statement& s, size_t from);
    void walkStatement(const Statement& s);
    Container walk(const Statement& s, size_t from, bool asIsType);
    void walkName(Walk& w);
    bool walkType(Walk& w);
    void walkDot(Walk& w);
    void walkPunct(Walk& w);
    void raiseEvent(Walk& w);

    const ProjectSymbols& m_symbols;
    const CModule& m_module;
    const ModuleSymbols& m_own;
    std::vector<Reference>& m_out;
    const size_t m_first;  // m_out's size before the module
    std::vector<DesignUse>& m_uses;
    const size_t m_firstUse;  // m_uses's size before the module
    bool m_lineCut = false;
    const Element* m_from = nullptr;  // the routine being resolved
    RoutineScope m_scope;
    // The routine's statements as first read, so the second time through
    // need not lex them again; a routine of more tokens than kKeptTokens is
    // read again from its header instead, so memory stays bounded.
    struct KeptRoutine {
        static constexpr size_t kKeptTokens = size_t{1} << 18;
        std::vector<Token> tokens;
        std::vector<std::pair<size_t, size_t>> statements;  // first token, count
        bool whole = true;
        void clear();
        void keep(const Statement& s);
    } m_kept;
    std::vector<Container> m_with;
    std::unordered_map<const Element*, Value> m_values;           // of valueOf()
    enum class Block { None, Enum, Type } m_block = Block::None;  // at module level
};

}  // namespace tarnwick::xref
