// The kinds of things the model holds: ElementKind for the ten code element
// classes, ModuleKind for the kinds of CModule.
//
// Behaviour that differs by kind asks the kind (Element::Kind(),
// CModule::Kind(), IIterator::elementKind()) and the traits table beside
// CHelper (kindTraits), never the class name: class names are what the
// model calls itself in messages and dumps.
#pragma once

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
};
inline constexpr int kModuleKindCount = 8;

// The kind of a `ModuleType` code; a code outside 0 to 7 is ModuleKind::None.
constexpr ModuleKind moduleKindOf(int moduleType) {
    return moduleType > 0 && moduleType < kModuleKindCount ? static_cast<ModuleKind>(moduleType)
                                                           : ModuleKind::None;
}

// The kinds that have pages, in the order of the generation run.
inline constexpr ModuleKind kDocumentedModuleKinds[] = {ModuleKind::Class, ModuleKind::Module,
                                                        ModuleKind::Form, ModuleKind::PropertyPage,
                                                        ModuleKind::UserControl};

}  // namespace tarnwick
