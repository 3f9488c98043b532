#include "model/CModule.h"

#include <cstring>
#include <utility>

#include "support/Diagnostics.h"

namespace tarnwick {

void CModule::setShortDesc(std::shared_ptr<HashTable> table) {
    if (!table) detail::throwTypeMismatch("HashTable", "nothing");
    m_shortDesc = std::move(table);
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

bool CModule::Add(const std::shared_ptr<ListItem>& element, DiagnosticsSink* diagnostics) {
    if (!element) return false;
    // Filed by class name, in this order, exactly and case-sensitively.
    const char* cls = element->className();
    auto is = [cls](const char* name) { return std::strcmp(cls, name) == 0; };
    if (is(CDeclaration::kClassName))
        m_declarations->Add(element);
    else if (is(CConstant::kClassName))
        m_constants->Add(element);
    else if (is(CVariable::kClassName))
        m_variables->Add(element);
    else if (is(cType::kClassName))
        m_types->Add(element);
    else if (is(CEnum::kClassName))
        m_enums->Add(element);
    else if (is(CSubroutine::kClassName))
        m_subroutines->Add(element);
    else if (is(CFunction::kClassName))
        m_functions->Add(element);
    else if (is(CProperty::kClassName))
        m_properties->Add(element);
    else if (is(CImplementation::kClassName))
        m_implementations->Add(element);
    else if (is(CEvent::kClassName))
        m_events->Add(element);
    else {
        if (diagnostics)
            diagnostics->warning(m_path, 0,
                                 std::string("module ") + m_name + ": an element of class " + cls +
                                     " belongs in no list of a module and was not added");
        return false;
    }
    return true;
}

}  // namespace tarnwick
