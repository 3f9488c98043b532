#include "model/CProject.h"

#include "support/Text.h"

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
        case ModuleKind::UserDocument:
            return &m_userDocuments;
        case ModuleKind::Designer:
            return &m_designers;
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

std::string CProject::value(std::string_view key) const {
    // The value comes back by copy: keep it alive for the view into it.
    const std::string text = m_properties.value(std::string(key));
    std::string_view value = trimSpaces(text);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = trimSpaces(value.substr(1, value.size() - 2));
    return std::string(value);
}

std::string CProject::displayName() const {
    std::string name = value("Name");
    return name.empty() ? std::string("ProjectName") : name;
}

std::string CProject::version() const {
    if (value("MajorVer").empty()) return {};
    return plainVersion(value("MajorVer") + "." + value("MinorVer") + "." + value("RevisionVer"));
}

}  // namespace tarnwick
