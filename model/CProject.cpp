#include "model/CProject.h"

namespace tarnwick {

CModuleList* CProject::listOfKind(ModuleKind kind) {
    switch (kind) {
        case ModuleKind::Form:
            return &m_forms;
        case ModuleKind::Class:
            return &m_classes;
        case ModuleKind::Module:
            return &m_modules;
        case ModuleKind::PropertyPage:
            return &m_propertyPages;
        case ModuleKind::UserControl:
            return &m_userControls;
        case ModuleKind::Reference:
            return &m_references;
        case ModuleKind::Object:
            return &m_objects;
        case ModuleKind::None:
            break;
    }
    return nullptr;
}

const CModuleList* CProject::listOfKind(ModuleKind kind) const {
    return const_cast<CProject*>(this)->listOfKind(kind);
}

}  // namespace tarnwick
