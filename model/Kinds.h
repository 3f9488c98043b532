// The kinds of things the model holds: ElementKind for the ten code element
// classes, ModuleKind for the kinds of CModule.
//
// Behaviour that differs by kind asks the kind (Element::Kind(),
// CModule::Kind(), IIterator::elementKind()) and the traits table beside
// CHelper (kindTraits), never the class name: class names are what the
// model calls itself in messages and dumps.
#pragma once

#include <cstddef>

namespace tarnwick {

// In the order of the vocabulary (and of the element list sort); the
// values index the traits table.
enum class ElementKind {
    Constant,
    Declaration,
    Enum,
    Event,
    Function,
    Implementation,
    Property,
    Subroutine,
    Type,
    Variable,
};
inline constexpr int kElementKindCount = 10;

// The orders in which the site and the tools walk a module's ten element
// lists, each named for where it shows; a page, tree or dump that walks
// the lists takes its order from here. Each names every kind once.
//
// The vocabulary's order (the enum's): the branches of the object model,
// and wherever the order does not show (the sort).
inline constexpr ElementKind kVocabularyOrder[] = {
    ElementKind::Constant, ElementKind::Declaration, ElementKind::Enum,
    ElementKind::Event,    ElementKind::Function,    ElementKind::Implementation,
    ElementKind::Property, ElementKind::Subroutine,  ElementKind::Type,
    ElementKind::Variable};
// The summary tables of a module page, and so the search index and the
// member pages that group accessors across tables.
inline constexpr ElementKind kSummaryOrder[] = {
    ElementKind::Implementation, ElementKind::Constant, ElementKind::Enum,  ElementKind::Type,
    ElementKind::Declaration,    ElementKind::Variable, ElementKind::Event, ElementKind::Function,
    ElementKind::Subroutine,     ElementKind::Property};
// The workbench's project tree, and the links atop a module page.
inline constexpr ElementKind kTreeOrder[] = {ElementKind::Implementation, ElementKind::Declaration,
                                             ElementKind::Type,           ElementKind::Enum,
                                             ElementKind::Event,          ElementKind::Constant,
                                             ElementKind::Variable,       ElementKind::Function,
                                             ElementKind::Subroutine,     ElementKind::Property};
// The compartments of a UML class box. Implementation has none: the box's
// title names the interface.
inline constexpr ElementKind kUmlOrder[] = {
    ElementKind::Constant,    ElementKind::Enum,     ElementKind::Type,
    ElementKind::Declaration, ElementKind::Event,    ElementKind::Variable,
    ElementKind::Function,    ElementKind::Property, ElementKind::Subroutine};
// The project checks (members without a description, unused members),
// which name each kind by its statement. Implementation has none: an
// implemented interface has no description and no use of its own.
inline constexpr ElementKind kCheckOrder[] = {
    ElementKind::Declaration, ElementKind::Constant, ElementKind::Variable,
    ElementKind::Type,        ElementKind::Enum,     ElementKind::Event,
    ElementKind::Subroutine,  ElementKind::Function, ElementKind::Property};
// A module's lists in `tarnwick dump`.
inline constexpr ElementKind kDumpOrder[] = {ElementKind::Implementation, ElementKind::Declaration,
                                             ElementKind::Constant,       ElementKind::Variable,
                                             ElementKind::Type,           ElementKind::Enum,
                                             ElementKind::Event,          ElementKind::Function,
                                             ElementKind::Subroutine,     ElementKind::Property};

// True when order names each kind at most once, and all but missing.
template <std::size_t N>
constexpr bool namesEachKindOnce(const ElementKind (&order)[N], int missing = 0) {
    if (static_cast<int>(N) + missing != kElementKindCount) return false;
    for (std::size_t i = 0; i < N; ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (order[i] == order[j]) return false;
    return true;
}
constexpr bool inEnumOrder(const ElementKind (&order)[kElementKindCount]) {
    for (int i = 0; i < kElementKindCount; ++i)
        if (static_cast<int>(order[i]) != i) return false;
    return true;
}
static_assert(inEnumOrder(kVocabularyOrder) && namesEachKindOnce(kSummaryOrder) &&
              namesEachKindOnce(kTreeOrder) && namesEachKindOnce(kUmlOrder, 1) &&
              namesEachKindOnce(kCheckOrder, 1) && namesEachKindOnce(kDumpOrder));

// The values are the `ModuleType` codes a module carries.
enum class ModuleKind {
    None = 0,  // a module whose kind is not set yet
    Form = 1,
    Class = 2,
    Module = 3,  // a standard module
    PropertyPage = 4,
    UserControl = 5,
    Reference = 6,  // referenced type library
    Object = 7,     // control library
    UserDocument = 8,
    Designer = 9,  // a designer's file (.dsr): a data environment, a data report
};
inline constexpr int kModuleKindCount = 10;

// The kind of a `ModuleType` code; a code outside 0 to 9 is ModuleKind::None.
constexpr ModuleKind moduleKindOf(int moduleType) {
    return moduleType > 0 && moduleType < kModuleKindCount ? static_cast<ModuleKind>(moduleType)
                                                           : ModuleKind::None;
}

// The kinds that have pages, in the order of the generation run.
inline constexpr ModuleKind kDocumentedModuleKinds[] = {
    ModuleKind::Class,        ModuleKind::Module,      ModuleKind::Form,
    ModuleKind::PropertyPage, ModuleKind::UserControl, ModuleKind::UserDocument,
    ModuleKind::Designer};

// The kinds whose files open with a designer block (controls, menus) before
// their code; a class's file has a header block of settings instead.
constexpr bool isDesignedKind(ModuleKind kind) {
    return kind == ModuleKind::Form || kind == ModuleKind::UserControl ||
           kind == ModuleKind::PropertyPage || kind == ModuleKind::UserDocument ||
           kind == ModuleKind::Designer;
}

}  // namespace tarnwick
