#include "model/CHelper.h"

#include <algorithm>
#include <iterator>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/CArgument.h"
#include "model/CConstant.h"
#include "model/CDeclaration.h"
#include "model/CEnum.h"
#include "model/CEvent.h"
#include "model/CFunction.h"
#include "model/CImplementation.h"
#include "model/CProperty.h"
#include "model/CSubroutine.h"
#include "model/CVariable.h"
#include "model/Translation.h"
#include "model/cType.h"
#include "support/Text.h"

namespace tarnwick {

namespace {

template <typename T>
std::shared_ptr<ListItem> make() {
    return std::make_shared<T>();
}

using S = SyntaxLayout;
using C = TypeColumn;

// Indexed by ElementKind.
constexpr ElementKindTraits kElementKinds[] = {
    // kind, name, listName, iconStem, statement, syntax, parts, parameters, returns,
    // typeColumn, create
    {ElementKind::Constant, "Constant", "Constants", "Constants", "Const", S::None, false, false,
     false, C::DataType, make<CConstant>},
    {ElementKind::Declaration, "Declaration", "Declarations", "Declarations", "Declare",
     S::Procedure, false, true, true, C::None, make<CDeclaration>},
    {ElementKind::Enum, "Enum", "Enums", "Enums", "Enum", S::Procedure, true, false, false, C::None,
     make<CEnum>},
    {ElementKind::Event, "Event", "Events", "Events", "Event", S::Procedure, false, true, false,
     C::None, make<CEvent>},
    {ElementKind::Function, "Function", "Functions", "Functions", "Function", S::Procedure, false,
     true, true, C::Returns, make<CFunction>},
    {ElementKind::Implementation, "Implementation", "Implementations", "Implementations",
     "Implements", S::None, false, false, false, C::None, make<CImplementation>},
    {ElementKind::Property, "Property", "Properties", "Properties", "Property", S::Procedure, false,
     true, true, C::Returns, make<CProperty>},
    {ElementKind::Subroutine, "Subroutine", "Subroutines", "Subroutines", "Sub", S::Procedure,
     false, true, false, C::None, make<CSubroutine>},
    {ElementKind::Type, "Type", "Types", "Types", "Type", S::TypeBlock, true, false, false, C::None,
     make<cType>},
    {ElementKind::Variable, "Variable", "Variables", "Variables", "Variable", S::None, false, false,
     false, C::DataType, make<CVariable>},
};

// Indexed by ModuleKind.
constexpr ModuleKindTraits kModuleKinds[] = {
    {ModuleKind::None, "", "", ""},
    {ModuleKind::Form, "Form", "Forms", "Form"},
    {ModuleKind::Class, "Class", "Classes", "Class"},
    {ModuleKind::Module, "Module", "Modules", "Module"},
    {ModuleKind::PropertyPage, "PropertyPage", "PropertyPages", "PropertyPage"},
    {ModuleKind::UserControl, "UserControl", "UserControls", "UserControl"},
    {ModuleKind::Reference, "", "", ""},
    {ModuleKind::Object, "", "", ""},
    {ModuleKind::UserDocument, "UserDocument", "UserDocuments", "UserDocument"},
    {ModuleKind::Designer, "Designer", "Designers", "Designer"},
};

constexpr bool sameText(const char* a, const char* b) {
    return std::string_view(a) == std::string_view(b);
}

// Every kind has its row, in the enum's order, with its names; no two kinds
// share a list name (it names a table anchor, a folder, an icon).
constexpr bool elementRowsComplete() {
    if (std::size(kElementKinds) != kElementKindCount) return false;
    for (int i = 0; i < kElementKindCount; ++i) {
        const ElementKindTraits& row = kElementKinds[i];
        if (static_cast<int>(row.kind) != i || !*row.name || !*row.listName || !*row.iconStem ||
            !*row.statement || !row.create)
            return false;
        if (row.syntax == SyntaxLayout::None && (row.parts || row.parameters)) return false;
        for (int j = 0; j < i; ++j)
            if (sameText(kElementKinds[j].name, row.name) ||
                sameText(kElementKinds[j].listName, row.listName))
                return false;
    }
    return true;
}
static_assert(elementRowsComplete());

constexpr bool moduleRowsComplete() {
    if (std::size(kModuleKinds) != kModuleKindCount) return false;
    for (int i = 0; i < kModuleKindCount; ++i) {
        const ModuleKindTraits& row = kModuleKinds[i];
        if (static_cast<int>(row.kind) != i) return false;
        bool documented = false;
        for (const ModuleKind kind : kDocumentedModuleKinds) documented |= kind == row.kind;
        if (documented != (*row.name && *row.listName && *row.iconStem)) return false;
        for (int j = 0; j < i; ++j)
            if (*row.listName && sameText(kModuleKinds[j].listName, row.listName)) return false;
    }
    return true;
}
static_assert(moduleRowsComplete());

const ElementKindTraits* traitsOfList(const IIterator& list) {
    const auto kind = list.elementKind();
    return kind ? &kindTraits(*kind) : nullptr;
}

// The key under which names that are equal ignoring case meet: each code
// point upper-cased, so two names get the same key exactly when
// equalsIgnoreCase holds for them.
std::string caseKey(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    for (size_t pos = 0; pos < name.size();) {
        size_t length = 1;
        char32_t c = decodeUtf8(name, pos, length);
        appendUtf8(key, toUpper(c));
        pos += length;
    }
    return key;
}

}  // namespace

CHelper::CHelper(const Translation* translation, std::string language)
    : m_translation(translation), m_language(std::move(language)) {}

const ElementKindTraits& kindTraits(ElementKind kind) {
    return kElementKinds[static_cast<int>(kind)];
}

const ModuleKindTraits& kindTraits(ModuleKind kind) { return kModuleKinds[static_cast<int>(kind)]; }

std::shared_ptr<ListItem> CHelper::setItemType(const IIterator& list) const {
    if (const auto kind = list.elementKind()) return kindTraits(*kind).create();
    if (dynamic_cast<const CModuleList*>(&list)) return make<CModule>();
    return nullptr;
}

std::unique_ptr<IIterator> CHelper::setItemsType(const IIterator& list) const {
    if (list.elementKind() || dynamic_cast<const CModuleList*>(&list)) return list.createEmpty();
    return nullptr;
}

std::string CHelper::getItemType(const IIterator& list) const {
    const ElementKindTraits* traits = traitsOfList(list);
    return traits ? traits->name : "";
}

std::string CHelper::getItemTypes(const IIterator& list) const {
    const ElementKindTraits* traits = traitsOfList(list);
    return traits ? traits->listName : "";
}

std::string CHelper::getItemName(const ListItem& element) const {
    const auto* e = dynamic_cast<const Element*>(&element);
    return e ? kindTraits(e->Kind()).name : "";
}

std::string CHelper::getModuleType(const CModule& module) const {
    return kindTraits(module.Kind()).name;
}

std::string CHelper::getModulesType(const CModule& module) const {
    return kindTraits(module.Kind()).listName;
}

std::string CHelper::GetScope(int scopeCode) {
    switch (scopeCode) {
        case scope::Global:
            return "Global";
        case scope::Public:
            return "Public";
        case scope::Private:
            return "Private";
        case scope::Friend:
            return "Friend";
        default:
            return "None";
    }
}

std::string CHelper::getDataTypeLink(std::string_view name, const CModule& /*module*/,
                                     const CProject& project, std::string_view /*prefix*/) const {
    // The built-in type words are reserved: no class of a project can bear
    // one, so they need no search through the project's classes (pages ask
    // for them thousands of times on a large project).
    static constexpr std::string_view kBuiltIn[] = {"Boolean", "Byte",    "Currency", "Date",
                                                    "Double",  "Integer", "Long",     "Object",
                                                    "Single",  "String",  "Variant"};
    if (name.empty()) return std::string();
    for (const std::string_view word : kBuiltIn)
        if (equalsIgnoreCase(word, name)) return std::string(name);
    auto found = project.Classes().byName(name);
    if (!found) return std::string(name);
    // Module and member pages all lie one folder below the site, so one
    // relative link serves every page; the file name is the class's own.
    std::string link = "<A href=\"../classes/";
    link += safeFileName(found->Name());
    link += ".html\">";
    link += name;
    link += "</A>";
    return link;
}

void CHelper::sortIterator(IIterator& list) const {
    auto items = list.Items();
    if (items.size() < 2) return;

    // Each element goes with the smallest (ordinal) name that equals its own
    // ignoring case; elements then follow those names in ordinal order,
    // keeping list order among equal ones. This is the order of walking the
    // distinct names in ordinal order and taking, for each, every element
    // not yet taken whose name equals it ignoring case.
    std::unordered_map<std::string, std::string> smallest;  // case key -> smallest name
    std::vector<std::pair<const std::string*, size_t>> order;
    std::vector<std::string> keys(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string& name = items[i]->Name();
        keys[i] = caseKey(name);
        auto [it, inserted] = smallest.try_emplace(keys[i], name);
        if (!inserted && name < it->second) it->second = name;
    }
    order.reserve(items.size());
    for (size_t i = 0; i < items.size(); ++i) order.emplace_back(&smallest[keys[i]], i);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return *a.first < *b.first; });

    std::vector<std::shared_ptr<ListItem>> sorted;
    sorted.reserve(items.size());
    for (const auto& entry : order) sorted.push_back(items[entry.second]);
    list.setItems(sorted);
}

void CHelper::sortModule(CModuleList& list) const {
    list.BeforeFirstItem();
    sortIterator(list);
    for (const auto& module : list.elements()) {
        for (const ElementKind kind : kVocabularyOrder) sortIterator(*module->listOf(kind));
    }
}

std::string CHelper::Translate(std::string_view key, std::string_view defaultText) const {
    if (defaultText.empty()) defaultText = key;
    if (!m_translation) return std::string(defaultText);
    return m_translation->lookup(m_language, key, defaultText);
}

}  // namespace tarnwick
