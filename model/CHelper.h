// CHelper: the system's vocabulary for kinds of things, the name sort of the
// model's lists, the data-type links of the pages and the translation lookup.
//
// The vocabulary is one traits table per kind enum (kindTraits): names, list
// names, icon stems and the sections a member page has. CHelper's kind-name
// operations answer from it for the ten element list classes (and their
// elements) and the five source-module kinds; everything else gets the empty
// text.
//
// Stateless and cheap: page writers and the reader construct one per call.
// The translation (when given) is the one parsed at the start of the run; a
// CHelper never opens a file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model/CModule.h"
#include "model/CModuleList.h"
#include "model/CProject.h"
#include "model/IIterator.h"
#include "model/Kinds.h"
#include "model/ListItem.h"

namespace tarnwick {

class Translation;

// How a member page lays out the syntax of a member.
enum class SyntaxLayout {
    None,       // no syntax, parts or parameter section at all
    Procedure,  // the one-line declaration, one parameter a line
    TypeBlock,  // the Type block, one member a line
};

// What the type column of a summary table and a UML row show.
enum class TypeColumn { None, Returns, DataType };

struct ElementKindTraits {
    ElementKind kind;
    const char* name;      // "Function": kind word, anchor prefix, translation key
    const char* listName;  // "Functions": table and compartment heading
    const char* iconStem;  // "Functions": src/images/{stem}_{Scope}.ico
    // "Function": the statement that declares one ("Sub", "Const",
    // "Declare", "Implements"; "Variable" for a variable), as the project
    // checks name the kind.
    const char* statement;
    // The sections of a member page (each also switched by the run's settings).
    SyntaxLayout syntax;
    bool parts;       // the table of a Type's members or an Enum's values
    bool parameters;  // the table of the arguments
    bool returns;     // the return value's description
    TypeColumn typeColumn;
    std::shared_ptr<ListItem> (*create)();  // a new element of the kind
};

struct ModuleKindTraits {
    ModuleKind kind;
    // All three are empty for the kinds without pages (None, Reference, Object).
    const char* name;      // "Class": kind word, translation key
    const char* listName;  // "Classes": the site's folder, the list page "all-Classes.html"
    const char* iconStem;  // "Class": src/images/Class.ico
};

const ElementKindTraits& kindTraits(ElementKind kind);
const ModuleKindTraits& kindTraits(ModuleKind kind);

class CHelper {
public:
    // translation: not owned, must outlive the helper; null gives every
    // Translate its default. language: the translation section.
    explicit CHelper(const Translation* translation = nullptr, std::string language = "Deutsch");

    // A new element of the list's element kind (a CModule for a
    // CModuleList); nullptr for an argument list.
    std::shared_ptr<ListItem> setItemType(const IIterator& list) const;
    // A new empty list of the same class, for the ten element lists and
    // CModuleList; nullptr for any other list.
    std::unique_ptr<IIterator> setItemsType(const IIterator& list) const;

    // "Constant" / "Constants", ... by the list's element kind; empty for others.
    std::string getItemType(const IIterator& list) const;
    std::string getItemTypes(const IIterator& list) const;
    // Singular kind name of an element ("Type" for a cType); empty for a
    // CArgument or a CModule.
    std::string getItemName(const ListItem& element) const;
    // "Class" / "Classes", ... by ModuleType 1 to 5; empty for 0, 6, 7.
    std::string getModuleType(const CModule& module) const;
    std::string getModulesType(const CModule& module) const;
    // 0 "Global", 1 "Public", 2 "Private", 3 "Friend", anything else "None".
    static std::string GetScope(int scope);

    // When name is a class module of the project (ignoring case), a link to
    // that class's page: <A href="../classes/{safe class name}.html">name</A>
    // (every page that shows a data type lies one folder below the site);
    // otherwise name unchanged. prefix is accepted for the callers' sake and
    // does not change the link.
    std::string getDataTypeLink(std::string_view name, const CModule& module,
                                const CProject& project, std::string_view prefix) const;

    // Reorders the list by Name: the distinct names in ordinal order, each
    // taking every element whose name equals it ignoring case, in list
    // order. Equal names ignoring case stay together in their list order.
    // The cursor is left as it was. O(n log n).
    void sortIterator(IIterator& list) const;
    // Sorts the module list, then the ten element lists of each module.
    // Argument lists and the members of types and enums keep their order.
    void sortModule(CModuleList& list) const;

    // The text of key in the language's section; defaultText (key itself
    // when empty) when there is no translation, section or key.
    std::string Translate(std::string_view key, std::string_view defaultText = {}) const;

private:
    const Translation* m_translation;  // not owned
    std::string m_language;
};

}  // namespace tarnwick
