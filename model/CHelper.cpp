#include "model/CHelper.h"

#include <algorithm>
#include <cstring>
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

struct Kind {
    const char* listClass;
    const char* elementClass;
    const char* singular;
    const char* plural;
    std::shared_ptr<ListItem> (*create)();
};

template <typename T>
std::shared_ptr<ListItem> make() {
    return std::make_shared<T>();
}

// The ten element kinds, and the module list, which has an element class but
// no kind name.
const Kind kKinds[] = {
    {"CConstantList", "CConstant", "Constant", "Constants", make<CConstant>},
    {"CDeclarationList", "CDeclaration", "Declaration", "Declarations", make<CDeclaration>},
    {"CEnumList", "CEnum", "Enum", "Enums", make<CEnum>},
    {"CEventList", "CEvent", "Event", "Events", make<CEvent>},
    {"CFunctionList", "CFunction", "Function", "Functions", make<CFunction>},
    {"CImplementationList", "CImplementation", "Implementation", "Implementations",
     make<CImplementation>},
    {"CPropertyList", "CProperty", "Property", "Properties", make<CProperty>},
    {"CSubroutineList", "CSubroutine", "Subroutine", "Subroutines", make<CSubroutine>},
    {"CTypeList", "cType", "Type", "Types", make<cType>},
    {"CVariableList", "CVariable", "Variable", "Variables", make<CVariable>},
    {"CModuleList", "CModule", "", "", make<CModule>},
};

const Kind* kindOfList(const IIterator& list) {
    for (const auto& kind : kKinds)
        if (std::strcmp(kind.listClass, list.className()) == 0) return &kind;
    return nullptr;
}

const Kind* kindOfElement(const ListItem& element) {
    for (const auto& kind : kKinds)
        if (std::strcmp(kind.elementClass, element.className()) == 0) return &kind;
    return nullptr;
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

std::shared_ptr<ListItem> CHelper::setItemType(const IIterator& list) const {
    const Kind* kind = kindOfList(list);
    return kind ? kind->create() : nullptr;
}

std::unique_ptr<IIterator> CHelper::setItemsType(const IIterator& list) const {
    return kindOfList(list) ? list.createEmpty() : nullptr;
}

std::string CHelper::getItemType(const IIterator& list) const {
    const Kind* kind = kindOfList(list);
    return kind ? kind->singular : "";
}

std::string CHelper::getItemTypes(const IIterator& list) const {
    const Kind* kind = kindOfList(list);
    return kind ? kind->plural : "";
}

std::string CHelper::getItemName(const ListItem& element) const {
    const Kind* kind = kindOfElement(element);
    return kind ? kind->singular : "";
}

std::string CHelper::getModuleType(const CModule& module) const {
    return moduleTypeName(module.ModuleType());
}

std::string CHelper::getModulesType(const CModule& module) const {
    return modulesTypeName(module.ModuleType());
}

std::string CHelper::moduleTypeName(int moduleType) {
    switch (moduleType) {
        case moduletype::Form:
            return "Form";
        case moduletype::Class:
            return "Class";
        case moduletype::Module:
            return "Module";
        case moduletype::PropertyPage:
            return "PropertyPage";
        case moduletype::UserControl:
            return "UserControl";
        default:
            return "";
    }
}

std::string CHelper::modulesTypeName(int moduleType) {
    switch (moduleType) {
        case moduletype::Form:
            return "Forms";
        case moduletype::Class:
            return "Classes";
        case moduletype::Module:
            return "Modules";
        case moduletype::PropertyPage:
            return "PropertyPages";
        case moduletype::UserControl:
            return "UserControls";
        default:
            return "";
    }
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
        sortIterator(module->Constants());
        sortIterator(module->Declarations());
        sortIterator(module->Enums());
        sortIterator(module->Events());
        sortIterator(module->Functions());
        sortIterator(module->Implementations());
        sortIterator(module->Properties());
        sortIterator(module->Subroutines());
        sortIterator(module->Types());
        sortIterator(module->Variables());
    }
}

std::string CHelper::Translate(std::string_view key, std::string_view defaultText) const {
    if (defaultText.empty()) defaultText = key;
    if (!m_translation) return std::string(defaultText);
    return m_translation->lookup(m_language, key, defaultText);
}

}  // namespace tarnwick
