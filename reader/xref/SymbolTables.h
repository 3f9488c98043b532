// Symbol tables of the cross-references: the names each module declares
// and the names the project makes visible everywhere, and what a name
// stands for when a dot follows it.
//
// Values (routines, variables, constants, Declares, Enums, events) and
// types (Types and Enums) are kept apart, as VB6 keeps them: a Type named
// "Item" and a property "Item" of one class do not hide each other.
//
// In a group, the projects a project references by project reference are
// libraries: what their public classes and user controls (VB_Exposed =
// True) declare Public is visible, after the project's own names and in
// reference order, as VB6 binds a referenced type library: the classes
// themselves ("StringBuilder", "StrLib.StringBuilder"), their Public
// members through an object of the class, and their Public Enums, Enum
// values and Types. The Public members of a library's global classes
// (GlobalMultiUse: VB_GlobalNameSpace = True) are called without an object,
// bare ("NewStringBuilder(10)") or after the library's name
// ("StrLib.NewStringBuilder(10)"); within their own project they are not
// global. A Friend member is the library's own (Friend reaches no further
// than its project), and a library's standard modules and private classes
// are never visible.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/CProject.h"

namespace tarnwick::xref {

class ProjectSymbols;

struct Target {
    const CModule* module = nullptr;
    const Element* element = nullptr;
};

// What an expression's value is, as far as names after a dot are concerned:
// an object of a class, a module's own name, an Enum, a variable of a Type,
// or a referenced project's name.
struct Container {
    // Project: the project's own name, which may qualify its modules and
    // public members ("Ledger.modLedger.Post").
    enum class Kind { None, Instance, Static, Enum, Record, Library, Project } kind = Kind::None;
    const CModule* module = nullptr;
    const Element* element = nullptr;         // the Enum or the Type
    const ProjectSymbols* library = nullptr;  // for Library
};

// What a name gives: bare, and followed by "(...)" (an array's element or
// a call's result).
struct Value {
    Container bare;
    Container called;
};

// A member named after a dot: its element (none for a Type's field, which
// has no page) or the form's control of that name, and its value.
struct Member {
    Target target;
    Value value;
    const DesignControl* control = nullptr;
};

struct ModuleSymbols {
    std::unordered_set<const Element*> arrays;                // module variables declared with "()"
    std::vector<const Element*> withEvents;                   // WithEvents module variables
    std::unordered_map<std::string, const Element*> members;  // values, first of each name
    std::unordered_map<std::string, const Element*> types;    // Types and Enums
    std::unordered_map<std::string, const Element*>
        enumValues;  // value -> its Enum; null: ambiguous
    // The controls and menu entries of the module's design by name (the
    // first block of a control array); they are the module's members too.
    std::unordered_map<std::string, const DesignControl*> controls;
    // A member whose name its table gives to another of its kind (a
    // property's later accessors) -> that one: references name the first,
    // whose page they all share.
    std::unordered_map<const Element*, const Element*> aliases;
};

// Whether e can be named from another module.
bool isVisibleOutside(const Element& e);
// A form, user control or property page: a module with built-in members.
bool isFormLike(const CModule& m);

// A referenced project of the group: its name ("StrLib" of
// "StrLib.StringBuilder") and its tables, which must outlive the user's.
struct Library {
    std::string name;
    const ProjectSymbols* symbols = nullptr;
};

// Whether m is a class or user control other projects may name (VB_Exposed = True).
bool isExposed(const CModule& m);
// Whether m is an exposed class whose Public members the projects that
// reference its project call without an object (VB_GlobalNameSpace = True).
bool isGlobalClass(const CModule& m);

class ProjectSymbols {
public:
    explicit ProjectSymbols(const CProject& project, std::vector<Library> libraries = {});

    std::vector<const CModule*> modules;  // in the project's sorted order

    // Whether m is a module of the project (not of a library).
    bool owns(const CModule& m) const { return m_symbols.count(&m) != 0; }
    // The tables of m, a module of the project or of a library.
    const ModuleSymbols& of(const CModule& m) const { return home(m).m_symbols.at(&m); }
    // Whether code of this project may name owner's element e from outside
    // owner: as isVisibleOutside, and for a library's module only a Public
    // member of an exposed class or user control.
    bool reachable(const CModule& owner, const Element& e) const;

    // The module of that name, or null (also when two modules have it).
    const CModule* moduleNamed(std::string_view name) const;
    // The class (or form, user control) a data type names, or null.
    const CModule* classNamed(std::string_view dataType) const;
    // The one public value (member, Enum or Enum value) of the name, if
    // exactly one has it.
    Target global(std::string_view name) const;
    bool isGlobal(std::string_view name) const;
    // The one public Type or Enum of the name, if exactly one has it.
    Target globalType(std::string_view name) const;
    // The referenced project of that name, or null.
    const ProjectSymbols* libraryNamed(std::string_view name) const;
    // Whether name is the project's own Name.
    bool namesProject(std::string_view name) const;

    // What a variable of dataType declared in scope's code holds: an object
    // of a class of the project, or a Type scope sees; None when unsure.
    Container typeOf(const CModule& scope, std::string_view dataType) const;
    // What a module's name stands for used as a value.
    Container containerOfModule(const CModule& m) const;
    // What owner's element e gives.
    Value valueOf(const CModule& owner, const Element& e) const;
    // module's control of that name, or null.
    const DesignControl* controlOf(const CModule& module, std::string_view name) const;
    // What a control gives: an object of the project's user control it is
    // an instance of (bare, and for a control array's element), else None.
    Value valueOf(const DesignControl& control) const;
    // The member name of c, as code of module from sees it.
    Member memberOf(const Container& c, std::string_view name, const CModule& from) const;

private:
    // The tables m belongs to: these or a library's.
    const ProjectSymbols& home(const CModule& m) const;
    // The libraries' one exposed class or user control dataType names, or null.
    const CModule* libraryClass(std::string_view dataType) const;
    // The first library that has the public name in table (one exposed target: it;
    // more: none, as VB6 refuses an ambiguous name); none when no library has it.
    Target libraryName(std::string_view name, bool types) const;
    // What this project, as a library, shows its users under the name
    // (lower case): its exposed Types and Enums, or its values.
    std::vector<Target> shownAs(const std::string& name, bool types) const;
    void add(const CModule& module);
    void file(const CModule& module, ModuleSymbols& s, const Element& e);

    std::unordered_map<const CModule*, ModuleSymbols> m_symbols;
    std::unordered_map<std::string, const CModule*> m_moduleNames;
    std::unordered_map<std::string, std::vector<Target>> m_globals;
    std::unordered_map<std::string, std::vector<Target>> m_globalTypes;
    // Public Types of classes: a library's exposed classes show them.
    std::unordered_map<std::string, std::vector<Target>> m_classTypes;
    // Public members of global classes: global to the projects referencing this one.
    std::unordered_map<std::string, std::vector<Target>> m_globalClassMembers;
    std::vector<Library> m_libraries;  // in reference order
    std::string m_name;                // the project's own Name, which may qualify its classes
};

}  // namespace tarnwick::xref
