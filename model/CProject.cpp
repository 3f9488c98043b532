#include "model/CProject.h"

namespace tarnwick {

CModuleList* CProject::listOfKind(int moduleType) {
    switch (moduleType) {
        case moduletype::Form:
            return &m_forms;
        case moduletype::Class:
            return &m_classes;
        case moduletype::Module:
            return &m_modules;
        case moduletype::PropertyPage:
            return &m_propertyPages;
        case moduletype::UserControl:
            return &m_userControls;
        case moduletype::Reference:
            return &m_references;
        case moduletype::Object:
            return &m_objects;
        default:
            return nullptr;
    }
}

}  // namespace tarnwick
