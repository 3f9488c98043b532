// CHelper: the system's vocabulary for kinds of things, the name sort of the
// model's lists, the data-type links of the pages and the translation lookup.
//
// Stateless and cheap: page writers and the reader construct one per call.
// Kind names answer the ten element list classes (and their elements) and
// the five source-module kinds; everything else gets the empty text. The
// translation (when given) is the one parsed at the start of the run; a
// CHelper never opens a file.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model/CModule.h"
#include "model/CModuleList.h"
#include "model/CProject.h"
#include "model/IIterator.h"
#include "model/ListItem.h"

namespace tarnwick {

class Translation;

class CHelper {
public:
    // translation: not owned, must outlive the helper; null gives every
    // Translate its default. language: the translation section.
    explicit CHelper(const Translation* translation = nullptr, std::string language = "Deutsch");

    // A new element of the list's element class (a CModule for a
    // CModuleList); nullptr for an argument list or an unknown class.
    std::shared_ptr<ListItem> setItemType(const IIterator& list) const;
    // A new empty list of the same class, for the ten element lists and
    // CModuleList; nullptr for any other list.
    std::unique_ptr<IIterator> setItemsType(const IIterator& list) const;

    // "Constant" / "Constants", ... by the list's class; empty for others.
    std::string getItemType(const IIterator& list) const;
    std::string getItemTypes(const IIterator& list) const;
    // Singular kind name by the element's class ("Type" for a cType); empty
    // for a CArgument or a CModule.
    std::string getItemName(const ListItem& element) const;
    // "Class" / "Classes", ... by ModuleType 1 to 5; empty for 0, 6, 7.
    std::string getModuleType(const CModule& module) const;
    std::string getModulesType(const CModule& module) const;
    static std::string moduleTypeName(int moduleType);
    static std::string modulesTypeName(int moduleType);
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
