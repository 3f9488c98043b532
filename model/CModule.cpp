#include "model/CModule.h"

#include <algorithm>
#include <utility>

#include "support/Diagnostics.h"

namespace tarnwick {

void CModule::setShortDesc(std::shared_ptr<HashTable> table) {
    if (!table) detail::throwTypeMismatch("HashTable", "nothing");
    m_shortDesc = std::move(table);
}

int CModule::sourceLineOf(int fileLine) const {
    const auto at = std::lower_bound(m_sourceFileLines.begin(), m_sourceFileLines.end(), fileLine);
    if (at == m_sourceFileLines.end() || *at != fileLine) return 0;
    return static_cast<int>(at - m_sourceFileLines.begin()) + 1;
}

int CModule::fileLineOf(int sourceLine) const {
    if (sourceLine < 1 || static_cast<size_t>(sourceLine) > m_sourceFileLines.size())
        return sourceLine;
    return m_sourceFileLines[static_cast<size_t>(sourceLine) - 1];
}

void CModule::setAttributes(std::shared_ptr<HashTable> table) {
    if (!table) detail::throwTypeMismatch("HashTable", "nothing");
    m_attributes = std::move(table);
}

std::shared_ptr<CImplementation> CModule::CreateImplentation() const {
    return std::make_shared<CImplementation>();
}
std::shared_ptr<CDeclaration> CModule::CreateDeclaration() const {
    return std::make_shared<CDeclaration>();
}
std::shared_ptr<CConstant> CModule::CreateConstant() const { return std::make_shared<CConstant>(); }
std::shared_ptr<CVariable> CModule::CreateVariable() const { return std::make_shared<CVariable>(); }
std::shared_ptr<cType> CModule::CreateType() const { return std::make_shared<cType>(); }
std::shared_ptr<CEnum> CModule::CreateEnum() const { return std::make_shared<CEnum>(); }
std::shared_ptr<CEvent> CModule::CreateEvent() const { return std::make_shared<CEvent>(); }
std::shared_ptr<CFunction> CModule::CreateFunction() const { return std::make_shared<CFunction>(); }
std::shared_ptr<CSubroutine> CModule::CreateSubroutine() const {
    return std::make_shared<CSubroutine>();
}
std::shared_ptr<CProperty> CModule::CreateProperty() const { return std::make_shared<CProperty>(); }

IIterator* CModule::listOf(ElementKind kind) {
    switch (kind) {
        case ElementKind::Constant:
            return m_constants.get();
        case ElementKind::Declaration:
            return m_declarations.get();
        case ElementKind::Enum:
            return m_enums.get();
        case ElementKind::Event:
            return m_events.get();
        case ElementKind::Function:
            return m_functions.get();
        case ElementKind::Implementation:
            return m_implementations.get();
        case ElementKind::Property:
            return m_properties.get();
        case ElementKind::Subroutine:
            return m_subroutines.get();
        case ElementKind::Type:
            return m_types.get();
        case ElementKind::Variable:
            return m_variables.get();
    }
    return nullptr;
}

const IIterator* CModule::listOf(ElementKind kind) const {
    return const_cast<CModule*>(this)->listOf(kind);
}

bool CModule::Add(const std::shared_ptr<ListItem>& element, DiagnosticsSink* diagnostics) {
    if (!element) return false;
    // Filed by kind; a module or an argument has none.
    if (const auto* e = dynamic_cast<const Element*>(element.get())) {
        listOf(e->Kind())->Add(element);
        return true;
    }
    if (diagnostics)
        diagnostics->warning(m_path, 0,
                             std::string("module ") + m_name + ": an element of class " +
                                 element->className() +
                                 " belongs in no list of a module and was not added");
    return false;
}

}  // namespace tarnwick
